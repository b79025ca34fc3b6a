#!/usr/bin/env bash
# What a screen reader learns of the notifier: the real executable on a
# private X server under openbox, with a private D-Bus session and AT-SPI
# bus, read through AT-SPI as a screen reader reads it, while another
# window holds the keyboard focus.
#
#   atspi_notifier.sh NOTIFIER FOCUS_PROBE EXPECTED_JSON
#
# read_notification.py does the reading and checks the window against
# EXPECTED_JSON; this script sets up the desktop around it and checks that
# the focus stays where it was. Set E2E_KEEP=1 to keep the scratch directory.

set -eEuo pipefail

if (($# != 3)); then
    echo "usage: $0 NOTIFIER FOCUS_PROBE EXPECTED_JSON" >&2
    exit 2
fi
notifier_bin=$1
probe_bin=$2
expected=$3
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

TEST_NAME=atspi_notifier
source "$here/../e2e/xsession.sh"

# pyatspi is Debian's, for Debian's own Python.
readonly PYTHON=/usr/bin/python3
readonly BUS_LAUNCHER=/usr/libexec/at-spi-bus-launcher
require_tools "xvfb openbox xdotool dbus" Xvfb openbox xdotool dbus-daemon dbus-send
[[ -x $BUS_LAUNCHER ]] || fatal "$BUS_LAUNCHER not found (Debian package: at-spi2-core)"
"$PYTHON" -c 'import pyatspi' 2> /dev/null || fatal "pyatspi not found (Debian package: python3-pyatspi)"

start_x_session 1024 768

# A session bus of the test's own, and on it the launcher of the
# accessibility bus, which the notifier and the reader both ask for it.
bus_file=$scratch/session-bus
: > "$bus_file"
dbus-daemon --session --nofork --nopidfile --print-address=3 3> "$bus_file" > "$scratch/dbus.log" 2>&1 &
background_pids+=("$!")
bus_ready() { (($(wc -l < "$bus_file") >= 1)); }
wait_for 10000 bus_ready || fatal "dbus-daemon did not report its address"
DBUS_SESSION_BUS_ADDRESS=$(head -n 1 "$bus_file")
export DBUS_SESSION_BUS_ADDRESS
"$BUS_LAUNCHER" --launch-immediately > "$scratch/at-spi-bus.log" 2>&1 &
background_pids+=("$!")
accessibility_bus_ready() {
    dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus org.a11y.Bus.GetAddress > /dev/null 2>&1
}
wait_for 10000 accessibility_bus_ready || fatal "the AT-SPI bus did not start"

# The window that has the focus while the notifier appears.
probe_out=$scratch/probe.txt
QT_QPA_PLATFORM=xcb "$probe_bin" "$probe_out" > "$scratch/probe.log" 2>&1 &
probe_pid=$!
background_pids+=("$probe_pid")
find_probe() {
    probe_window=$(xdotool search --all --onlyvisible --pid "$probe_pid" --name '^focus-probe$' 2> /dev/null | head -n 1)
    [[ -n $probe_window ]]
}
wait_for 10000 find_probe || fatal "the focus probe window did not appear"
timeout 10 xdotool windowactivate --sync "$probe_window" || fatal "xdotool cannot activate the focus probe"
focus_is_probe() { [[ $(xdotool getwindowfocus 2> /dev/null) == "$probe_window" ]]; }
wait_for 5000 focus_is_probe || fatal "the focus probe cannot get the focus"

# The notifier reads its notification beside its executable.
mkdir "$scratch/notifier"
cp "$notifier_bin" "$scratch/notifier/"
status=0
QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_QPA_PLATFORM=xcb \
    "$PYTHON" "$here/read_notification.py" "$expected" "$scratch/notifier/$(basename "$notifier_bin")" \
    "$scratch/notifier.log" > "$scratch/reader.out" 2> "$scratch/reader.log" || status=$?
grep -v '^pid ' "$scratch/reader.out" || true
notifier_pid=$(sed -n 's/^pid \([0-9]*\)$/\1/p' "$scratch/reader.out")
[[ -n $notifier_pid ]] && background_pids+=("$notifier_pid")
((status == 0)) || fail "read_notification.py found faults (status $status)"

if focus_is_probe; then
    pass "the keyboard focus stays on the focus probe"
else
    fail "the keyboard focus moved to $(xdotool getwindowfocus 2> /dev/null || echo none)"
fi
if [[ $(xdotool getactivewindow 2> /dev/null) == "$probe_window" ]]; then
    pass "the focus probe stays the active window"
else
    fail "the active window is no longer the focus probe"
fi
