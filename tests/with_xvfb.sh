#!/usr/bin/env bash
# with_xvfb.sh COMMAND...: runs COMMAND on a private X server (Xvfb,
# 1024x768x24, no window manager) and ends the server afterwards.
set -euo pipefail

display_file=$(mktemp)
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3> "$display_file" > /dev/null 2>&1 &
xvfb=$!
trap 'kill "$xvfb" 2> /dev/null; wait "$xvfb" 2> /dev/null; rm -f "$display_file"' EXIT
for ((tries = 0; tries < 200; tries++)); do
    [[ -s $display_file ]] && break
    kill -0 "$xvfb" 2> /dev/null || { echo "Xvfb did not start" >&2; exit 1; }
    sleep 0.05
done
[[ -s $display_file ]] || { echo "Xvfb gave no display" >&2; exit 1; }
DISPLAY=:$(head -n 1 "$display_file") "$@"
