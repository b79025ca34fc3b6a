#!/usr/bin/env bash
# Installs what the start-up benchmark and its profiling need on Debian 12
# (run as root), on top of what building the notifier needs. Safe to run
# again. The benchmark is not part of the test suite, so CI never runs this.
set -euo pipefail

packages=(
    # The harness watches the display through these X extensions.
    libx11-dev libxres-dev libxdamage-dev libxtst-dev
    # The display, the window manager, and xprop to tell when it is up.
    xvfb openbox x11-utils x11-xserver-utils
    # The programs the notifier is compared with (xmessage is in x11-utils).
    yad zenity
    # Where the time and memory go.
    strace valgrind linux-perf
)

export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${packages[@]}" > /dev/null
