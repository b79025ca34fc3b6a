#!/usr/bin/env bash
# Shows the built-in example notification with the built notifier, and
# prints the answer as the messaging system would receive it.
#
# With a display ($DISPLAY) the window pops up there: click into it, type an
# answer and press Enter (Escape closes it without answering). Without one,
# the example runs on a virtual X display with a window manager, a
# screenshot of the window is saved, and the example answers itself.
#
# usage: tools/run-example.sh [build-directory]
set -euo pipefail

build=$(cd "${1:-build}" && pwd)
notifier=$build/src/notificador
peer=$build/peer/notificador-peer
for program in "$notifier" "$peer"; do
    [ -x "$program" ] || { echo "no $program: build first" >&2; exit 1; }
done

# The notification goes beside the executable; a copy in its own folder keeps
# the build tree clean.
example=$build/example
mkdir -p "$example"
cp "$notifier" "$example/notificador"
rm -f "$example/MI.zorvi"
port=47000
notify=("$peer" notify "$example/notificador" --from "Ana García" --port "$port"
    --message "Hola, ¿tienes un momento para revisar el informe antes de la reunión de las cinco?")

runtime=$(mktemp -d)
cleanup() {
    kill "${notify_pid:-}" "${listener_pid:-}" "${wm_pid:-}" "${xvfb_pid:-}" 2>/dev/null || true
    rm -rf "$runtime"
}
trap cleanup EXIT

# The messaging system's side: the answer is printed as it arrives.
"$peer" listen --port "$port" --count 1 &
listener_pid=$!
sleep 0.2
kill -0 "$listener_pid" 2>/dev/null || { echo "cannot listen on UDP port $port" >&2; exit 1; }

if [ -n "${DISPLAY:-}" ]; then
    echo "Showing the example notification on $DISPLAY: click into it, type an answer and press Enter."
    "${notify[@]}" --wait
    sleep 0.3
    kill -0 "$listener_pid" 2>/dev/null && echo "The window was closed without an answer."
    exit 0
fi

echo "No display: running the example on a virtual X display."
exec {displayfd}<> <(:)
Xvfb -displayfd "$displayfd" -screen 0 1024x768x24 -nolisten tcp -noreset >"$runtime/xvfb.log" 2>&1 &
xvfb_pid=$!
read -r -t 10 number <&"$displayfd" || { echo "Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$number" XDG_RUNTIME_DIR=$runtime
unset QT_QPA_PLATFORM WAYLAND_DISPLAY
# The answer's accented letter gets a key of its own, so that xdotool need
# not remap one while the notifier reads the keys.
spare=$(xmodmap -pke | awk '$1 == "keycode" && NF == 3 {code = $2} END {print code}')
xmodmap -e "keycode $spare = iacute Iacute"
openbox >"$runtime/openbox.log" 2>&1 &
wm_pid=$!
sleep 0.5

"${notify[@]}" --wait &
notify_pid=$!
window=$(timeout 5 xdotool search --sync --onlyvisible --name '^Mensaje instantáneo$' | head -n 1)
sleep 0.3
shot=$build/example.png
import -window root -crop "$(xwininfo -id "$window" -frame | awk '/Width:/{w=$2}/Height:/{h=$2}/Absolute upper-left X:/{x=$4}/Absolute upper-left Y:/{y=$4}END{print w"x"h"+"x"+"y}')" "$shot"
echo "The notification window was shown; screenshot: $shot"
[ -e "$example/MI.zorvi" ] || echo "The notification file was deleted once shown."

# Answer as a user would: click into the answer box, type, Enter.
xdotool mousemove --window "$window" 190 124 click 1
for _ in $(seq 50); do
    [ "$(xdotool getwindowfocus)" = "$window" ] && break
    sleep 0.1
done
answer="  Sí, en cinco minutos lo miro.  "
echo "Answering: '$answer'"
xdotool type --delay 20 "$answer"
xdotool key Return
wait "$notify_pid" && echo "The notifier sent the answer and ended with status 0."
notify_pid=
wait "$listener_pid"
listener_pid=
