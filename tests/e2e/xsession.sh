# Shared by the end-to-end tests, sourced after `set -eEuo pipefail`: the
# checks' reporting, waiting on processes, a scratch directory that goes
# away at the end, and a private X server (Xvfb) under openbox.
#
# The sourcing script sets TEST_NAME first, and may set QUIET_LOG to a log
# file not worth printing when a check fails.

export LANG=C.UTF-8 LC_ALL=C.UTF-8

failures=0
pass() { printf 'PASS: %s\n' "$*"; }
fail() { printf 'FAIL: %s\n' "$*"; failures=$((failures + 1)); }
info() { printf '      %s\n' "$*"; }
# A failure after which the rest cannot run.
fatal() { printf 'FAIL: %s\n' "$*"; failures=$((failures + 1)); exit 1; }
trap 'fail "unexpected error at line $LINENO: $BASH_COMMAND"' ERR

# require_tools PACKAGES TOOL...: fails unless every TOOL is on the PATH.
require_tools() {
    local packages=$1 tool
    shift
    for tool in "$@"; do
        command -v "$tool" > /dev/null || fatal "tool '$tool' not found (Debian packages: $packages)"
    done
}

# --- time, processes, waiting ------------------------------------------------

now_ms() {
    local us=${EPOCHREALTIME//[!0-9]/}
    echo $((10#$us / 1000))
}

# Whether PID is a live process (a zombie does not count).
alive() {
    local stat
    kill -0 "$1" 2> /dev/null || return 1
    stat=$(cat "/proc/$1/stat" 2> /dev/null) || return 1
    stat=${stat##*) }
    [[ ${stat%% *} != Z ]]
}

not_alive() { ! alive "$1"; }

# wait_for MS COMMAND...: runs COMMAND every 50 ms until it succeeds or MS
# milliseconds have passed.
wait_for() {
    local limit=$1 start
    shift
    start=$(now_ms)
    until "$@"; do
        (($(now_ms) - start >= limit)) && return 1
        sleep 0.05
    done
}

# wait_exit PID MS: waits up to MS ms for PID, a child of this shell, to end;
# sets exit_status (or leaves it empty if PID is still running).
exit_status=
wait_exit() {
    exit_status=
    wait_for "$2" not_alive "$1" || return 1
    exit_status=0
    wait "$1" || exit_status=$?
}

# --- scratch space and clean-up ----------------------------------------------

scratch=$(mktemp -d "${TMPDIR:-/tmp}/$TEST_NAME.XXXXXX")
background_pids=()

cleanup() {
    local status=$? pid
    trap - EXIT INT TERM HUP ERR
    # Children first, the window manager and the server last.
    for ((i = ${#background_pids[@]} - 1; i >= 0; i--)); do
        pid=${background_pids[i]}
        if alive "$pid"; then
            kill "$pid" 2> /dev/null || true
            wait_for 2000 not_alive "$pid" || kill -9 "$pid" 2> /dev/null || true
        fi
        wait "$pid" 2> /dev/null || true
    done
    if ((status != 0 || failures != 0)) && [[ -d $scratch ]]; then
        for log in "$scratch"/*.log; do
            [[ -s $log && $log != "${QUIET_LOG:-}" ]] || continue
            echo "----- $(basename "$log") (last lines) -----"
            tail -n 40 "$log"
        done
    fi
    if [[ ${E2E_KEEP:-} == 1 ]]; then
        echo "scratch directory kept: $scratch"
    else
        rm -rf "$scratch"
    fi
    if ((failures != 0)); then
        echo "$TEST_NAME: $failures check(s) failed"
        exit 1
    fi
    exit "$status"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM
trap 'exit 129' HUP

# Everything the test starts sees only its own runtime, configuration and
# cache directories, so neither the user's openbox configuration nor stale
# state changes what happens.
mkdir -m 700 "$scratch/runtime" "$scratch/config" "$scratch/cache" "$scratch/home"
export XDG_RUNTIME_DIR=$scratch/runtime
export XDG_CONFIG_HOME=$scratch/config
export XDG_CACHE_HOME=$scratch/cache
export HOME=$scratch/home
unset WAYLAND_DISPLAY XDG_SESSION_TYPE

# --- X server and window manager ---------------------------------------------

# E2E_WM names the window manager the session runs: openbox (the default)
# or kwin (KDE's, kwin_x11), each on Xvfb; or mutter (GNOME's), which is a
# Wayland compositor of its own and gives X clients its Xwayland server.
E2E_WM=${E2E_WM:-openbox}

# start_x_session WIDTH HEIGHT: an X display with a screen of that size,
# kept as it is when clients come and go, under E2E_WM; sets DISPLAY (and,
# under mutter, XAUTHORITY).
start_x_session() {
    case $E2E_WM in
    openbox | kwin) start_xvfb "$1" "$2" && start_wm_on_xvfb ;;
    mutter) start_mutter "$1" "$2" ;;
    *) fatal "unknown window manager E2E_WM=$E2E_WM (openbox, mutter or kwin)" ;;
    esac
    wm_ready() { xprop -root _NET_SUPPORTING_WM_CHECK 2> /dev/null | grep -q 'window id'; }
    wait_for 20000 wm_ready || fatal "$E2E_WM did not take over the display"
    info "$E2E_WM manages $DISPLAY"
}

start_xvfb() {
    local display_file=$scratch/display display_number
    : > "$display_file"
    Xvfb -displayfd 3 -screen 0 "${1}x${2}x24" -nolisten tcp -noreset \
        3> "$display_file" > "$scratch/xvfb.log" 2>&1 &
    background_pids+=("$!")
    # The number is complete once its line is.
    display_ready() { (($(wc -l < "$display_file") >= 1)); }
    wait_for 10000 display_ready || fatal "Xvfb did not report a display number"
    display_number=$(< "$display_file")
    display_number=${display_number//[!0-9]/}
    [[ -n $display_number ]] || fatal "Xvfb reported no display number"
    export DISPLAY=:$display_number
}

start_wm_on_xvfb() {
    case $E2E_WM in
    openbox)
        require_tools openbox openbox
        openbox > "$scratch/openbox.log" 2>&1 &
        ;;
    kwin)
        require_tools kwin-x11 kwin_x11
        # No compositing: Xvfb has no GL worth the name.
        KWIN_COMPOSE=N kwin_x11 --replace > "$scratch/kwin.log" 2>&1 &
        ;;
    esac
    wm_pid=$!
    background_pids+=("$!")
}

# mutter without a screen (headless) on one virtual monitor, on a D-Bus
# session bus of its own. The clients reach it through Xwayland: mutter
# starts it, and hands its display and the authority file it writes to the
# command it runs, which passes them on here and stays until it is ended;
# mutter ends with it.
start_mutter() {
    require_tools "mutter xwayland dbus-daemon" mutter Xwayland dbus-daemon
    local bus=$XDG_RUNTIME_DIR/bus handed=$scratch/mutter-display
    dbus-daemon --session --address="unix:path=$bus" --nofork --nopidfile > "$scratch/dbus.log" 2>&1 &
    background_pids+=("$!")
    wait_for 10000 test -S "$bus" || fatal "the D-Bus session bus did not start"
    export DBUS_SESSION_BUS_ADDRESS=unix:path=$bus

    # shellcheck disable=SC2016 # expanded by the command mutter runs
    env -u DISPLAY -u XAUTHORITY mutter --wayland --headless --virtual-monitor "${1}x${2}" -- \
        sh -c 'printf "%s\n" "$$" "$DISPLAY" "$XAUTHORITY" > "$0.part" && mv "$0.part" "$0" && exec sleep infinity' \
        "$handed" > "$scratch/mutter.log" 2>&1 &
    local mutter_pid=$!
    wm_pid=$mutter_pid
    background_pids+=("$mutter_pid")
    handed_over() { [[ -s $handed ]] || { alive "$mutter_pid" || fatal "mutter ended at start-up"; false; }; }
    wait_for 30000 handed_over || fatal "mutter did not start Xwayland within 30 s"
    local holder display authority
    { read -r holder; read -r display; read -r authority; } < "$handed"
    background_pids+=("$holder")
    [[ $display == :* && -f $authority && $authority == "$XDG_RUNTIME_DIR"/* ]] ||
        fatal "mutter handed over display '$display' and authority file '$authority'"
    wait_for 10000 test -S "/tmp/.X11-unix/X${display#:}" || fatal "no socket for Xwayland's display $display"
    export DISPLAY=$display XAUTHORITY=$authority
}
