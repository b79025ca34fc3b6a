#!/usr/bin/env bash
# Builds the libFuzzer targets with clang in build-fuzz/ and fuzzes each for
# SECONDS (60 if not given), one after the other, starting from the kept
# corpus in fuzz/corpus/<target>/.
#
#   bash fuzz/run.sh [SECONDS] [TARGET...]      targets: record intake
#
# New inputs that reach new code go to build-fuzz/corpus/<target>/, never
# into the kept corpus; an input that breaks a target is saved as
# build-fuzz/findings/<target>/crash-* (or leak-*, timeout-*, oom-*) and the
# run ends with a failure. Replay one with
#   build-fuzz/fuzz/fuzz_<target> FILE
# and, once fixed, keep it under a telling name in fuzz/corpus/<target>/:
# the ordinary test suite replays that folder.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-60}
(($# > 0)) && shift
targets=("$@")
((${#targets[@]} > 0)) || targets=(record intake)

CC=clang CXX=clang++ cmake -S . -B build-fuzz -DNOTIFICADOR_FUZZ=ON -DBUILD_TESTING=OFF > /dev/null
cmake --build build-fuzz -j2 --target "${targets[@]/#/fuzz_}"

export QT_QPA_PLATFORM=offscreen LANG=C.UTF-8 LC_ALL=C.UTF-8
export ASAN_OPTIONS=detect_leaks=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export LSAN_OPTIONS=suppressions=$PWD/fuzz/lsan.supp

# Inputs up to 1.2 MB, past the 1 MiB the intake reads of a line, so that
# the cut line is fuzzed too. The kept corpus holds small files; a seed that
# long is made here at each run rather than kept: a nine-field record whose
# message runs past the bound, a two-byte character across it.
max_len=$((1200 * 1024))
seeds=build-fuzz/seeds
mkdir -p "$seeds"
head='MI-Mensaje;d;Ana;127.0.0.1;40000;Luis;10.0.0.2;40001;'
{
    printf '%s' "$head"
    head -c $((1024 * 1024 - ${#head} - 1)) /dev/zero | tr '\0' x
    printf '\xc3\xa9'
    head -c $((100 * 1024)) /dev/zero | tr '\0' y
    printf '\r\nsegunda;linea\n'
} > "$seeds/long-line"

status=0
for target in "${targets[@]}"; do
    work=build-fuzz/corpus/$target findings=build-fuzz/findings/$target log=build-fuzz/logs/$target.log
    mkdir -p "$work" "$findings" "$(dirname "$log")"
    echo "== fuzz_$target for $seconds s (log: $log)"
    if ! "build-fuzz/fuzz/fuzz_$target" "$work" "fuzz/corpus/$target" "$seeds" \
        -max_total_time="$seconds" -max_len="$max_len" -timeout=10 -rss_limit_mb=2048 \
        -artifact_prefix="$findings/" -print_final_stats=1 > "$log" 2>&1; then
        status=1
        echo "   FINDING: see $log and $findings/"
    fi
    # The last status line (executions, coverage, features, corpus) and the totals.
    grep -E '^#[0-9]+' "$log" | tail -1 || true
    grep -E '^stat::(number_of_executed_units|average_exec_per_sec|peak_rss_mb)' "$log" || true
    echo "   corpus: $(find "$work" -type f | wc -l) new + $(find "fuzz/corpus/$target" -type f | wc -l) kept inputs"
done
exit "$status"
