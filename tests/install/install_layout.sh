#!/usr/bin/env bash
# The per-user install and its archive: what `cmake --install` puts under
# ~/.local, that the tree depends on nothing but system libraries, and that
# the CPack archive holds the same tree; and that the programs, there and
# in the Windows build's archive, ship stripped with their debugging
# information beside them.
#
#   install_layout.sh CMAKE CPACK BUILD_DIR VERSION_TEXT [WINDOWS_BUILD_DIR]
#
# Every check prints PASS: or FAIL:; the script exits non-zero if any failed.

set -euo pipefail

if (($# != 4 && $# != 5)); then
    echo "usage: $0 CMAKE CPACK BUILD_DIR VERSION_TEXT [WINDOWS_BUILD_DIR]" >&2
    exit 2
fi
here=$(cd -- "$(dirname -- "${BASH_SOURCE[0]}")" && pwd)
cmake_bin=$1
cpack_bin=$2
build_dir=$(cd -- "$3" && pwd)
version=$4
windows_build_dir=${5:-}

failures=0
pass() { printf 'PASS: %s\n' "$*"; }
fail() { printf 'FAIL: %s\n' "$*"; failures=$((failures + 1)); }
check() { # check WHAT COMMAND...
    local what=$1
    shift
    if "$@"; then pass "$what"; else fail "$what"; fi
}

# shipped_checks OBJDUMP OBJCOPY PROGRAM DEBUG_FILE: check_shipped.py's
# checks, counted with these.
shipped_checks() {
    local report status=0
    report=$(python3 -B "$here/check_shipped.py" "$@" 2>&1) || status=$?
    grep -E '^(PASS|FAIL):' <<< "$report" || true
    failures=$((failures + $(grep -c '^FAIL:' <<< "$report" || true)))
    if ((status != 0)) && ! grep -q '^FAIL:' <<< "$report"; then
        fail "check_shipped.py $*: $report"
    fi
}

for tool in readelf objcopy ldd desktop-file-validate python3 tar; do
    command -v "$tool" > /dev/null || {
        fail "tool '$tool' not found (Debian packages: binutils libc-bin desktop-file-utils python3 tar)"
        exit 1
    }
done

scratch=$(mktemp -d "${TMPDIR:-/tmp}/install_layout.XXXXXX")
trap 'rm -rf -- "$scratch"' EXIT

# --- the per-user install ----------------------------------------------------

export HOME=$scratch/home
mkdir "$HOME"
prefix=$HOME/.local
if "$cmake_bin" --install "$build_dir" --prefix "$prefix" > "$scratch/install.log" 2>&1; then
    pass "cmake --install $build_dir --prefix ~/.local"
else
    fail "cmake --install failed:"
    cat "$scratch/install.log"
    exit 1
fi

expected="bin/notificador
bin/notificador-peer
bin/notificador-peer.debug
bin/notificador.debug
share/applications/notificador.desktop
share/icons/hicolor/16x16/apps/notificador.png
share/icons/hicolor/32x32/apps/notificador.png
share/icons/hicolor/48x48/apps/notificador.png
share/icons/hicolor/scalable/apps/notificador.svg"
installed=$(cd "$prefix" && find . -mindepth 1 ! -type d | sed 's|^\./||' | LC_ALL=C sort)
if [[ $installed == "$expected" ]]; then
    pass "the install holds exactly the programs, their debugging information, the desktop entry and the icons"
else
    fail "the install holds:"
    printf '      %s\n' $installed
fi

check "bin/notificador is executable" test -x "$prefix/bin/notificador"
check "bin/notificador-peer is executable" test -x "$prefix/bin/notificador-peer"
for program in notificador notificador-peer; do
    shipped_checks objdump objcopy "$prefix/bin/$program" "$prefix/bin/$program.debug"
done

# The PNG header tells the size and whether there is an alpha channel
# (colour type 6).
png_header() {
    python3 -c 'import struct, sys
d = open(sys.argv[1], "rb").read(26)
w, h, depth, kind = struct.unpack(">IIBB", d[16:26])
print(f"{w}x{h} depth {depth} type {kind}")' "$1"
}
for size in 16 32 48; do
    header=$(png_header "$prefix/share/icons/hicolor/${size}x${size}/apps/notificador.png" 2>&1 || true)
    check "the ${size}x${size} icon is a ${size} px RGBA image ($header)" \
        test "$header" == "${size}x${size} depth 8 type 6"
done
check "the scalable icon is an SVG drawing" \
    grep -q '<svg' "$prefix/share/icons/hicolor/scalable/apps/notificador.svg"

# --- the desktop entry -------------------------------------------------------

entry=$prefix/share/applications/notificador.desktop
if validation=$(desktop-file-validate "$entry" 2>&1) && [[ -z $validation ]]; then
    pass "desktop-file-validate accepts the entry"
else
    fail "desktop-file-validate: $validation"
fi
entry_value() { sed -n "s/^$1=//p" "$entry"; }
check "the entry is hidden from menus (NoDisplay=true)" test "$(entry_value NoDisplay)" == true
check "the entry's icon is the installed one (Icon=$(entry_value Icon))" test "$(entry_value Icon)" == notificador
check "the entry runs the installed program (Exec=$(entry_value Exec))" test "$(entry_value Exec)" == notificador

# --- nothing ties the tree to where it was built or installed ----------------

dynamic=$(readelf -d "$prefix/bin/notificador")
if grep -qE 'RPATH|RUNPATH' <<< "$dynamic"; then
    fail "the executable carries a library search path: $(grep -E 'RPATH|RUNPATH' <<< "$dynamic")"
else
    pass "the executable carries no RPATH or RUNPATH"
fi
# The debugging information names the sources, and may; the program may not.
objcopy --strip-debug "$prefix/bin/notificador" "$scratch/notificador.nodebug"
check "outside its debugging information the executable names no path of the build tree" \
    bash -c '! grep -aqF -- "$1" "$2"' _ "$build_dir" "$scratch/notificador.nodebug"

libraries=$(ldd "$prefix/bin/notificador")
if grep -q 'not found' <<< "$libraries"; then
    fail "libraries not found: $(grep 'not found' <<< "$libraries")"
else
    pass "every library the executable needs is found"
fi
outside=$(awk '$2 == "=>" {print $3}' <<< "$libraries" | grep -vE '^/(usr/)?lib(32|64|x32)?/' || true)
if [[ -z $outside ]]; then
    pass "all those libraries come from the system's library folders"
else
    fail "libraries from elsewhere: $outside"
fi

# --- the archive -------------------------------------------------------------

if (cd "$scratch" && "$cpack_bin" -G TGZ --config "$build_dir/CPackConfig.cmake" -B "$scratch/package") \
    > "$scratch/cpack.log" 2>&1; then
    pass "cpack makes a .tar.gz"
else
    fail "cpack failed:"
    cat "$scratch/cpack.log"
    exit 1
fi
archives=("$scratch"/package/*.tar.gz)
if ((${#archives[@]} == 1)) && [[ $(basename "${archives[0]}") == "notificador-$version-"*.tar.gz ]]; then
    pass "the archive is named after the version: $(basename "${archives[0]}")"
else
    fail "archives made: ${archives[*]##*/}"
fi
mkdir "$scratch/unpacked"
tar -xzf "${archives[0]}" -C "$scratch/unpacked"
top=("$scratch"/unpacked/*)
if ((${#top[@]} == 1)) && [[ -d ${top[0]} ]] && diff -r "$prefix" "${top[0]}" > "$scratch/diff.log" 2>&1; then
    pass "the archive holds one folder, the same tree as the install"
else
    fail "the archive differs from the install:"
    head -n 20 "$scratch/diff.log"
fi
check "the archived program is executable" test -x "${top[0]}/bin/notificador"

# --- the Windows archive ------------------------------------------------------

# The Windows build made beside this one, where it is made.
if [[ -n $windows_build_dir ]]; then
    if (cd "$scratch" && "$cpack_bin" -G ZIP --config "$windows_build_dir/CPackConfig.cmake" -B "$scratch/zip") \
        > "$scratch/cpack-zip.log" 2>&1; then
        pass "cpack makes the Windows .zip"
        zips=("$scratch"/zip/*.zip)
        python3 -m zipfile -e "${zips[0]}" "$scratch/zip/unpacked"
        shipped=("$scratch"/zip/unpacked/*)
        shipped_checks x86_64-w64-mingw32-objdump x86_64-w64-mingw32-objcopy \
            "${shipped[0]}/notificador.exe" "${shipped[0]}/notificador.debug"
    else
        fail "cpack -G ZIP failed in $windows_build_dir:"
        cat "$scratch/cpack-zip.log"
    fi
fi

echo "== done: $failures failure(s)"
((failures == 0))
