#!/usr/bin/env bash
# The Wine prefix the Windows build's tests run in, made afresh for each
# test run and removed after it:
#
#   wine-prefix.sh create DIRECTORY
#   wine-prefix.sh remove DIRECTORY
#
# Wine's Mono and Gecko are not installed (nothing here needs them, and
# their installers would ask).
set -euo pipefail

if (($# != 2)) || [[ $1 != create && $1 != remove ]]; then
    echo "usage: $0 create|remove DIRECTORY" >&2
    exit 2
fi
export WINEPREFIX=$2 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY

end_session() {
    if [[ -d $WINEPREFIX ]]; then
        wineserver -k > /dev/null 2>&1 || true
        wineserver -w > /dev/null 2>&1 || true
    fi
}

end_session
rm -rf "$WINEPREFIX"
[[ $1 == remove ]] && exit 0

command -v wine > /dev/null || { echo "wine not found (Debian packages wine, wine64)" >&2; exit 1; }
mkdir -p "$(dirname "$WINEPREFIX")"
if ! wineboot -i > "$WINEPREFIX.log" 2>&1; then
    cat "$WINEPREFIX.log" >&2
    exit 1
fi
end_session
rm -f "$WINEPREFIX.log"
echo "Wine prefix ready: $WINEPREFIX"
