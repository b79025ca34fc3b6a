#!/usr/bin/env python3
"""Compiles the Windows resource script with the MinGW resource compiler
and reads the result back: the version record must carry the version text
(FileVersion, ProductVersion) and the matching numeric FILEVERSION, and the
icon must arrive whole, its images as in notificador.ico (which check_ico.py
holds to the icon's list).

    check_windows_resource.py WINDRES RC_FILE ICO_FILE VERSION_TEXT WORK_DIR
"""

import os
import struct
import subprocess
import sys

import icondata
from checks import check, exit_status

RT_ICON, RT_GROUP_ICON, RT_VERSION = 3, 14, 16

def align4(n):
    return (n + 3) & ~3


def read_id(data, at):
    """A resource type or name: an ordinal or a UTF-16 string."""
    if data[at:at + 2] == b"\xff\xff":
        return struct.unpack_from("<H", data, at + 2)[0], at + 4
    end = at
    while data[end:end + 2] != b"\x00\x00":
        end += 2
    return data[at:end].decode("utf-16-le"), end + 2


def read_res(data):
    """The entries of a 32-bit .res file: (type, name, language, data)."""
    entries = []
    at = 0
    while at < len(data):
        data_size, header_size = struct.unpack_from("<II", data, at)
        kind, after = read_id(data, at + 8)
        name, after = read_id(data, after)
        after = align4(after)
        _, _, language = struct.unpack_from("<IHH", data, after)
        body = data[at + header_size:at + header_size + data_size]
        if len(body) != data_size:
            raise icondata.FormatError("resource runs past the end of the file")
        # The first entry is the empty one that marks a 32-bit .res file.
        if not (kind == 0 and name == 0 and data_size == 0):
            entries.append((kind, name, language, body))
        at = align4(at + header_size + data_size)
    return entries


def read_version_node(data, at):
    """One node of a VS_VERSIONINFO tree: (key, value, children)."""
    length, value_length, kind = struct.unpack_from("<HHH", data, at)
    end = at + length
    key_end = at + 6
    while data[key_end:key_end + 2] != b"\x00\x00":
        key_end += 2
    key = data[at + 6:key_end].decode("utf-16-le")
    value_at = align4(key_end + 2)
    if kind == 1:
        # Text: the length counts UTF-16 units, the terminating zero included.
        raw = data[value_at:value_at + 2 * value_length]
        value = raw.decode("utf-16-le").rstrip("\x00")
        children_at = align4(value_at + 2 * value_length)
    else:
        value = data[value_at:value_at + value_length]
        children_at = align4(value_at + value_length)
    children = []
    while children_at < end:
        child = read_version_node(data, children_at)
        children.append(child[:3])
        children_at = align4(child[3])
    return key, value, children, end


def check_version(record, text):
    key, fixed, children, _ = read_version_node(record, 0)
    check(key == "VS_VERSION_INFO", f"the version record is keyed '{key}'")
    major, minor, revision = (int(part) for part in text.split("."))
    signature, _, file_ms, file_ls, product_ms, product_ls = struct.unpack_from("<6I", fixed, 0)
    check(signature == 0xFEEF04BD, f"VS_FIXEDFILEINFO signature {signature:#x}")
    for what, ms, ls in (("FILEVERSION", file_ms, file_ls), ("PRODUCTVERSION", product_ms, product_ls)):
        numbers = (ms >> 16, ms & 0xFFFF, ls >> 16, ls & 0xFFFF)
        check(numbers == (major, minor, 0, revision),
              f"{what} is {','.join(map(str, numbers))}, for version {text}")

    blocks = {k: (v, c) for k, v, c in children}
    tables = blocks.get("StringFileInfo", (None, []))[1]
    if not check(len(tables) == 1, f"StringFileInfo holds {len(tables)} string table(s)"):
        return
    table_key, _, strings = tables[0]
    values = {k: v for k, v, _ in strings}
    for name in ("FileVersion", "ProductVersion"):
        check(values.get(name) == text, f"{name} reads {values.get(name)!r}")
    # Windows looks the strings up under the language and code page that
    # VarFileInfo announces.
    translations = [v for k, v, _ in blocks.get("VarFileInfo", (None, []))[1] if k == "Translation"]
    announced = ["%04x%04x" % struct.unpack("<HH", t[:4]) for t in translations]
    check(announced == [table_key.lower()],
          f"VarFileInfo announces {announced}, the strings are under '{table_key}'")


def check_icon(entries, ico_images):
    icons = {name: body for kind, name, _, body in entries if kind == RT_ICON}
    groups = [(name, body) for kind, name, _, body in entries if kind == RT_GROUP_ICON]
    expected = [(image["width"], image["bpp"]) for image in ico_images]
    check(len(icons) == len(expected), f"{len(icons)} RT_ICON images")
    if not check(len(groups) == 1, f"{len(groups)} RT_GROUP_ICON"):
        return
    group_name, group = groups[0]
    _, kind, count = struct.unpack_from("<HHH", group, 0)
    check(kind == 1 and count == len(expected) and len(group) == 6 + 14 * count,
          f"the icon group '{group_name}' lists {count} images")
    found = []
    for i in range(count):
        width, _, _, _, _, bpp, size, image_id = struct.unpack_from("<BBBBHHIH", group, 6 + 14 * i)
        found.append((width or 256, bpp))
        body = icons.get(image_id)
        if not check(body is not None, f"group entry {i} refers to RT_ICON {image_id}, which exists"):
            continue
        check(size == len(body), f"group entry {i}: size {size}, image {len(body)} bytes")
        dib = icondata.parse_dib(body)
        check((dib["width"], dib["bpp"]) == (width or 256, bpp),
              f"RT_ICON {image_id} is {dib['width']} px at {dib['bpp']} bpp, as its group entry says")
        check(i < len(ico_images) and body == ico_images[i]["data"],
              f"RT_ICON {image_id} is image {i} of notificador.ico, byte for byte")
    check(found == expected, f"the group lists (size, bpp) {found}")


def main():
    if len(sys.argv) != 6:
        sys.exit("usage: check_windows_resource.py WINDRES RC_FILE ICO_FILE VERSION_TEXT WORK_DIR")
    windres, rc_file, ico_file, text, work = sys.argv[1:]
    os.makedirs(work, exist_ok=True)
    res_file = os.path.join(work, "notificador.res")
    if os.path.exists(res_file):
        os.remove(res_file)
    # The script includes no Windows headers, so the host's C preprocessor
    # serves (the MinGW C compiler need not be installed).
    try:
        compiled = subprocess.run([windres, "--preprocessor=cpp", "-i", rc_file, "-O", "res", "-o", res_file],
                                  stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
    except FileNotFoundError:
        check(False, f"{windres} not found (Debian package binutils-mingw-w64-x86-64)")
        return 1
    if not check(compiled.returncode == 0, f"{os.path.basename(windres)} compiles {rc_file}"):
        print(compiled.stdout)
        return 1
    with open(res_file, "rb") as f:
        entries = read_res(f.read())
    with open(ico_file, "rb") as f:
        ico_images = icondata.parse_ico(f.read())

    versions = [body for kind, _, _, body in entries if kind == RT_VERSION]
    if check(len(versions) == 1, f"{len(versions)} RT_VERSION record(s)"):
        check_version(versions[0], text)
    check_icon(entries, ico_images)

    return exit_status()


if __name__ == "__main__":
    sys.exit(main())
