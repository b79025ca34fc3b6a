#!/usr/bin/env bash
# The start-up benchmark, in one command:
#
#   bash bench/run.sh [BUILD_DIR] [RUNS]      (default: build 15)
#
# Installs what it needs (bench/install-deps.sh, as root), configures and
# builds the notifier with the benchmark in BUILD_DIR, installs it as it
# ships (stripped) into a scratch folder, starts a private X
# server (Xvfb 1024x768x24) with openbox, runs bench/harness (startbench)
# there and prints its tables. Set BENCH_SKIP_INSTALL=1 to skip the package
# step. Not part of the test suite: the figures are this machine's.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source_dir=$(dirname "$here")
build_dir=${1:-build}
runs=${2:-15}

if [[ ${BENCH_SKIP_INSTALL:-} != 1 ]]; then
    bash "$source_dir/tools/install-deps.sh"
    bash "$here/install-deps.sh"
fi
cmake -S "$source_dir" -B "$build_dir" -DNOTIFICADOR_BENCHMARK=ON > /dev/null
cmake --build "$build_dir" -j2 --target notificador notificador-peer startbench bench_qt_popup bench_qt_noop bench_xlib_popup > /dev/null
build_dir=$(cd "$build_dir" && pwd)

source "$here/display.sh"
start_display
cmake --install "$build_dir" --prefix "$scratch/shipped" > /dev/null

echo "machine: $(nproc) CPUs, $(sed -n 's/^model name[[:space:]]*: //p' /proc/cpuinfo | head -n 1), $(uname -r)"
echo "display: Xvfb 1024x768x24 with openbox on $DISPLAY"
"$build_dir/bench/startbench" \
    --notifier "$scratch/shipped/bin/notificador" \
    --qt-popup "$build_dir/bench/bench_qt_popup" \
    --qt-noop "$build_dir/bench/bench_qt_noop" \
    --xlib-popup "$build_dir/bench/bench_xlib_popup" \
    --scratch "$scratch" \
    --runs "$runs"
