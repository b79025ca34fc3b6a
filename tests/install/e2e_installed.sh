#!/usr/bin/env bash
# End-to-end test of the installed notifier: the tree `cmake --install`
# makes is moved to another folder, a notification is dropped beside the
# moved executable, and its window must come up on a private X server
# (Xvfb) under a real window manager (openbox), telling the desktop the
# window class its desktop entry names.
#
#   e2e_installed.sh CMAKE BUILD_DIR
#
# Every check prints PASS: or FAIL:; the script exits non-zero if any failed.
# Set E2E_KEEP=1 to keep the scratch directory afterwards.

set -eEuo pipefail

if (($# != 2)); then
    echo "usage: $0 CMAKE BUILD_DIR" >&2
    exit 2
fi
cmake_bin=$1
build_dir=$(cd -- "$2" && pwd)

readonly TITLE='Mensaje instantáneo'
readonly RECORD='MI-Mensaje;08/12/2026 21:00:00;Ana;127.0.0.1;40000;Luis;10.0.0.2;40001;Hola'
# The answer box, in client-area pixels: a click there gives the window the
# focus, so that Escape reaches it.
readonly ANSWER_X=190 ANSWER_Y=124
readonly SLOW_MS=10000

TEST_NAME=e2e_installed
source "$(dirname "${BASH_SOURCE[0]}")/../e2e/xsession.sh"
require_tools "xvfb openbox xdotool x11-utils" Xvfb openbox xdotool xprop xwininfo

# --- install, then move the installed tree -----------------------------------

installed=$scratch/installed
moved=$scratch/elsewhere/notificador
"$cmake_bin" --install "$build_dir" --prefix "$installed" > "$scratch/install.log" 2>&1 ||
    fatal "cmake --install $build_dir --prefix $installed failed"
mkdir "$scratch/elsewhere"
mv "$installed" "$moved"
pass "installed into $installed and moved to $moved"
notifier=$moved/bin/notificador
[[ -x $notifier ]] || fatal "no executable at $notifier"

# --- X server and window manager ---------------------------------------------

start_x_session 1024 768

# --- the notification beside the moved executable ----------------------------

printf '%s\r\n' "$RECORD" > "$moved/bin/MI.zorvi"
mkdir "$scratch/cwd"
(cd "$scratch/cwd" &&
    exec env -u QT_QPA_PLATFORM "$notifier" > "$scratch/notifier-stdout.log" 2> "$scratch/notifier-stderr.log") &
notifier_pid=$!
background_pids+=("$notifier_pid")

window=
find_window() {
    window=$(xdotool search --onlyvisible --pid "$notifier_pid" --name '^Mensaje' 2> /dev/null | head -n 1)
    [[ -n $window ]]
}
if wait_for "$SLOW_MS" find_window; then
    pass "the moved notifier's window is mapped"
else
    alive "$notifier_pid" || info "the notifier has ended"
    fatal "no window of the moved notifier is mapped"
fi

title=$(xprop -id "$window" _NET_WM_NAME | sed -n 's/^_NET_WM_NAME(UTF8_STRING) = "\(.*\)"$/\1/p')
if [[ $title == "$TITLE" ]]; then
    pass "the window is titled '$TITLE'"
else
    fail "the window is titled '$title', expected '$TITLE'"
fi

if [[ $(readlink "/proc/$notifier_pid/exe") == "$notifier" ]]; then
    pass "the process runs the moved executable"
else
    fail "the process runs $(readlink "/proc/$notifier_pid/exe"), not $notifier"
fi
stale=$(grep -F -e "$build_dir/" -e "$installed/" "/proc/$notifier_pid/maps" || true)
if [[ -z $stale ]]; then
    pass "nothing is loaded from the build tree or the install's former place"
else
    fail "loaded from the build tree or the former install: $stale"
fi

if wait_for "$SLOW_MS" test ! -e "$moved/bin/MI.zorvi"; then
    pass "the notification beside the moved executable is taken and deleted"
else
    fail "the notification beside the moved executable is still there"
fi

# The desktop finds the window's name and icon through the entry whose
# StartupWMClass (or, failing that, file name) matches the window class.
entry=$moved/share/applications/notificador.desktop
wm_class=$(xprop -id "$window" WM_CLASS | sed -n 's/^WM_CLASS(STRING) = "\(.*\)", "\(.*\)"$/\2/p')
entry_class=$(sed -n 's/^StartupWMClass=//p' "$entry")
if [[ -n $wm_class && $wm_class == "$entry_class" ]]; then
    pass "the window class '$wm_class' is the StartupWMClass of the installed entry"
else
    fail "the window class is '$wm_class', the installed entry names '$entry_class'"
fi
if [[ $wm_class.desktop == "$(basename "$entry")" ]]; then
    pass "the window class names the installed entry's file"
else
    fail "the window class '$wm_class' does not name $(basename "$entry")"
fi

icons=$(xprop -id "$window" _NET_WM_ICON | grep -o 'Icon ([0-9]* x [0-9]*)' | sort -u | tr '\n' ' ')
if [[ $icons == *"(16 x 16)"* && $icons == *"(32 x 32)"* && $icons == *"(48 x 48)"* ]]; then
    pass "the window offers its icon at 16, 32 and 48 px"
else
    fail "the window offers the icon sizes: ${icons:-none}"
fi

# --- closing -----------------------------------------------------------------

read -r client_x client_y < <(xwininfo -id "$window" |
    awk -F': *' '/Absolute upper-left X/ {x = $2} /Absolute upper-left Y/ {y = $2} END {print x, y}')
xdotool mousemove $((client_x + ANSWER_X)) $((client_y + ANSWER_Y)) click 1
focused() { [[ $(xdotool getwindowfocus 2> /dev/null) == "$window" ]]; }
wait_for "$SLOW_MS" focused || info "the window did not take the focus on the click"
xdotool key Escape
if wait_for "$SLOW_MS" not_alive "$notifier_pid"; then
    status=0
    wait "$notifier_pid" || status=$?
    if ((status == 0)); then
        pass "Escape ends the notifier with status 0"
    else
        fail "after Escape the notifier ends with status $status"
    fi
else
    fail "the notifier is still running after Escape"
fi
if [[ -s $scratch/notifier-stderr.log ]]; then
    info "the notifier wrote to stderr: $(head -c 2000 "$scratch/notifier-stderr.log")"
fi

echo "== done: $failures failure(s)"
