"""Reading the icon images back: the .ico directory, the bitmaps inside it
(also what a Windows resource holds as RT_ICON), and the PNGs they were made
from. Standard library only; pixels come out as (r, g, b, a), top row first."""

import struct
import zlib


class FormatError(Exception):
    pass


def _row_bytes(bits_per_pixel, width):
    return (bits_per_pixel * width + 31) // 32 * 4


def parse_ico(data):
    """The directory of an .ico: a list of dicts, one per image, in order."""
    if len(data) < 6:
        raise FormatError("shorter than an .ico header")
    reserved, kind, count = struct.unpack_from("<HHH", data, 0)
    if reserved != 0 or kind != 1:
        raise FormatError(f"not an icon (reserved {reserved}, type {kind})")
    if len(data) < 6 + 16 * count:
        raise FormatError("directory runs past the end of the file")
    entries = []
    for i in range(count):
        width, height, colours, reserved, planes, bpp, size, offset = struct.unpack_from(
            "<BBBBHHII", data, 6 + 16 * i)
        if offset + size > len(data):
            raise FormatError(f"image {i} runs past the end of the file")
        entries.append({
            "width": width or 256, "height": height or 256, "colours": colours,
            "reserved": reserved, "planes": planes, "bpp": bpp,
            "offset": offset, "size": size, "data": data[offset:offset + size],
        })
    return entries


def parse_dib(data):
    """An icon bitmap (BITMAPINFOHEADER, palette, colour rows, AND mask).

    Returns a dict with the header fields and the pixels; alpha comes from
    the alpha channel at 32 bits per pixel, from the AND mask otherwise.
    The AND mask is returned too, as a list of booleans (True = transparent).
    Raises FormatError if the sizes in the header do not add up to the data.
    """
    if len(data) < 40:
        raise FormatError("shorter than a BITMAPINFOHEADER")
    (header_size, width, height, planes, bpp, compression, image_size,
     _, _, colours_used, _) = struct.unpack_from("<IiiHHIIiiII", data, 0)
    info = {"header_size": header_size, "width": width, "height": height,
            "planes": planes, "bpp": bpp, "compression": compression,
            "image_size": image_size, "colours_used": colours_used}
    if header_size != 40 or compression != 0 or height != 2 * width or width <= 0:
        return info
    size = width
    palette_entries = 0
    if bpp <= 8:
        palette_entries = colours_used or (1 << bpp)
    palette_at = header_size
    pixels_at = palette_at + 4 * palette_entries
    stride = _row_bytes(bpp, size)
    mask_stride = _row_bytes(1, size)
    mask_at = pixels_at + stride * size
    if mask_at + mask_stride * size != len(data):
        raise FormatError(
            f"{len(data)} bytes, but header, palette, colour rows and mask take "
            f"{mask_at + mask_stride * size}")
    # Palette entries are stored blue, green, red, reserved.
    palette = [(data[palette_at + 4 * i + 2], data[palette_at + 4 * i + 1], data[palette_at + 4 * i])
               for i in range(palette_entries)]

    mask = []
    pixels = []
    for y in range(size):
        # Rows are stored bottom row first.
        row = pixels_at + stride * (size - 1 - y)
        mask_row = mask_at + mask_stride * (size - 1 - y)
        for x in range(size):
            transparent = bool(data[mask_row + x // 8] & (0x80 >> (x % 8)))
            mask.append(transparent)
            if bpp == 32:
                b, g, r, a = data[row + 4 * x:row + 4 * x + 4]
            elif bpp == 24:
                b, g, r = data[row + 3 * x:row + 3 * x + 3]
                a = 0 if transparent else 255
            elif bpp == 8:
                index = data[row + x]
                if index >= palette_entries:
                    raise FormatError(f"pixel ({x}, {y}) uses colour {index} of {palette_entries}")
                r, g, b = palette[index]
                a = 0 if transparent else 255
            else:
                raise FormatError(f"{bpp} bits per pixel is not read here")
            pixels.append((r, g, b, a))
    info.update(size=size, palette=palette, pixels=pixels, mask=mask)
    return info


def read_png(path):
    """Width, height and pixels of a non-interlaced 8-bit PNG (grey, RGB,
    palette, RGBA), with tRNS transparency applied."""
    with open(path, "rb") as f:
        data = f.read()
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        raise FormatError(f"{path}: not a PNG")
    at = 8
    idat = b""
    palette = []
    trns = None
    while at < len(data):
        length, kind = struct.unpack_from(">I4s", data, at)
        body = data[at + 8:at + 8 + length]
        if kind == b"IHDR":
            width, height, depth, colour_type, _, _, interlace = struct.unpack(">IIBBBBB", body)
        elif kind == b"PLTE":
            palette = [tuple(body[i:i + 3]) for i in range(0, length, 3)]
        elif kind == b"tRNS":
            trns = body
        elif kind == b"IDAT":
            idat += body
        at += 12 + length
    if depth != 8 or interlace != 0 or colour_type not in (0, 2, 3, 6):
        raise FormatError(f"{path}: depth {depth}, colour type {colour_type}, "
                          f"interlace {interlace} is not read here")
    channels = {0: 1, 2: 3, 3: 1, 6: 4}[colour_type]
    stride = width * channels
    raw = zlib.decompress(idat)
    rows = []
    previous = bytearray(stride)
    for y in range(height):
        kind = raw[y * (stride + 1)]
        line = bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for i in range(stride):
            left = line[i - channels] if i >= channels else 0
            up = previous[i]
            corner = previous[i - channels] if i >= channels else 0
            if kind == 1:
                line[i] = (line[i] + left) & 0xFF
            elif kind == 2:
                line[i] = (line[i] + up) & 0xFF
            elif kind == 3:
                line[i] = (line[i] + (left + up) // 2) & 0xFF
            elif kind == 4:
                p = left + up - corner
                pa, pb, pc = abs(p - left), abs(p - up), abs(p - corner)
                pred = left if pa <= pb and pa <= pc else up if pb <= pc else corner
                line[i] = (line[i] + pred) & 0xFF
            elif kind != 0:
                raise FormatError(f"{path}: unknown row filter {kind}")
        rows.append(bytes(line))
        previous = line

    pixels = []
    for line in rows:
        for x in range(width):
            px = line[x * channels:(x + 1) * channels]
            if colour_type == 6:
                pixels.append(tuple(px))
            elif colour_type == 3:
                alpha = trns[px[0]] if trns and px[0] < len(trns) else 255
                pixels.append(palette[px[0]] + (alpha,))
            else:
                rgb = tuple(px) * 3 if colour_type == 0 else tuple(px)
                key = None
                if trns:
                    values = struct.unpack(f">{len(trns) // 2}H", trns)
                    key = values * 3 if colour_type == 0 else values
                pixels.append(rgb + (0 if key == rgb else 255,))
    return width, height, pixels


def same_picture(a, b):
    """Equal alpha everywhere, equal colour wherever the pixel shows."""
    return len(a) == len(b) and all(
        p[3] == q[3] and (p[3] == 0 or p[:3] == q[:3]) for p, q in zip(a, b))
