#!/usr/bin/env bash
# Regenerates the Notificador icon images in resources/icons/ from the SVG
# drawings there:
#
#   notificador.svg     -> the 48 and 32 px images
#   notificador-16.svg  -> the 16 px images (pixel-fitted small drawing)
#
# Output (all in resources/icons/):
#   icon-16-8bit.png                      16 px, 8-bit palette, 1-bit transparency
#   icon-{48,32,16}-24bit.png             RGB + tRNS transparent colour (1-bit mask)
#   icon-{48,32,16}-32bit.png             RGBA, full alpha
#   image1.png                            48 px picture for the main window
#                                         (same as icon-48-24bit.png)
#   notificador.ico                       the seven images above, in the order
#                                         16/8bpp, 48/32/16 at 24bpp, 48/32/16 at 32bpp
#
# Needs rsvg-convert (librsvg2-bin), ImageMagick 6 convert/identify and
# python3 (standard library only).  Can be run from any directory.  The
# output is reproducible: running it twice gives byte-identical files.
#
# Everything is built in a temporary directory and checked before it
# replaces the files in resources/icons/, so a failed run never leaves a
# half-written set behind.

set -euo pipefail

script_dir=$(cd -- "$(dirname -- "${BASH_SOURCE[0]}")" && pwd)
icons_dir=$(cd -- "$script_dir/../resources/icons" && pwd)

big_svg=$icons_dir/notificador.svg
small_svg=$icons_dir/notificador-16.svg

for tool in rsvg-convert convert identify python3; do
    if ! command -v "$tool" >/dev/null 2>&1; then
        echo "make-icons: '$tool' not found (install librsvg2-bin, imagemagick, python3)" >&2
        exit 1
    fi
done
[[ -f $big_svg ]] || { echo "make-icons: missing $big_svg" >&2; exit 1; }
# Without the small drawing the 16 px images are scaled down from the big one.
[[ -f $small_svg ]] || small_svg=$big_svg

work=$(mktemp -d "${TMPDIR:-/tmp}/make-icons.XXXXXX")
trap 'rm -rf -- "$work"' EXIT

# No timestamps or other metadata, so the files only change when the
# drawing does.
png_opts=(-strip -define "png:exclude-chunks=date,time" +set date:create +set date:modify)

# 1. Render the drawings (straight RGBA, antialiased).
rsvg-convert -w 48 -h 48 -f png -o "$work/render-48.png" "$big_svg"
rsvg-convert -w 32 -h 32 -f png -o "$work/render-32.png" "$big_svg"
rsvg-convert -w 16 -h 16 -f png -o "$work/render-16.png" "$small_svg"

for size in 48 32 16; do
    src=$work/render-$size.png

    # Full alpha.
    convert "$src" "${png_opts[@]}" PNG32:"$work/icon-$size-32bit.png"

    # 1-bit mask: a pixel is kept if it is at least half opaque.  The
    # outlines are dark, so the kept edge pixels are dark too.  Every
    # transparent pixel is then made black, since a PNG without an alpha
    # channel marks transparency with a single colour (tRNS); the check
    # below makes sure no visible pixel has that colour.
    convert "$src" -channel A -threshold 50% +channel \
        -background black -alpha background "$work/mask-$size.png"
    convert "$work/mask-$size.png" "${png_opts[@]}" PNG24:"$work/icon-$size-24bit.png"
done

convert "$work/mask-16.png" "${png_opts[@]}" -define png:bit-depth=8 \
    PNG8:"$work/icon-16-8bit.png"

cp -- "$work/icon-48-24bit.png" "$work/image1.png"

# 2. Check the PNGs against what they were made from, then write the .ico.
python3 - "$work" <<'PYTHON'
import struct
import subprocess
import sys

work = sys.argv[1]


def rgba(path, size):
    """Pixels of an image as a list of (r, g, b, a) tuples, top row first."""
    raw = subprocess.run(
        ["convert", path, "-depth", "8", "rgba:-"],
        check=True, stdout=subprocess.PIPE).stdout
    if len(raw) != size * size * 4:
        sys.exit(f"make-icons: {path}: expected {size}x{size} pixels, got {len(raw)} bytes")
    return [tuple(raw[i:i + 4]) for i in range(0, len(raw), 4)]


def same_picture(a, b):
    """Equal alpha everywhere and equal colour wherever the pixel shows."""
    return all(p[3] == q[3] and (p[3] == 0 or p[:3] == q[:3]) for p, q in zip(a, b))


def check(path, size, reference, binary):
    pixels = rgba(path, size)
    if binary and any(p[3] not in (0, 255) for p in pixels):
        sys.exit(f"make-icons: {path} has partial transparency")
    if not same_picture(pixels, reference):
        # e.g. an opaque pixel that happened to have the tRNS colour, or
        # a palette that lost colours
        sys.exit(f"make-icons: {path} does not match its source image")
    return pixels


def row_bytes(bits_per_pixel, width):
    return (bits_per_pixel * width + 31) // 32 * 4


def and_mask(pixels, size):
    """1-bit AND mask, bottom row first: 1 = transparent."""
    stride = row_bytes(1, size)
    out = bytearray()
    for y in reversed(range(size)):
        row = bytearray(stride)
        for x in range(size):
            if pixels[y * size + x][3] == 0:
                row[x // 8] |= 0x80 >> (x % 8)
        out += row
    return bytes(out)


def dib(pixels, size, bpp):
    """A BITMAPINFOHEADER image as stored in an .ico entry."""
    # Transparent pixels are black in the colour bitmap, so that drawing
    # with the AND mask and then XOR leaves the background untouched.
    pixels = [p if p[3] else (0, 0, 0, 0) for p in pixels]
    palette = b""
    if bpp == 8:
        colours = sorted({p[:3] for p in pixels})
        if len(colours) > 256:
            sys.exit("make-icons: the 8-bit image has more than 256 colours")
        index = {c: i for i, c in enumerate(colours)}
        colours += [(0, 0, 0)] * (256 - len(colours))
        palette = b"".join(bytes((b, g, r, 0)) for r, g, b in colours)

    stride = row_bytes(bpp, size)
    image = bytearray()
    for y in reversed(range(size)):
        row = bytearray()
        for r, g, b, a in pixels[y * size:(y + 1) * size]:
            if bpp == 8:
                row.append(index[(r, g, b)])
            elif bpp == 24:
                row += bytes((b, g, r))
            else:
                row += bytes((b, g, r, a))
        row += bytes(stride - len(row))
        image += row
    mask = and_mask(pixels, size)

    header = struct.pack(
        "<IiiHHIIiiII",
        40,                 # header size
        size, 2 * size,     # height covers colour bitmap + mask
        1, bpp,
        0,                  # BI_RGB
        len(image) + len(mask),
        0, 0,
        256 if bpp == 8 else 0, 0)
    return header + palette + bytes(image) + mask


sources = {size: rgba(f"{work}/render-{size}.png", size) for size in (48, 32, 16)}
masked = {size: rgba(f"{work}/mask-{size}.png", size) for size in (48, 32, 16)}

# (file, size, bits per pixel in the .ico), in .ico order
entries = [("icon-16-8bit.png", 16, 8)]
entries += [(f"icon-{s}-24bit.png", s, 24) for s in (48, 32, 16)]
entries += [(f"icon-{s}-32bit.png", s, 32) for s in (48, 32, 16)]

images = []
for name, size, bpp in entries:
    if bpp == 32:
        pixels = check(f"{work}/{name}", size, sources[size], binary=False)
    else:
        pixels = check(f"{work}/{name}", size, masked[size], binary=True)
    images.append((size, bpp, dib(pixels, size, bpp)))
check(f"{work}/image1.png", 48, masked[48], binary=True)

ico = bytearray(struct.pack("<HHH", 0, 1, len(images)))
offset = 6 + 16 * len(images)
for size, bpp, data in images:
    ico += struct.pack("<BBBBHHII",
                       size % 256, size % 256,
                       0,           # colour count: 0 for 8 bpp and above
                       0, 1, bpp, len(data), offset)
    offset += len(data)
for _, _, data in images:
    ico += data

with open(f"{work}/notificador.ico", "wb") as f:
    f.write(ico)
PYTHON

count=$(identify "$work/notificador.ico" | wc -l)
if [[ $count -ne 7 ]]; then
    echo "make-icons: notificador.ico holds $count images instead of 7" >&2
    exit 1
fi

# 3. Replace the files in resources/icons/.
outputs=(icon-16-8bit.png
         icon-48-24bit.png icon-32-24bit.png icon-16-24bit.png
         icon-48-32bit.png icon-32-32bit.png icon-16-32bit.png
         image1.png notificador.ico)
for f in "${outputs[@]}"; do
    cp -- "$work/$f" "$icons_dir/$f.tmp"
    mv -f -- "$icons_dir/$f.tmp" "$icons_dir/$f"
done

identify "$icons_dir/notificador.ico"
