"""A program as it ships: stripped of its symbols and debugging information,
which are kept in the file beside it that its .gnu_debuglink names, with
that file's checksum, so that gdb finds them for a crash.

    check_shipped.py OBJDUMP OBJCOPY PROGRAM DEBUG_FILE

OBJDUMP and OBJCOPY are binutils for the program's format (ELF or PE)."""

import os
import subprocess
import sys
import tempfile
import zlib

from checks import check, exit_status


def run(*command):
    return subprocess.run(command, capture_output=True, text=True).stdout


def debug_sections(objdump, path):
    return [line.split()[1] for line in run(objdump, "-h", path).splitlines()
            if len(line.split()) > 1 and line.split()[1].startswith(".debug_")]


def debuglink(objcopy, path):
    """The file name and checksum the program's .gnu_debuglink holds."""
    with tempfile.TemporaryDirectory() as scratch:
        dumped = os.path.join(scratch, "link")
        subprocess.run([objcopy, "--dump-section", f".gnu_debuglink={dumped}", path, os.path.join(scratch, "copy")],
                       capture_output=True)
        if not os.path.exists(dumped):
            return None, None
        data = open(dumped, "rb").read()
    name, _, rest = data.partition(b"\0")
    # The name is padded to four bytes; the checksum follows, in the
    # program's byte order (little-endian on both x86-64 formats).
    checksum = data[(len(name) + 4) & ~3:][:4]
    return name.decode(errors="replace"), int.from_bytes(checksum, "little") if len(checksum) == 4 else None


def main(objdump, objcopy, program, debug_file):
    shown = os.path.basename(program)
    check(not debug_sections(objdump, program) and "no symbols" in run(objdump, "-t", program),
          f"{shown} ships stripped: no symbols, no debugging information")
    name, checksum = debuglink(objcopy, program)
    expected = zlib.crc32(open(debug_file, "rb").read()) if os.path.exists(debug_file) else None
    check(name == os.path.basename(debug_file) and checksum is not None and checksum == expected,
          f"{shown} names {os.path.basename(debug_file)} beside it, checksum and all (link: {name})")
    check(".debug_info" in (debug_sections(objdump, debug_file) if expected is not None else []),
          f"{os.path.basename(debug_file)} holds the debugging information")
    return exit_status()


if __name__ == "__main__":
    if len(sys.argv) != 5:
        sys.exit(__doc__)
    sys.exit(main(*sys.argv[1:]))
