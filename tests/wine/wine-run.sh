#!/usr/bin/env bash
# Runs a program of the Windows build under Wine, quietly, in the prefix
# WINEPREFIX names (tests/wine/wine-prefix.sh makes one):
#
#   wine-run.sh PROGRAM.exe [ARGUMENTS...]
#   wine-run.sh                  (only settles the prefix's session on DISPLAY)
#
# The Windows locale, and with it the ANSI code page the program reads and
# writes its text in, is NOTIFICADOR_WINE_LOCALE (a Unix locale name, which
# Wine maps: es_ES.UTF-8 is Spanish with code page 1252, the default;
# ja_JP.UTF-8 is code page 932; hi_IN.UTF-8 has UTF-8 as its ANSI code page).
#
# Wine's desktop process belongs to the display of the session's first
# program, and a window can be shown only where it is: a program run on a
# display ends a session begun on another display, or on none, and begins
# one afresh. The session stays until wine-prefix.sh removes the prefix, so
# each program starts warm.
set -euo pipefail

: "${WINEPREFIX:?names the Wine prefix (tests/wine/wine-prefix.sh makes one)}"
export WINEPREFIX WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

# A display is told from an earlier one of the same name by its socket.
display_identity() {
    local number=${DISPLAY#*:}
    local socket=/tmp/.X11-unix/X${number%%.*}
    echo "$DISPLAY $(stat -c '%i %Y' "$socket" 2> /dev/null)"
}

session_file=$WINEPREFIX/notificador-session
# Programs started together would each end the session the others begin:
# one at a time settles it, and the rest find it settled. What outlives
# this script must not hold the lock: Wine's own processes get it closed.
exec {session_lock}> "$WINEPREFIX/notificador-session.lock"
flock "$session_lock"
session=
[[ -f $session_file ]] && session=$(< "$session_file")
wanted=none
[[ -n ${DISPLAY:-} ]] && wanted=$(display_identity)
if [[ -z $session || ($wanted != none && $session != "$wanted") ]]; then
    wineserver -k > /dev/null 2>&1 {session_lock}>&- || true
    wineserver -w > /dev/null 2>&1 {session_lock}>&- || true
    # What outlives this program holds none of its output open: a caller
    # that reads the output to its end (CTest) would wait for ever.
    wineserver -p < /dev/null > /dev/null 2>&1 {session_lock}>&-
    # Starts the services and the desktop process on this display.
    LC_ALL=C.UTF-8 wine cmd /c exit < /dev/null > /dev/null 2>&1 {session_lock}>&- || true
    echo "$wanted" > "$session_file"
fi
exec {session_lock}>&-

(($#)) || exit 0
# Through env: this shell would complain of a locale the system lacks.
exec env LC_ALL="${NOTIFICADOR_WINE_LOCALE:-es_ES.UTF-8}" wine "$@"
