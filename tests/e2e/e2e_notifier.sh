#!/usr/bin/env bash
# End-to-end test of the notifier: the real executable on a private X
# display under a real window manager: openbox or KDE's kwin on Xvfb, or
# GNOME's mutter with its Xwayland (E2E_WM, see xsession.sh). The same
# scenarios run under each.
#
#   e2e_notifier.sh NOTIFIER FOCUS_PROBE PEER OUTPUT_DIR
#
# NOTIFIER is copied into a fresh directory for each case, since it reads
# MI.zorvi beside its own executable. FOCUS_PROBE is the small window that
# holds the keyboard focus while the notifier appears. A screenshot of the
# notifier window is left in OUTPUT_DIR, named after the window manager. PEER is notificador-peer, whose
# listener receives the answers.
#
# Every check prints PASS: or FAIL:; the script exits non-zero if any failed.
# Set E2E_KEEP=1 to keep the scratch directory (logs, copies) afterwards.
# E2E_NOTIFIER_RUNNER, if set, is the command that runs the notifier's copy
# (the Windows build's tests set it to tests/wine/wine-run.sh); it is run
# once without arguments when the display is up, to settle on it.

set -eEuo pipefail

if (($# != 4)); then
    echo "usage: $0 NOTIFIER FOCUS_PROBE PEER OUTPUT_DIR" >&2
    exit 2
fi
notifier_bin=$1
notifier_name=$(basename "$notifier_bin")
read -r -a notifier_runner <<< "${E2E_NOTIFIER_RUNNER:-}"
probe_bin=$2
peer_bin=$3
output_dir=$4

readonly TITLE='Mensaje instantáneo'
readonly SCREEN_W=1024 SCREEN_H=768
readonly CLIENT_W=382 CLIENT_H=141
# The answer box, Text1, in client-area pixels (inclusive).
readonly TEXT1_X0=10 TEXT1_X1=371 TEXT1_Y0=116 TEXT1_Y1=133
# Limits the notifier must meet (E2E_LIMIT_MS sets all three where the
# notifier runs under an emulator, which has its own start-up to pay).
readonly MAP_LIMIT_MS=${E2E_LIMIT_MS:-2000}     # window on screen after the start
readonly EXIT_LIMIT_MS=${E2E_LIMIT_MS:-2000}    # end after Escape, or after a record it drops
readonly QUICK_EXIT_MS=${E2E_LIMIT_MS:-2000}    # end when there is nothing to show
# Generous limits for everything else (the machine may be loaded).
readonly SLOW_MS=5000
readonly SETTLE_MS=500         # how long the notifier is watched for a wrong reaction

readonly NINE_FIELDS='MI-Mensaje;08/12/2026 21:00:00;Ana;127.0.0.1;40000;Luis;10.0.0.2;40001;Hola, ¿qué tal?'
readonly SHORT_RECORD='k;d;Ana;h;1'
readonly MARKUP_FIELDS='MI-Mensaje;08/12/2026 21:05:00;Ana;127.0.0.1;40000;Luis;10.0.0.2;40001;<b>hola</b> & <img src=x>'

TEST_NAME=e2e_notifier
source "$(dirname "${BASH_SOURCE[0]}")/xsession.sh"

require_tools "xdotool x11-utils x11-xserver-utils imagemagick" \
    xdotool xprop xwininfo xev xmodmap import identify
[[ $E2E_WM == mutter ]] || require_tools xvfb Xvfb
[[ -x $notifier_bin ]] || fatal "notifier '$notifier_bin' is not an executable"
[[ -x $probe_bin ]] || fatal "focus probe '$probe_bin' is not an executable"
[[ -x $peer_bin ]] || fatal "peer '$peer_bin' is not an executable"
mkdir -p "$output_dir"

# --- X server and window manager ---------------------------------------------

start_x_session "$SCREEN_W" "$SCREEN_H"
if ((${#notifier_runner[@]})); then
    "${notifier_runner[@]}" || fatal "the notifier's runner cannot settle on the display"
fi

# xdotool types a character the keyboard map lacks by remapping a key just
# for that keystroke, and the client may read the key before it sees the new
# map. The accented letter the answers use gets a key of its own up front:
# a free one, or E2E_SPARE_KEYCODE (Wine reads only the keys a PC keyboard has).
spare_keycode=${E2E_SPARE_KEYCODE:-$(xmodmap -pke | awk '$1 == "keycode" && NF == 3 {code = $2} END {print code}')}
[[ -n $spare_keycode ]] || fatal "the keyboard map has no spare key"
xmodmap -e "keycode $spare_keycode = iacute Iacute" || fatal "xmodmap cannot change the keyboard map"

read -r screen_w screen_h < <(xwininfo -root | awk '/^ *Width:/ {w = $2} /^ *Height:/ {h = $2} END {print w, h}')
[[ $screen_w == "$SCREEN_W" && $screen_h == "$SCREEN_H" ]] ||
    fatal "screen is ${screen_w}x${screen_h}, expected ${SCREEN_W}x${SCREEN_H}"

# --- watching for windows being mapped ---------------------------------------

# One xev for the whole run records what happens to the root's children (the
# window manager's frames among them) and to the root's properties; the
# latter carry markers that cut the record into one stretch per case.
xev_log=$scratch/xev.log
# The event record is long and rarely tells more than the checks.
QUIET_LOG=$xev_log
xev -root -event substructure -event property > "$xev_log" 2>&1 &
background_pids+=("$!")

marks=0
# mark NAME [MS]: sets a root property named _E2E_NAME and waits (up to MS
# ms, default SLOW_MS) until xev has written it down, so that everything
# before it is in the record.
mark() {
    local atom="_E2E_$1"
    xprop -root -f "$atom" 32c -set "$atom" "$((++marks))"
    wait_for "${2:-$SLOW_MS}" grep -aq "($atom)" "$xev_log"
}
# The record between two markers.
between_marks() {
    awk -v from="(_E2E_$1)" -v to="(_E2E_$2)" '
        index($0, from) {inside = 1; next}
        index($0, to) {inside = 0}
        inside' "$xev_log"
}
# xev has selected its events only once it reports a marker.
wait_for 10000 mark WATCH 200 || fatal "xev does not report events on the root window"

# --- the notifier ------------------------------------------------------------

case_count=0
case_dir=
# new_case: a fresh directory with a copy of the notifier; sets case_dir.
new_case() {
    case_count=$((case_count + 1))
    case_dir=$scratch/case$case_count
    mkdir "$case_dir"
    cp "$notifier_bin" "$case_dir/$notifier_name"
}

# The notifier is started from a directory of its own that holds a record
# too, so a notifier that looks in its working directory rather than beside
# its executable is caught.
mkdir "$scratch/elsewhere"
printf '%s\r\n' "$NINE_FIELDS" > "$scratch/elsewhere/MI.zorvi"

notifier_pid=
start_ms=
# start_notifier [ENV-ARGUMENTS...]: starts the copy in case_dir in the
# background, never on a platform chosen by the caller's environment;
# output goes to case_dir/stdout and case_dir/stderr.
start_notifier() {
    start_ms=$(now_ms)
    (cd "$scratch/elsewhere" &&
        exec env -u QT_QPA_PLATFORM -u WAYLAND_DISPLAY "$@" "${notifier_runner[@]}" "$case_dir/$notifier_name" \
            > "$case_dir/stdout" 2> "$case_dir/stderr") &
    notifier_pid=$!
    background_pids+=("$notifier_pid")
}

show_output() {
    [[ -s $case_dir/stdout ]] && info "stdout: $(head -c 2000 "$case_dir/stdout")"
    [[ -s $case_dir/stderr ]] && info "stderr: $(head -c 2000 "$case_dir/stderr")"
    return 0
}

# expect_printed_nothing WHAT: the notifier wrote nothing on its standard
# output or error, Qt's own warnings included.
expect_printed_nothing() {
    if [[ -s $case_dir/stdout || -s $case_dir/stderr ]]; then
        fail "$1: the notifier prints something"
        show_output
    else
        pass "$1: the notifier prints nothing"
    fi
}

# expect_quiet_exit WHAT LIMIT_MS: the notifier ends within LIMIT_MS of its
# start with status 0 and prints nothing.
expect_quiet_exit() {
    local what=$1 limit=$2 remaining
    remaining=$((limit - ($(now_ms) - start_ms)))
    ((remaining < 0)) && remaining=0
    if wait_exit "$notifier_pid" "$remaining"; then
        local took=$(($(now_ms) - start_ms))
        if [[ $exit_status == 0 ]]; then
            pass "$what: ends with status 0 (after about $took ms)"
        else
            fail "$what: ends with status $exit_status, expected 0"
        fi
    else
        fail "$what: still running ${limit} ms after the start"
        kill "$notifier_pid" 2> /dev/null || true
        wait_exit "$notifier_pid" "$SLOW_MS" || kill -9 "$notifier_pid" 2> /dev/null || true
    fi
    expect_printed_nothing "$what"
}

# The visible window whose title begins with "Mensaje": on this display only
# one notifier runs at a time, beside the probe.
notifier_window=
find_notifier_window() {
    notifier_window=$(xdotool search --onlyvisible --name '^Mensaje' 2> /dev/null | head -n 1)
    [[ -n $notifier_window ]]
}

# How many windows with the notifier's title are visible.
visible_windows() {
    local count=0 window
    for window in $(xdotool search --onlyvisible --name '^Mensaje' 2> /dev/null); do
        [[ $(window_title "$window") == "$TITLE" ]] && count=$((count + 1))
    done
    echo "$count"
}

window_title() {
    xprop -id "$1" _NET_WM_NAME 2> /dev/null | sed -n 's/^_NET_WM_NAME(UTF8_STRING) = "\(.*\)"$/\1/p'
}

map_state() { xwininfo -id "$1" 2> /dev/null | awk -F': *' '/Map State:/ {print $2}'; }
is_viewable() { [[ $(map_state "$1") == IsViewable ]]; }

# client_geometry WINDOW: sets client_x client_y client_w client_h (absolute).
client_geometry() {
    local info
    info=$(xwininfo -id "$1") || return 1
    client_x=$(awk -F': *' '/Absolute upper-left X/ {print $2}' <<< "$info")
    client_y=$(awk -F': *' '/Absolute upper-left Y/ {print $2}' <<< "$info")
    client_w=$(awk -F': *' '/^ *Width/ {print $2}' <<< "$info")
    client_h=$(awk -F': *' '/^ *Height/ {print $2}' <<< "$info")
}

# frame_extents WINDOW: sets ext_left ext_right ext_top ext_bottom.
frame_extents() {
    local values
    values=$(xprop -id "$1" _NET_FRAME_EXTENTS 2> /dev/null |
        sed -n 's/^_NET_FRAME_EXTENTS(CARDINAL) = \([0-9]*\), \([0-9]*\), \([0-9]*\), \([0-9]*\)$/\1 \2 \3 \4/p')
    [[ -n $values ]] || return 1
    read -r ext_left ext_right ext_top ext_bottom <<< "$values"
}

parent_of() { xwininfo -tree -id "$1" | awk '/Parent window id:/ {print $4}'; }
# frame_of WINDOW: the child of the root that holds WINDOW, the frame the
# window manager put around it (kwin puts a wrapper between the two).
root_window=$(xwininfo -root | awk '/Window id:/ {print $4}')
frame_of() {
    local window=$1 parent
    while parent=$(parent_of "$window") && [[ -n $parent && $((parent)) != $((root_window)) ]]; do
        window=$parent
    done
    printf '0x%x\n' "$((window))"
}

focused_window() { xdotool getwindowfocus 2> /dev/null; }
active_window() { xdotool getactivewindow 2> /dev/null; }
focus_is() { [[ $(focused_window) == "$1" ]]; }

probe_text() { cat "$probe_out" 2> /dev/null; }
probe_text_is() { [[ $(probe_text) == "$1" ]]; }
probe_escapes() {
    local count=0
    [[ -f $probe_out.keys ]] && count=$(grep -c '^Escape$' "$probe_out.keys" || true)
    echo "${count:-0}"
}
probe_escapes_reach() { (($(probe_escapes) >= $1)); }

# click_into_answer_box WHAT: clicks into the answer box of notifier_window
# and waits until the window has the focus.
click_into_answer_box() {
    local what=$1 x y
    client_geometry "$notifier_window" || { fail "$what: window gone before the click"; return 1; }
    x=$((client_x + (TEXT1_X0 + TEXT1_X1) / 2))
    y=$((client_y + (TEXT1_Y0 + TEXT1_Y1) / 2))
    xdotool mousemove "$x" "$y" click 1
    if wait_for "$SLOW_MS" focus_is "$notifier_window"; then
        pass "$what: a click into the answer box at ($x, $y) gives the window the focus"
    else
        fail "$what: after a click at ($x, $y) the focus is on $(focused_window), not on the notifier ($notifier_window)"
        return 1
    fi
}

# expect_exit_after WHAT KEY: presses KEY in the focused window and expects
# the notifier to end within EXIT_LIMIT_MS with status 0.
expect_exit_after() {
    local what=$1 key=$2 pressed
    xdotool key "$key"
    pressed=$(now_ms)
    if wait_exit "$notifier_pid" "$EXIT_LIMIT_MS"; then
        if [[ $exit_status == 0 ]]; then
            pass "$what: $key ends the notifier with status 0 (after about $(($(now_ms) - pressed)) ms)"
        else
            fail "$what: after $key the notifier ends with status $exit_status, expected 0"
        fi
        expect_printed_nothing "$what"
    else
        fail "$what: the notifier is still running ${EXIT_LIMIT_MS} ms after $key"
        kill "$notifier_pid" 2> /dev/null || true
        wait_exit "$notifier_pid" "$SLOW_MS" || kill -9 "$notifier_pid" 2> /dev/null || true
    fi
}

# close_by_escape WHAT: clicks into the answer box of notifier_window, so
# that the window gets the focus, presses Escape and expects the notifier to
# end within EXIT_LIMIT_MS with status 0.
close_by_escape() {
    click_into_answer_box "$1" || true
    expect_exit_after "$1" Escape
}

# --- nothing to show ---------------------------------------------------------

echo "== no notification file"
new_case
start_notifier
expect_quiet_exit "no file" "$QUICK_EXIT_MS"
if [[ -f $scratch/elsewhere/MI.zorvi ]]; then
    pass "no file: a record in the working directory is left alone"
else
    fail "no file: the record in the working directory was taken"
fi

echo "== no notification file, no display"
new_case
start_notifier -u DISPLAY
expect_quiet_exit "no file, no display" "$QUICK_EXIT_MS"

echo "== nine fields, no display"
new_case
printf '%s\r\n' "$NINE_FIELDS" > "$case_dir/MI.zorvi"
start_notifier -u DISPLAY
expect_quiet_exit "no display" "$SLOW_MS"
if [[ -f $case_dir/MI.zorvi ]] && [[ $(< "$case_dir/MI.zorvi") == "$NINE_FIELDS"$'\r' ]]; then
    pass "no display: the notification file is left as it was"
else
    fail "no display: the notification file is gone or changed"
fi

# --- a message is shown without taking the focus -----------------------------

echo "== nine fields: the window"
probe_out=$scratch/probe.txt
QT_QPA_PLATFORM=xcb "$probe_bin" "$probe_out" > "$scratch/probe.log" 2>&1 &
probe_pid=$!
background_pids+=("$probe_pid")
probe_window=
find_probe() {
    probe_window=$(xdotool search --all --onlyvisible --pid "$probe_pid" --name '^focus-probe$' 2> /dev/null | head -n 1)
    [[ -n $probe_window ]]
}
wait_for 10000 find_probe || fatal "the focus probe window did not appear"
[[ -f $probe_out ]] || fatal "the focus probe did not create $probe_out"
timeout 10 xdotool windowactivate --sync "$probe_window" ||
    fatal "xdotool cannot activate the focus probe ($probe_window)"
# The pointer rests on the probe, away from where the notifier appears.
xdotool mousemove 60 60
if wait_for "$SLOW_MS" focus_is "$probe_window"; then
    pass "the focus probe ($probe_window) has the focus"
else
    fatal "the focus probe ($probe_window) cannot get the focus (focus: $(focused_window))"
fi

new_case
printf '%s\r\n' "$NINE_FIELDS" > "$case_dir/MI.zorvi"
mark B_START || fatal "xev stopped reporting"
# Started as a service may be, with no runtime directory: Qt notices.
start_notifier -u XDG_RUNTIME_DIR
if wait_for "$MAP_LIMIT_MS" find_notifier_window; then
    pass "a window of the notifier is mapped within ${MAP_LIMIT_MS} ms (after about $(($(now_ms) - start_ms)) ms)"
elif wait_for "$SLOW_MS" find_notifier_window; then
    fail "the window is mapped only after about $(($(now_ms) - start_ms)) ms, limit ${MAP_LIMIT_MS} ms"
else
    alive "$notifier_pid" || info "the notifier has ended"
    show_output
    fatal "no window of the notifier is mapped"
fi

title=$(window_title "$notifier_window")
if [[ $title == "$TITLE" ]]; then
    pass "the window is titled '$TITLE'"
else
    fail "the window is titled '$title', expected '$TITLE'"
fi

if is_viewable "$notifier_window"; then
    pass "xwininfo reports the window viewable"
else
    fail "xwininfo reports the window $(map_state "$notifier_window")"
fi

state=$(xprop -id "$notifier_window" _NET_WM_STATE)
if [[ $state == *_NET_WM_STATE_ABOVE* ]]; then
    pass "_NET_WM_STATE holds _NET_WM_STATE_ABOVE"
else
    fail "_NET_WM_STATE lacks _NET_WM_STATE_ABOVE: $state"
fi

# Its icon, small and large, follows it on screen.
icons=
for ((tries = 0; tries < 40; tries++)); do
    icons=$(xprop -id "$notifier_window" _NET_WM_ICON 2> /dev/null | grep -o 'Icon ([0-9]* x [0-9]*)' | sort -u | tr '\n' ' ')
    [[ $icons == *"(16 x 16)"* && $icons == *"(32 x 32)"* ]] && break
    sleep 0.05
done
if [[ $icons == *"(16 x 16)"* && $icons == *"(32 x 32)"* ]]; then
    pass "the window offers its icon at 16 and 32 px"
else
    fail "the window offers the icon sizes: ${icons:-none}"
fi

# The window is not resizable, so the window manager offers no maximising.
actions=$(xprop -id "$notifier_window" _NET_WM_ALLOWED_ACTIONS 2> /dev/null || true)
if [[ $actions != *_NET_WM_ACTION_CLOSE* ]]; then
    fail "the window manager reports no allowed actions: $actions"
elif [[ $actions == *_NET_WM_ACTION_MAXIMIZE* || $actions == *_NET_WM_ACTION_RESIZE* ]]; then
    fail "the window manager allows maximising or resizing the window: $actions"
else
    pass "the window manager allows neither maximising nor resizing the window"
fi

client_geometry "$notifier_window" || fatal "xwininfo cannot read the window"
if ((client_w == CLIENT_W && client_h == CLIENT_H)); then
    pass "the client area is ${CLIENT_W} x ${CLIENT_H}"
else
    fail "the client area is ${client_w} x ${client_h}, expected ${CLIENT_W} x ${CLIENT_H}"
fi

# frame_centred: reads the window's frame as the window manager reports it
# (sets frame_x frame_y frame_w frame_h) and whether it is centred on the
# screen within 3 px. A window manager that tells the frame only once the
# window is mapped sees the window moved to match it right after.
frame_centred() {
    client_geometry "$notifier_window" && frame_extents "$notifier_window" || return 1
    frame_x=$((client_x - ext_left))
    frame_y=$((client_y - ext_top))
    frame_w=$((client_w + ext_left + ext_right))
    frame_h=$((client_h + ext_top + ext_bottom))
    # Twice the offset from the centre, to stay in whole numbers.
    off_x=$((2 * frame_x + frame_w - SCREEN_W))
    off_y=$((2 * frame_y + frame_h - SCREEN_H))
    ((off_x >= -6 && off_x <= 6 && off_y >= -6 && off_y <= 6))
}
if ! wait_for "$SLOW_MS" frame_extents "$notifier_window"; then
    fail "the window manager sets no _NET_FRAME_EXTENTS on the window"
    frame_x=$client_x frame_y=$client_y frame_w=$client_w frame_h=$client_h
elif wait_for "$SLOW_MS" frame_centred; then
    info "client ${client_w}x${client_h}+${client_x}+${client_y}," \
        "frame extents l=$ext_left r=$ext_right t=$ext_top b=$ext_bottom," \
        "frame ${frame_w}x${frame_h}+${frame_x}+${frame_y}"
    pass "the frame is centred on the screen within 3 px"
else
    fail "the frame ${frame_w}x${frame_h}+${frame_x}+${frame_y} (extents l=$ext_left r=$ext_right t=$ext_top b=$ext_bottom)" \
        "is not centred on ${SCREEN_W}x${SCREEN_H} (off by $((off_x / 2)), $((off_y / 2)) px)"
fi

if focus_is "$probe_window"; then
    pass "the keyboard focus stays on the focus probe"
else
    fail "the keyboard focus moved to $(focused_window) (probe $probe_window, notifier $notifier_window)"
fi
active=$(active_window || true)
if [[ $active == "$probe_window" ]]; then
    pass "the focus probe stays the active window"
else
    fail "the active window is '$active', not the focus probe ($probe_window)"
fi

# The map seen by the watcher: the frame the window manager put around the
# window.
mark B_MAPPED || fatal "xev stopped reporting"
frame_window=$(frame_of "$notifier_window")
if between_marks B_START B_MAPPED | grep -aA1 '^MapNotify' | grep -aqiE "window ${frame_window}([^0-9a-f]|$)"; then
    pass "the watcher on the root window sees the frame ($frame_window) mapped"
else
    fail "the watcher on the root window does not see the frame ($frame_window) mapped"
fi

if wait_for "$SLOW_MS" test ! -e "$case_dir/MI.zorvi"; then
    pass "the notification file is deleted"
else
    fail "the notification file is still there"
fi

# The screenshot is taken of the frame window: Xwayland, which mutter runs
# without a root window of its own, has no image of the root to crop it from.
# mutter's frame window reaches beyond the frame it reports by an invisible
# border, which the crop leaves out.
screenshot=$output_dir/notifier-window-$E2E_WM.png
rm -f "$screenshot"
read -r frame_window_x frame_window_y < <(xwininfo -id "$frame_window" |
    awk -F': *' '/Absolute upper-left X/ {x = $2} /Absolute upper-left Y/ {y = $2} END {print x, y}')
if import -window "$frame_window" -crop "${frame_w}x${frame_h}+$((frame_x - frame_window_x))+$((frame_y - frame_window_y))" +repage \
    "$screenshot" 2> "$scratch/import.log" &&
    [[ $(identify -format '%wx%h' "$screenshot" 2> /dev/null) == "${frame_w}x${frame_h}" ]]; then
    pass "screenshot of the window with its frame: $screenshot"
    colours=$(identify -format '%k' "$screenshot")
    if ((colours >= 8)); then
        pass "the screenshot shows a drawn window ($colours colours)"
    else
        fail "the screenshot shows an empty window ($colours colours)"
    fi
else
    fail "cannot take a screenshot of the window ($(cat "$scratch/import.log"))"
fi

echo "== nine fields: typing goes to the focused window"
xdotool type --delay 20 hola
xdotool key Escape
if wait_for "$SLOW_MS" probe_text_is hola; then
    pass "typed text reaches the focus probe"
else
    fail "the focus probe holds '$(probe_text)', expected 'hola'"
fi
if wait_for "$SLOW_MS" probe_escapes_reach 1; then
    pass "Escape reaches the focus probe"
else
    fail "Escape does not reach the focus probe"
fi
# Give a notifier that wrongly got the keys the time to react to them.
settle_start=$(now_ms)
still_there=1
while (($(now_ms) - settle_start < SETTLE_MS)); do
    if ! alive "$notifier_pid" || ! is_viewable "$notifier_window"; then
        still_there=0
        break
    fi
    sleep 0.05
done
if ((still_there)); then
    pass "the notifier is still running and mapped after Escape to another window"
else
    fail "the notifier closed or unmapped on the keys typed while the probe had the focus"
fi
if focus_is "$probe_window"; then
    pass "the focus is still on the probe after typing"
else
    fail "the focus moved away from the probe while typing (focus: $(focused_window))"
fi

# --- Escape in the notifier closes it ----------------------------------------

echo "== nine fields: Escape closes the window"
if alive "$notifier_pid"; then
    close_by_escape "nine fields"
else
    fail "nine fields: the notifier is no longer running, cannot close it"
fi

# --- a record too short is dropped without a window --------------------------

echo "== fewer than nine fields"
new_case
printf '%s\r\n' "$SHORT_RECORD" > "$case_dir/MI.zorvi"
mark C_START || fatal "xev stopped reporting"
start_notifier
expect_quiet_exit "fewer than nine fields" "$EXIT_LIMIT_MS"
mark C_END || fatal "xev stopped reporting"
maps=$(between_marks C_START C_END | grep -a -A1 '^MapNotify' || true)
if [[ -z $maps ]]; then
    pass "fewer than nine fields: no window is mapped"
else
    fail "fewer than nine fields: a window was mapped:"
    info "$maps"
fi
if [[ -e $case_dir/MI.zorvi ]]; then
    fail "fewer than nine fields: the notification file is still there"
else
    pass "fewer than nine fields: the notification file is deleted"
fi

# The window manager held still: the window, asked for, is not mapped and its file stays (Windows shows at once).
echo "== nine fields, the window manager held still"
if ((${#notifier_runner[@]} == 0)); then
    new_case
    printf '%s\r\n' "$NINE_FIELDS" > "$case_dir/MI.zorvi"
    kill -STOP "$wm_pid"
    start_notifier
    map_asked() { xprop -id "$(xdotool search --name '^Mensaje' | head -n 1)" _NET_WM_STATE 2> /dev/null | grep -q _ABOVE; }
    wait_for "$SLOW_MS" map_asked && ! wait_for "$SETTLE_MS" test ! -e "$case_dir/MI.zorvi" &&
        pass "held: the file stays while the window is not mapped" || fail "held: the file goes before the window is mapped"
    kill -CONT "$wm_pid"
    wait_for "$MAP_LIMIT_MS" find_notifier_window && close_by_escape "held"
fi

# --- several runs on one notification ----------------------------------------

# The messaging system may start the notifier several times on one
# notification; E2E_CONCURRENT_RUNS sets how many (fewer where each run pays
# an emulator's start-up).
readonly CONCURRENT_RUNS=${E2E_CONCURRENT_RUNS:-20}
echo "== $CONCURRENT_RUNS notifiers at once on one notification"
new_case
printf '%s\r\n' "$NINE_FIELDS" > "$case_dir/MI.zorvi"
run_pids=()
for ((run = 0; run < CONCURRENT_RUNS; run++)); do
    start_notifier
    run_pids+=("$notifier_pid")
done
# count_ended_runs: sets ended_runs to how many of the runs have ended, and
# notifier_pid to one that has not.
ended_runs=0
count_ended_runs() {
    local pid
    ended_runs=0
    for pid in "${run_pids[@]}"; do
        if alive "$pid"; then notifier_pid=$pid; else ended_runs=$((ended_runs + 1)); fi
    done
}
# Every run but one has ended and that one has its window up: any further
# window would be up by now.
all_but_one_ended_and_mapped() {
    count_ended_runs
    ((ended_runs == CONCURRENT_RUNS - 1)) && find_notifier_window
}
if wait_for $((CONCURRENT_RUNS * SLOW_MS)) all_but_one_ended_and_mapped; then
    pass "$CONCURRENT_RUNS runs: all but one end, and one window is mapped"
else
    fail "$CONCURRENT_RUNS runs: $ended_runs runs have ended"
fi
windows=0
for window in $(xdotool search --onlyvisible --name '^Mensaje' 2> /dev/null); do
    if [[ $(window_title "$window") == "$TITLE" ]]; then
        windows=$((windows + 1))
    fi
done
if ((windows == 1)); then
    pass "$CONCURRENT_RUNS runs: exactly one window titled '$TITLE'"
else
    fail "$CONCURRENT_RUNS runs: $windows windows titled '$TITLE'"
fi
if wait_for "$SLOW_MS" test ! -e "$case_dir/MI.zorvi"; then
    pass "$CONCURRENT_RUNS runs: the notification file is deleted"
else
    fail "$CONCURRENT_RUNS runs: the notification file is still there"
fi
# The others' statuses: the one with the window is checked as it closes.
count_ended_runs
shown_pid=
if ((ended_runs < CONCURRENT_RUNS)) && find_notifier_window; then
    shown_pid=$notifier_pid
    close_by_escape "$CONCURRENT_RUNS runs"
fi
statuses=()
for pid in "${run_pids[@]}"; do
    [[ $pid == "$shown_pid" ]] && continue
    wait_exit "$pid" "$SLOW_MS" || { kill "$pid" 2> /dev/null || true; }
    statuses+=("${exit_status:-running}")
done
if [[ " ${statuses[*]} " =~ ^( 0)+\ $ ]]; then
    pass "$CONCURRENT_RUNS runs: the ${#statuses[@]} others end silently with status 0"
else
    fail "$CONCURRENT_RUNS runs: the others end with ${statuses[*]}"
fi
if [[ -s $case_dir/stdout || -s $case_dir/stderr ]]; then
    fail "$CONCURRENT_RUNS runs: a run prints something"
    show_output
fi

# --- a notification that cannot be deleted ------------------------------------

# In a folder where nothing can be deleted (root deletes in spite of the
# folder's permissions, but not from an immutable folder), the run that
# shows the notification keeps it for as long as it runs: a second run
# started meanwhile ends quietly, with no second window.
echo "== a notification that cannot be deleted"
seal_folder() { if ((EUID == 0)); then chattr "$1" "$case_dir"; else chmod "$2" "$case_dir"; fi; }
new_case
printf '%s\r\n' "$NINE_FIELDS" > "$case_dir/MI.zorvi"
# The runs' output goes to files made beforehand.
touch "$case_dir/stdout" "$case_dir/stderr"
if seal_folder +i a-w 2> /dev/null; then
    start_notifier
    if wait_for "$MAP_LIMIT_MS" find_notifier_window; then
        pass "undeletable: the first run shows the notification"
        first_pid=$notifier_pid first_window=$notifier_window
        # The first run has tried to delete the file by the time it waits
        # for the user; the file is still there.
        sleep 0.5
        start_notifier
        second_run_done() { not_alive "$notifier_pid" || (($(visible_windows) > 1)); }
        wait_for "$EXIT_LIMIT_MS" second_run_done || true
        if [[ $(visible_windows) == 1 ]]; then
            pass "undeletable: a second run shows no second window"
        else
            fail "undeletable: $(visible_windows) windows"
        fi
        expect_quiet_exit "undeletable: a second run" "$EXIT_LIMIT_MS"
        notifier_pid=$first_pid notifier_window=$first_window
        close_by_escape "undeletable"
    else
        fail "undeletable: no window is mapped within ${MAP_LIMIT_MS} ms"
        show_output
    fi
    seal_folder -i u+w
else
    info "left out: this file system cannot keep a file from being deleted"
fi

# --- markup in the message ---------------------------------------------------

echo "== a message that looks like markup"
new_case
printf '%s\r\n' "$MARKUP_FIELDS" > "$case_dir/MI.zorvi"
start_notifier
if wait_for "$MAP_LIMIT_MS" find_notifier_window; then
    pass "markup: the window is mapped within ${MAP_LIMIT_MS} ms"
    close_by_escape "markup"
else
    fail "markup: no window is mapped within ${MAP_LIMIT_MS} ms"
    show_output
fi

# --- the answer ----------------------------------------------------------------

listener_pid=
listener_out=
listener_port=
# start_listener: the peer's listener on a port the system picks; sets
# listener_port once it is listening.
start_listener() {
    listener_out=$(mktemp "$scratch/listener.XXXXXX")
    "$peer_bin" listen --address 127.0.0.1 --port 0 > "$listener_out" 2> "$listener_out.err" &
    listener_pid=$!
    background_pids+=("$listener_pid")
    listening() { grep -q '^listening on' "$listener_out"; }
    wait_for "$SLOW_MS" listening || fatal "the peer's listener did not start: $(cat "$listener_out.err")"
    listener_port=$(sed -n 's/^listening on .* port \([0-9]*\)$/\1/p' "$listener_out")
}
answers_received() { grep -c '^answer from' "$listener_out" || true; }
# stop_listener: ends the listener, after it has had time to take in any
# late datagram.
stop_listener() {
    sleep 0.3
    kill "$listener_pid" 2> /dev/null || true
    wait "$listener_pid" 2> /dev/null || true
}
field_is() { grep -qxF -- "$(printf '%3d %-10s "%s"' "$1" "$2" "$3")" "$listener_out"; }

# start_with_record WHAT RECORD: a new case that shows RECORD; sets
# notifier_window.
start_with_record() {
    new_case
    printf '%s\r\n' "$2" > "$case_dir/MI.zorvi"
    start_notifier
    wait_for "$MAP_LIMIT_MS" find_notifier_window || { show_output; fatal "$1: no window is mapped"; }
}

# find_box TITLE: sets box to the visible window titled TITLE.
box=
find_box() { box=$(xdotool search --onlyvisible --name "^$1\$" 2> /dev/null | head -n 1); [[ -n $box ]]; }

# expect_box_and_close WHAT TITLE: the box titled TITLE comes up over the
# notifier with the focus; Return closes it and the notifier stays.
expect_box_and_close() {
    local what=$1 title=$2
    if wait_for "$SLOW_MS" find_box "$title"; then
        pass "$what: the box '$title' comes up"
    else
        fail "$what: no box titled '$title' comes up"
        return
    fi
    if wait_for "$SLOW_MS" focus_is "$box"; then
        pass "$what: the box has the focus"
    else
        fail "$what: the box does not get the focus (focus: $(focused_window))"
    fi
    local stacking
    stacking=$(xprop -root _NET_CLIENT_LIST_STACKING | tr -d ',' | awk '{for (i = 5; i <= NF; i++) print $i}')
    local box_hex notifier_hex
    box_hex=$(printf '0x%x' "$box")
    notifier_hex=$(printf '0x%x' "$notifier_window")
    if awk -v b="$box_hex" -v n="$notifier_hex" '$0 == n {seen_n = NR} $0 == b {seen_b = NR} END {exit !(seen_b > seen_n && seen_n)}' <<< "$stacking"; then
        pass "$what: the box is stacked above the notifier"
    else
        fail "$what: the box is not above the notifier (stacking, bottom first: $(echo $stacking))"
    fi
    import -window "$(frame_of "$box")" "$output_dir/box-$case_count-$E2E_WM.png" 2> /dev/null || true
    xdotool key Return
    if wait_for "$SLOW_MS" eval '! find_box "$title"'; then
        pass "$what: Return closes the box"
    else
        fail "$what: the box is still there after Return"
    fi
    if alive "$notifier_pid" && is_viewable "$notifier_window"; then
        pass "$what: the notifier window stays open"
    else
        fail "$what: the notifier window has gone"
    fi
}

echo "== an answer is sent"
start_listener
answer_record="MI-Mensaje;08/12/2026 21:10:00;Ana García;127.0.0.1;$listener_port;Luis;10.0.0.2;40001;¿Vienes?"
start_with_record "answer" "$answer_record"
click_into_answer_box "answer" || true
xdotool type --delay 20 '  Sí, ahora voy  '
expect_exit_after "answer" Return
stop_listener
received=$(answers_received)
if [[ $received == 1 ]]; then
    pass "answer: exactly one datagram arrives"
else
    fail "answer: $received datagrams arrive, expected 1"
fi
if grep -q ', 9 fields$' "$listener_out"; then
    pass "answer: the datagram holds nine fields"
else
    fail "answer: the datagram does not hold nine fields: $(grep '^answer from' "$listener_out")"
fi
expected_fields=("0|kind|MI-Notificar" "2|from|Luis" "3|from host|10.0.0.2" "4|from port|40001"
    "5|to|Ana García" "6|to host|127.0.0.1" "7|to port|$listener_port" "8|message|Sí, ahora voy")
wrong=0
for expected in "${expected_fields[@]}"; do
    IFS='|' read -r position role value <<< "$expected"
    field_is "$position" "$role" "$value" || { wrong=1; fail "answer: field $position is not '$value'"; }
done
((wrong)) || pass "answer: the fields are the parties swapped and the answer trimmed"
((wrong)) && info "$(cat "$listener_out")"
sent_at=$(sed -n 's/^  1 sent at    "\(.*\)"$/\1/p' "$listener_out")
if [[ -n $sent_at && $sent_at != *';'* ]]; then
    pass "answer: sent at '$sent_at'"
else
    fail "answer: no date and time in the answer"
fi

echo "== Enter on the hint"
start_listener
start_with_record "hint" "MI-Mensaje;d;Ana;127.0.0.1;$listener_port;Luis;10.0.0.2;40001;Hola"
click_into_answer_box "hint" || true
xdotool key Return
expect_box_and_close "hint" "Notificador"
stop_listener
if [[ $(answers_received) == 0 ]]; then
    pass "hint: nothing is sent"
else
    fail "hint: an answer was sent"
fi
close_by_escape "hint"

echo "== letters for a port"
start_listener
start_with_record "letters" "MI-Mensaje;d;Ana;127.0.0.1;abc;Luis;10.0.0.2;40001;Hola"
click_into_answer_box "letters" || true
xdotool type --delay 20 'hola'
xdotool key Return
expect_box_and_close "letters" "Ha ocurrido un error"
stop_listener
if [[ $(answers_received) == 0 ]]; then
    pass "letters: nothing is sent"
else
    fail "letters: an answer was sent"
fi
close_by_escape "letters"

# --- two notifications one after the other ------------------------------------

# The messaging system hands over two notifications 5 ms apart, each with a
# run of its own, through the peer (which writes each whole and renames it
# into place). Each is shown once, by its own run: answering each window
# tells which notification it showed.
echo "== two notifications 5 ms apart"
if ((${#notifier_runner[@]})); then
    # The peer starts the notifier itself, not through a runner.
    info "left out: the notifier runs through $E2E_NOTIFIER_RUNNER"
    echo "== done: $failures failure(s)"
    exit 0
fi
start_listener
new_case
notify() {
    "$peer_bin" notify "$case_dir/$notifier_name" --from "$1" --message "$2" --host 127.0.0.1 \
        --port "$listener_port" > "$case_dir/notify-$1.log" 2>&1
}
notify Uno "primera" &
first_notify=$!
sleep 0.005
notify Dos "segunda" &
second_notify=$!
statuses=
for pid in "$first_notify" "$second_notify"; do
    wait_exit "$pid" "$SLOW_MS" || { kill "$pid" 2> /dev/null || true; }
    statuses+=" ${exit_status:-running}"
done
if [[ $statuses == " 0 0" ]]; then
    pass "two notifications: the peer hands over both"
else
    fail "two notifications: the peer's two runs end with$statuses"
    info "$(cat "$case_dir"/notify-*.log)"
fi
two_windows() { (($(visible_windows) == 2)); }
if wait_for "$SLOW_MS" two_windows; then
    pass "two notifications: two windows are mapped"
else
    fail "two notifications: $(visible_windows) window(s) mapped, expected 2"
fi
if wait_for "$SLOW_MS" test ! -e "$case_dir/MI.zorvi"; then
    pass "two notifications: no notification is left waiting"
else
    fail "two notifications: a notification is left waiting"
fi
# The windows lie one over the other: the top one is answered, then the other.
# top_notifier_window: sets notifier_window to the topmost of them.
top_notifier_window() {
    local window
    notifier_window=
    for window in $(xprop -root _NET_CLIENT_LIST_STACKING | tr -d ',' | awk '{for (i = NF; i >= 5; i--) print $i}'); do
        if [[ $(window_title "$window") == "$TITLE" ]] && is_viewable "$window"; then
            notifier_window=$((window))
            return 0
        fi
    done
    return 1
}
for answer in 1 2; do
    top_notifier_window || break
    run_pid=$(xdotool getwindowpid "$notifier_window" 2> /dev/null || true)
    click_into_answer_box "two notifications, answer $answer" || true
    xdotool type --delay 20 "vale"
    xdotool key Return
    if [[ -n $run_pid ]] && wait_for "$EXIT_LIMIT_MS" not_alive "$run_pid"; then
        pass "two notifications: Return sends answer $answer and ends its run"
    else
        fail "two notifications: the run of window $notifier_window (process ${run_pid:-unknown}) goes on after Return"
    fi
done
stop_listener
senders=$(sed -n 's/^  5 to         "\(.*\)"$/\1/p' "$listener_out" | sort | tr '\n' ' ')
if [[ $senders == "Dos Uno " ]]; then
    pass "two notifications: each is shown and answered once"
else
    fail "two notifications: the answers went to '$senders', expected one to Uno and one to Dos"
    info "$(cat "$listener_out")"
fi
if [[ $(visible_windows) == 0 ]]; then
    pass "two notifications: no window is left"
else
    fail "two notifications: $(visible_windows) window(s) left"
fi

echo "== done: $failures failure(s)"
