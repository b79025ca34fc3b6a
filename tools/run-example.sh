#!/usr/bin/env bash
# Shows the built-in example notification with the built notifier.
# With a display ($DISPLAY) the window pops up there: click into it and press
# Escape to close it. Without one, the example runs on a virtual X display
# with a window manager, and a screenshot of the window is saved.
#
# usage: tools/run-example.sh [build-directory]
set -euo pipefail

build=$(cd "${1:-build}" && pwd)
notifier=$build/src/notificador
[ -x "$notifier" ] || { echo "no notifier at $notifier: build first" >&2; exit 1; }

# The notification goes beside the executable; a copy in its own folder keeps
# the build tree clean.
example=$build/example
mkdir -p "$example"
cp "$notifier" "$example/notificador"
printf '%s\n' "MI-Mensaje;$(date '+%d/%m/%Y %H:%M:%S');Ana García;127.0.0.1;47000;$(id -un);127.0.0.1;47001;Hola, ¿tienes un momento para revisar el informe antes de la reunión de las cinco?" \
    > "$example/MI.zorvi"

if [ -n "${DISPLAY:-}" ]; then
    echo "Showing the example notification on $DISPLAY; click into it and press Escape to close it."
    exec "$example/notificador"
fi

echo "No display: running the example on a virtual X display."
runtime=$(mktemp -d)
cleanup() {
    kill "${notifier_pid:-}" "${wm_pid:-}" "${xvfb_pid:-}" 2>/dev/null || true
    rm -rf "$runtime"
}
trap cleanup EXIT
exec {displayfd}<> <(:)
Xvfb -displayfd "$displayfd" -screen 0 1024x768x24 -nolisten tcp >"$runtime/xvfb.log" 2>&1 &
xvfb_pid=$!
read -r -t 10 number <&"$displayfd" || { echo "Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$number" XDG_RUNTIME_DIR=$runtime
unset QT_QPA_PLATFORM WAYLAND_DISPLAY
openbox >"$runtime/openbox.log" 2>&1 &
wm_pid=$!
sleep 0.5

"$example/notificador" &
notifier_pid=$!
window=$(timeout 5 xdotool search --sync --onlyvisible --name '^Mensaje instantáneo$' | head -n 1)
sleep 0.3
shot=$build/example.png
import -window root -crop "$(xwininfo -id "$window" -frame | awk '/Width:/{w=$2}/Height:/{h=$2}/Absolute upper-left X:/{x=$4}/Absolute upper-left Y:/{y=$4}END{print w"x"h"+"x"+"y}')" "$shot"
echo "The notification window was shown; screenshot: $shot"
[ -e "$example/MI.zorvi" ] || echo "The notification file was deleted once shown."

# Close it as a user would: click into the window, then Escape.
xdotool mousemove --window "$window" 190 124 click 1
for _ in $(seq 50); do
    [ "$(xdotool getwindowfocus)" = "$window" ] && break
    sleep 0.1
done
xdotool key Escape
wait "$notifier_pid" && echo "Closed with Escape; the notifier ended with status 0."
