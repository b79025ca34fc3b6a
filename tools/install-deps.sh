#!/usr/bin/env bash
# Installs what building, running and testing the notifier need on Debian 12
# (run as root). Safe to run again.
set -euo pipefail

packages=(
    build-essential cmake
    qt6-base-dev libx11-dev libxcb1-dev libgl-dev libgtest-dev
    fonts-wine
    xvfb openbox xdotool x11-utils x11-xserver-utils imagemagick
    # The end-to-end test under GNOME's window manager, through its Xwayland.
    mutter xwayland dbus-daemon
    python3 binutils-mingw-w64-x86-64 desktop-file-utils
    # The Windows build (MinGW-w64) and its tests under Wine.
    g++-mingw-w64-x86-64-posix mingw-w64-tools wine wine64
    # fuzz/run.sh: clang, and its sanitizer and libFuzzer run-times (only
    # recommended by clang, so named here).
    clang libclang-rt-14-dev
)

export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${packages[@]}" >/dev/null
