#!/usr/bin/env bash
# The Windows build's window at 120, 144 and 192 dots per inch, under Wine
# on a private X server with openbox: the client area is the layout's
# 5730 x 2115 twips at that density and the frame is centred across the
# screen. (Up and down it is centred by the caption bar Windows would draw
# at that density, which openbox's, of one height at every density, is not.)
# A screenshot at each density is left in OUTPUT_DIR.
#
#   dpi_layout.sh NOTIFIER.exe OUTPUT_DIR
#
# WINEPREFIX names the prefix (wine-prefix.sh); its density is put back to
# 96 dots per inch at the end.
set -eEuo pipefail

if (($# != 2)); then
    echo "usage: $0 NOTIFIER.exe OUTPUT_DIR" >&2
    exit 2
fi
notifier_bin=$1
output_dir=$2
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
runner=$here/wine-run.sh

TEST_NAME=wine_dpi_layout
source "$here/../e2e/xsession.sh"
require_tools "xvfb openbox xdotool x11-utils imagemagick wine" Xvfb openbox xdotool xwininfo xprop import wine
mkdir -p "$output_dir"

readonly SCREEN_W=1024 SCREEN_H=768
# Dots per inch, and the client area the layout has there (whole pixels,
# each edge rounded on its own).
readonly DENSITIES=("120 478 176" "144 573 212" "192 764 282")

start_x_session "$SCREEN_W" "$SCREEN_H"
"$runner" || fatal "Wine cannot start on the display"

set_density() {
    "$runner" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f > /dev/null 2>&1
}
restore_density() { set_density 96 || true; }
trap 'status=$?; restore_density; (exit $status); cleanup' EXIT

notifier_window=
find_notifier_window() {
    notifier_window=$(xdotool search --onlyvisible --name '^Mensaje' 2> /dev/null | head -n 1)
    [[ -n $notifier_window ]]
}

for density in "${DENSITIES[@]}"; do
    read -r dpi want_w want_h <<< "$density"
    echo "== $dpi dots per inch"
    set_density "$dpi" || fatal "cannot set the density to $dpi"
    case_dir=$scratch/dpi$dpi
    mkdir "$case_dir"
    cp "$notifier_bin" "$case_dir/notificador.exe"
    # In the ANSI code page of the Spanish Windows wine-run.sh gives.
    printf '%s\r\n' 'MI-Mensaje;08/12/2026 21:00:00;Ana;127.0.0.1;40000;Luis;10.0.0.2;40001;Hola, ¿qué tal?' |
        iconv -f UTF-8 -t CP1252 > "$case_dir/MI.zorvi"
    "$runner" "$case_dir/notificador.exe" > "$case_dir/output" 2>&1 &
    pid=$!
    background_pids+=("$pid")
    if ! wait_for 10000 find_notifier_window; then
        fail "$dpi dpi: no window is mapped"
        continue
    fi

    info=$(xwininfo -id "$notifier_window")
    client_x=$(awk -F': *' '/Absolute upper-left X/ {print $2}' <<< "$info")
    client_y=$(awk -F': *' '/Absolute upper-left Y/ {print $2}' <<< "$info")
    client_w=$(awk -F': *' '/^ *Width/ {print $2}' <<< "$info")
    client_h=$(awk -F': *' '/^ *Height/ {print $2}' <<< "$info")
    if ((client_w == want_w && client_h == want_h)); then
        pass "$dpi dpi: the client area is ${want_w} x ${want_h}"
    else
        fail "$dpi dpi: the client area is ${client_w} x ${client_h}, expected ${want_w} x ${want_h}"
    fi

    extents() { xprop -id "$notifier_window" _NET_FRAME_EXTENTS 2> /dev/null | grep -q ' = '; }
    if wait_for 5000 extents; then
        read -r left right top bottom < <(xprop -id "$notifier_window" _NET_FRAME_EXTENTS | sed 's/.* = //; s/,//g')
        frame_x=$((client_x - left)) frame_y=$((client_y - top))
        frame_w=$((client_w + left + right)) frame_h=$((client_h + top + bottom))
        # Twice the offset from the centre, to stay in whole numbers.
        off_x=$((2 * frame_x + frame_w - SCREEN_W))
        if ((off_x >= -6 && off_x <= 6)); then
            pass "$dpi dpi: the frame is centred across the screen within 3 px"
        else
            fail "$dpi dpi: the frame ${frame_w}x${frame_h}+${frame_x}+${frame_y} is $((off_x / 2)) px off centre across"
        fi
        import -window root -crop "${frame_w}x${frame_h}+${frame_x}+${frame_y}" +repage \
            "$output_dir/notifier-window-${dpi}dpi.png" 2> /dev/null || true
    else
        fail "$dpi dpi: the window manager sets no _NET_FRAME_EXTENTS"
    fi

    kill "$pid" 2> /dev/null || true
    wait_for 5000 not_alive "$pid" || kill -9 "$pid" 2> /dev/null || true
    wait_for 5000 eval '! find_notifier_window' || true
done

echo "== done: $failures failure(s)"
