#!/usr/bin/env bash
# The Windows build's start-up under Wine, in one command:
#
#   bash bench/wine.sh [BUILD_DIR] [RUNS]      (default: build-win-bench 15)
#
# Cross-compiles notificador.exe and a minimal Win32 window
# (bench/subjects/win32_popup.cpp) the same way, in BUILD_DIR, and takes
# both as they ship: the notifier as `cmake --install` (and so the zip)
# puts it, stripped, and the window stripped likewise; builds the
# harness bench/winebench.cpp from bench/harness/; starts a private X server
# (Xvfb 1024x768x24) with openbox and a Wine prefix of its own whose session
# is up before the first run; then starts the two programs in turn, RUNS
# counted runs each after a warm-up (and the notifier with a 1 MB message),
# and prints the medians of time to window, first paint, CPU time and peak
# memory, and their ratios; then, from runs with Wine's log of the
# libraries loaded, where the time to the window goes. Needs what
# tools/install-deps.sh and bench/install-deps.sh install. Not part of the
# test suite: the figures are this machine's.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source_dir=$(dirname "$here")
build_dir=${1:-build-win-bench}
runs=${2:-15}

cmake -S "$source_dir" -B "$build_dir" -DCMAKE_TOOLCHAIN_FILE="$source_dir/cmake/mingw-w64-x86_64.cmake" \
    -DNOTIFICADOR_BENCHMARK=ON -DBUILD_TESTING=OFF > /dev/null
cmake --build "$build_dir" -j2 --target notificador bench_win32_popup > /dev/null
build_dir=$(cd "$build_dir" && pwd)
harness=$build_dir/winebench
g++ -std=c++20 -O2 -Wall -Wextra -Wpedantic -I"$here/harness" "$here/winebench.cpp" \
    "$here/harness/launch.cpp" "$here/harness/stats.cpp" "$here/harness/table.cpp" \
    "$here/harness/windowwatch.cpp" "$here/harness/scenario.cpp" \
    -lX11 -lXRes -lXdamage -o "$harness"

source "$here/display.sh"
start_display
shipped=$scratch/shipped
cmake --install "$build_dir" --prefix "$shipped" > /dev/null
"$(sed -n 's/^CMAKE_STRIP:FILEPATH=//p' "$build_dir/CMakeCache.txt")" -o "$shipped/bench_win32_popup.exe" \
    "$build_dir/bench_win32_popup.exe"
export WINEPREFIX=$scratch/wineprefix
# Wine's session ends before the scratch directory goes.
trap 'bash "$source_dir/tests/wine/wine-prefix.sh" remove "$WINEPREFIX" > /dev/null 2>&1 || true; stop_display' EXIT
bash "$source_dir/tests/wine/wine-prefix.sh" create "$WINEPREFIX" > /dev/null
"$source_dir/tests/wine/wine-run.sh"

echo "machine: $(nproc) CPUs, $(sed -n 's/^model name[[:space:]]*: //p' /proc/cpuinfo | head -n 1), $(uname -r)"
echo "display: Xvfb 1024x768x24 with openbox on $DISPLAY; $(WINEDEBUG=-all wine --version 2> /dev/null)"
"$harness" \
    --notifier "$shipped/notificador.exe" \
    --popup "$shipped/bench_win32_popup.exe" \
    --scratch "$scratch" \
    --runs "$runs" \
    --split-runs 5
