#!/usr/bin/env python3
"""Reads notificador.ico back: the images of the icon's list, in its order
(NOTIFICADOR_ICON_IMAGES in cmake/NotificadorIcons.cmake, the one the Linux
window offers), each well formed (an 8-bit one with a 256-colour palette),
and each the same picture as the PNG of that size and depth the window uses.

    check_ico.py ICONS_DIR IMAGE...

where each IMAGE is named as its PNG without ".png": icon-SIZE-BITSbit.
"""

import os
import re
import sys

import icondata
from checks import check, exit_status

def check_image(number, entry, size, bpp, png_path):
    name = f"image {number} ({size} px, {bpp} bpp)"
    check((entry["width"], entry["height"], entry["bpp"]) == (size, size, bpp),
          f"{name}: directory says {entry['width']}x{entry['height']} at {entry['bpp']} bpp")
    check(entry["planes"] == 1 and entry["reserved"] == 0 and entry["colours"] == 0,
          f"{name}: directory planes {entry['planes']}, reserved {entry['reserved']}, "
          f"colour count {entry['colours']} (1, 0, 0 expected)")
    try:
        dib = icondata.parse_dib(entry["data"])
    except icondata.FormatError as error:
        check(False, f"{name}: bitmap: {error}")
        return
    header = (dib["header_size"], dib["width"], dib["height"], dib["planes"], dib["bpp"], dib["compression"])
    if not check(header == (40, size, 2 * size, 1, bpp, 0),
                 f"{name}: bitmap header (size, width, height, planes, bpp, compression) is {header}"):
        return
    if bpp == 8:
        check(len(dib["palette"]) == 256, f"{name}: palette of {len(dib['palette'])} colours")
    png_width, png_height, png_pixels = icondata.read_png(png_path)
    check((png_width, png_height) == (size, size),
          f"{name}: {os.path.basename(png_path)} is {png_width}x{png_height}")
    check(icondata.same_picture(dib["pixels"], png_pixels),
          f"{name}: same picture as {os.path.basename(png_path)}")
    # Windows draws the lower depths through the mask; a 32-bit image whose
    # mask disagreed with its alpha would show a different outline there.
    check(dib["mask"] == [p[3] == 0 for p in dib["pixels"]],
          f"{name}: the AND mask marks exactly the transparent pixels")


def main():
    images = [re.fullmatch(r"icon-(\d+)-(\d+)bit", name) for name in sys.argv[2:]]
    if not images or not all(images):
        sys.exit("usage: check_ico.py ICONS_DIR icon-SIZE-BITSbit...")
    # (size, bits per pixel, PNG the window uses), in .ico order
    expected = [(int(m[1]), int(m[2]), m[0] + ".png") for m in images]
    icons = sys.argv[1]
    with open(os.path.join(icons, "notificador.ico"), "rb") as f:
        data = f.read()
    try:
        entries = icondata.parse_ico(data)
    except icondata.FormatError as error:
        sys.exit(f"FAIL: notificador.ico: {error}")
    found = [(e["width"], e["bpp"]) for e in entries]
    check(found == [(s, b) for s, b, _ in expected],
          f"notificador.ico holds (size, bpp) {found}")
    if len(entries) == len(expected):
        for number, (entry, (size, bpp, png)) in enumerate(zip(entries, expected)):
            check_image(number, entry, size, bpp, os.path.join(icons, png))
    # Images that overlap, or bytes that belong to none, mean a broken file.
    spans = sorted((e["offset"], e["offset"] + e["size"]) for e in entries)
    covered = 6 + 16 * len(entries)
    tiled = True
    for start, end in spans:
        tiled = tiled and start == covered
        covered = end
    check(tiled and covered == len(data), "the images follow the directory back to back, to the end of the file")

    return exit_status()


if __name__ == "__main__":
    sys.exit(main())
