#!/usr/bin/env bash
# Where the notifier's start-up time and memory go, next to the minimal Qt
# popup (bench/subjects/qt_popup.cpp), on the benchmark's private display;
# the notifier as it ships, installed (stripped) into a scratch folder:
#
#   bash bench/profile.sh [BUILD_DIR]        (after bench/run.sh has built)
#
# Prints: the libraries each program needs and what the dynamic loader does
# for them (LD_DEBUG=statistics), the Qt plugins each loads
# (QT_DEBUG_PLUGINS=1), the system calls (strace -c -f), the instruction
# counts of the start-up steps (valgrind --tool=callgrind, repeatable),
# resident memory by mapping while the window is up (/proc/PID/smaps), and
# CPU time and page faults of a run with no notification file (perf stat).
# Valgrind makes this take a minute or so.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
build_dir=$(cd "${1:-build}" && pwd)
notifier=$build_dir/src/notificador
popup=$build_dir/bench/bench_qt_popup
noop=$build_dir/bench/bench_qt_noop
for program in "$notifier" "$popup" "$noop"; do
    [[ -x $program ]] || { echo "$program not built: run bench/run.sh first" >&2; exit 1; }
done

source "$here/display.sh"
start_display
cmake --install "$build_dir" --prefix "$scratch/shipped" > /dev/null
notifier=$scratch/shipped/bin/notificador
# The summaries below cut long listings short (head), which is no failure.
set +o pipefail
out=$scratch/profile
mkdir -p "$out"

readonly RECORD='MI-Mensaje;08/12/2026 21:00:00;Ana;127.0.0.1;40000;Luis;127.0.0.1;40001;Hola, ¿qué tal?'
# The same record with a message of 1 MB, words cut on a character.
LONG_RECORD=${RECORD%;*}\;$(python3 -c "
words = 'Hola, te escribo para saber si mañana vienes a la reunión de las diez. '.encode()
print((words * (2**20 // len(words) + 1))[:2**20].decode(errors='ignore'), end='')")
case_dir=$scratch/case
# fresh_notifier [with-record|with-long-record]: a copy of the notifier in
# case_dir, with its notification file beside it if asked; prints the
# copy's path.
fresh_notifier() {
    rm -rf "$case_dir"
    mkdir -p "$case_dir"
    # Its debugging information beside it, for the instruction counts.
    cp "$notifier" "$notifier.debug" "$case_dir/"
    [[ ${1:-} == with-record ]] && printf '%s\r\n' "$RECORD" > "$case_dir/MI.zorvi"
    [[ ${1:-} == with-long-record ]] && printf '%s\r\n' "$LONG_RECORD" > "$case_dir/MI.zorvi"
    echo "$case_dir/notificador"
}

window_up() { xprop -root _NET_CLIENT_LIST 2> /dev/null | grep -q '0x'; }
# until_shown COMMAND...: runs COMMAND until a client window is managed,
# runs "$on_shown" (with $shown_pid set) if set, then ends it. Under strace
# the program is strace's child and is the one ended, so that strace writes
# its summary as usual.
on_shown=
until_shown() {
    "$@" &
    shown_pid=$!
    local tries
    for ((tries = 0; tries < 1200; tries++)); do
        window_up && break
        sleep 0.05
    done
    sleep 0.5
    [[ -n $on_shown ]] && "$on_shown"
    local target
    target=$(pgrep -P "$shown_pid" | head -n 1)
    kill -TERM "${target:-$shown_pid}" 2> /dev/null || true
    wait "$shown_pid" 2> /dev/null || true
    for ((tries = 0; tries < 100; tries++)); do
        window_up || break
        sleep 0.05
    done
}

section() { printf '\n== %s\n' "$*"; }

section "libraries (NEEDED entries; objects ldd lists)"
for program in "$notifier" "$popup" "$noop"; do
    printf '%-16s %2d objects; NEEDED: %s\n' "$(basename "$program")" "$(ldd "$program" | wc -l)" \
        "$(readelf -d "$program" | sed -n 's/.*NEEDED.*\[\(.*\)\]/\1/p' | tr '\n' ' ')"
done

section "dynamic loader, run with no notification file (LD_DEBUG=statistics)"
for program in "$(fresh_notifier)" "$noop" /bin/true; do
    LD_DEBUG=statistics "$program" 2>&1 | awk -v p="$(basename "$program")" '
        /total startup time/ {t = $(NF-1)} /final number of relocations/ {r = $NF}
        END {printf "%-16s %9s cycles in the loader, %6s relocations\n", p, t, r}'
done

section "no notification file: CPU time and page faults (perf stat, 20 runs)"
for program in "$(fresh_notifier)" "$noop" /bin/true; do
    perf stat -r 20 -e task-clock,page-faults "$program" 2>&1 |
        awk -v p="$(basename "$program")" '/task-clock/ {c = $1} /page-faults/ {f = $1} /elapsed/ {e = $1 * 1000}
            END {printf "%-16s %6s ms CPU, %6s page faults, %.2f ms elapsed\n", p, c, f, e}'
done

section "Qt plugins loaded (QT_DEBUG_PLUGINS=1)"
QT_DEBUG_PLUGINS=1 until_shown "$(fresh_notifier with-record)" 2> "$out/plugins-notificador.txt"
QT_DEBUG_PLUGINS=1 until_shown "$popup" 2> "$out/plugins-popup.txt"
for name in notificador popup; do
    echo "$name: $(grep -o '"[^"]*" loaded library' "$out/plugins-$name.txt" | sed 's/" loaded library//; s/.*\///' | tr -d '"' | tr '\n' ' ')"
done

section "system calls until the window is up and 0.5 s after (strace -c -f; top 8 by count)"
for name in notificador popup; do
    if [[ $name == notificador ]]; then program=$(fresh_notifier with-record); else program=$popup; fi
    until_shown strace -c -f -o "$out/strace-$name.txt" "$program"
    echo "$name: $(awk '$NF != "total" && /^ *[0-9.]+ +[0-9.]+ +[0-9]+ +[0-9]+/ {print}' "$out/strace-$name.txt" |
        sort -k4 -rn | head -n 8 | awk '{printf "%s %s, ", $NF, $4}')all $(awk '$NF == "total" {print $4}' "$out/strace-$name.txt")"
done

section "resident memory by mapping while the window is up (kB)"
smaps_summary() {
    awk '/^[0-9a-f]+-[0-9a-f]+ / {name = ($6 == "" ? "[anonymous]" : $6); sub(/.*\//, "", name)}
         /^Rss:/ {rss[name] += $2; total += $2}
         END {for (n in rss) if (rss[n] >= 100) printf "%s %d\n", n, rss[n]; printf "TOTAL %d\n", total}' \
        "/proc/$shown_pid/smaps" | sort -k2 -rn > "$out/smaps-$smaps_name.txt"
}
on_shown=smaps_summary
smaps_name=notificador until_shown "$(fresh_notifier with-record)"
smaps_name=popup until_shown "$popup"
on_shown=
join -a1 -a2 -e 0 -o 0,1.2,2.2 <(sort "$out/smaps-notificador.txt") <(sort "$out/smaps-popup.txt") |
    awk '{printf "%-34s notificador %6d  popup %6d  difference %6d\n", $1, $2, $3, $2 - $3}' | sort -k7 -rn

section "instructions (valgrind --tool=callgrind), inclusive, until the window is up and 0.5 s after"
until_shown valgrind --tool=callgrind --callgrind-out-file="$out/callgrind-notificador.out" \
    "$(fresh_notifier with-record)" 2> /dev/null
until_shown valgrind --tool=callgrind --callgrind-out-file="$out/callgrind-popup.out" "$popup" 2> /dev/null
for name in notificador popup; do
    callgrind_annotate --inclusive=yes "$out/callgrind-$name.out" > "$out/callgrind-$name.txt" 2> /dev/null
done
inclusive() { grep -F -m1 "$2" "$out/callgrind-$1.txt" | awk '{print $1}'; }
for step in "PROGRAM TOTALS" "_dl_start " "QApplicationPrivate::init()" "FcInitLoadConfigAndFonts" \
    "QFontDatabase::addApplicationFont" "qtplatform::QtWindow::buildControls(" "QLineEdit::QLineEdit(QWidget*)" \
    "QFactoryLoader::instance(int)" "dlopen@@" "ui::Principal::Form_Load()" "QWidget::setVisible(bool)" \
    "QCoreApplication::exec()" "QWidgetRepaintManager::sync" "QLabel::paintEvent" \
    "QFontDatabasePrivate::loadEngine" "QFontconfigDatabase::setupFontEngine" "CaptionLabel::setCaption"; do
    printf '%-40s notificador %12s   popup %12s\n' "$step" "$(inclusive notificador "$step")" "$(inclusive popup "$step")"
done
total() { inclusive "$1" "PROGRAM TOTALS" | tr -d ,; }
awk -v n="$(total notificador)" -v p="$(total popup)" 'BEGIN {printf "notificador / popup: %.3fx\n", n / p}'
until_shown valgrind --tool=callgrind --callgrind-out-file="$out/callgrind-long.out" \
    "$(fresh_notifier with-long-record)" 2> /dev/null
callgrind_annotate --inclusive=yes "$out/callgrind-long.out" > "$out/callgrind-long.txt" 2> /dev/null
awk -v l="$(total long)" -v n="$(total notificador)" \
    'BEGIN {printf "notificador, a 1 MB message: %d, %.3fx the message above\n", l, l / n}'
