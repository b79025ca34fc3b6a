#!/usr/bin/env bash
# Installs what building, running and testing the notifier need on Debian 12
# (run as root). Safe to run again.
set -euo pipefail

packages=(
    build-essential cmake
    qt6-base-dev libx11-dev libxcb1-dev libgl-dev libgtest-dev
    fonts-wine
    # Qt's own texts (the boxes' buttons, the answer box's menu) in Spanish.
    qt6-translations-l10n
    xvfb openbox xdotool x11-utils x11-xserver-utils imagemagick
    # The end-to-end test under GNOME's window manager, through its Xwayland.
    mutter xwayland dbus-daemon
    python3 binutils-mingw-w64-x86-64 desktop-file-utils
    dbus at-spi2-core python3-pyatspi  # tests/atspi: what a screen reader reads
    # The Windows build (MinGW-w64) and its tests under Wine.
    g++-mingw-w64-x86-64-posix mingw-w64-tools wine wine64
    # fuzz/run.sh: clang, and its sanitizer and libFuzzer run-times (only
    # recommended by clang, so named here).
    clang libclang-rt-14-dev
    # The tests of the file and the answer in a locale's encoding.
    locales
)

export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${packages[@]}" >/dev/null

# The locales those tests run in, generated once.
locales=$(locale -a)
if ! grep -qx 'es_ES.iso88591' <<<"$locales" || ! grep -qx 'es_ES.utf8' <<<"$locales"; then
    sed -i -E 's/^# *(es_ES ISO-8859-1|es_ES.UTF-8 UTF-8)$/\1/' /etc/locale.gen
    locale-gen >/dev/null
fi
