# Sourced by the benchmark scripts: a private X server (Xvfb 1024x768x24)
# with openbox, in a scratch directory of its own, both ended on exit.
#
# start_display sets DISPLAY and scratch, and points HOME, XDG_* and the
# session bus at the scratch directory, so that neither the user's settings
# nor a desktop session change what is measured. The bus address leads
# nowhere: every program measured runs without a session bus alike.

display_pids=()

stop_display() {
    local i pid
    for ((i = ${#display_pids[@]} - 1; i >= 0; i--)); do
        pid=${display_pids[i]}
        kill "$pid" 2> /dev/null || true
        wait "$pid" 2> /dev/null || true
    done
    display_pids=()
    [[ -n ${scratch:-} && ${BENCH_KEEP:-} != 1 ]] && rm -rf "$scratch"
    return 0
}

start_display() {
    scratch=$(mktemp -d "${TMPDIR:-/tmp}/notificador-bench.XXXXXX")
    trap stop_display EXIT
    trap 'exit 130' INT
    trap 'exit 143' TERM
    mkdir -m 700 "$scratch/runtime" "$scratch/config" "$scratch/cache" "$scratch/home" "$scratch/data"
    export XDG_RUNTIME_DIR=$scratch/runtime XDG_CONFIG_HOME=$scratch/config
    export XDG_CACHE_HOME=$scratch/cache XDG_DATA_HOME=$scratch/data HOME=$scratch/home
    export DBUS_SESSION_BUS_ADDRESS=unix:path=$scratch/no-session-bus
    export LANG=C.UTF-8 LC_ALL=C.UTF-8
    unset WAYLAND_DISPLAY XDG_SESSION_TYPE QT_QPA_PLATFORM GDK_BACKEND

    : > "$scratch/display"
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset \
        3> "$scratch/display" > "$scratch/xvfb.log" 2>&1 &
    display_pids+=("$!")
    local tries
    for ((tries = 0; tries < 200; tries++)); do
        [[ -s $scratch/display ]] && break
        sleep 0.05
    done
    local number
    number=$(tr -dc 0-9 < "$scratch/display")
    [[ -n $number ]] || { echo "Xvfb did not start" >&2; return 1; }
    export DISPLAY=:$number

    openbox > "$scratch/openbox.log" 2>&1 &
    display_pids+=("$!")
    for ((tries = 0; tries < 200; tries++)); do
        xprop -root _NET_SUPPORTING_WM_CHECK 2> /dev/null | grep -q 'window id' && return 0
        sleep 0.05
    done
    echo "openbox did not take over the display" >&2
    return 1
}
