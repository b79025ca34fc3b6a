#!/usr/bin/env bash
# Mutation check: puts one deliberate fault at a time into the sources,
# rebuilds, runs the tests, and tables which test suites notice each fault.
#
# usage: tools/mutation-check.sh [options] BUILD-DIR MUTANTS-FILE REPORT.md [-- CTEST-ARGS...]
#
#   BUILD-DIR     a configured, built tree (the sources are the ones its
#                 CMakeCache.txt names); it is rebuilt once per mutant
#   MUTANTS-FILE  one mutant a line, tab-separated:
#                     id<TAB>path<TAB>perl code
#                 path is relative to the source tree; the code is run by
#                 perl -0777 -p over the whole file, so s/.../.../ changes
#                 the first match in the file (add /g for all) and may span
#                 lines. Blank lines and lines starting with '#' are skipped.
#   REPORT.md     the table, in Markdown; REPORT.tsv gets the same matrix
#                 tab-separated, REPORT.logs/ each mutant's diff, build
#                 log and test logs
#   CTEST-ARGS    passed to the ctest run that chooses the suites, e.g.
#                 -- -LE e2e   or   -- -E 'e2e|atspi|install'
#
# options:
#   -t SECONDS   bound on each ctest run (default 600)
#   -b SECONDS   bound on each build (default 3600)
#   -j JOBS      build jobs (default 2)
#   -o REGEX     only the mutants whose id matches
#   -n           no baseline run (every suite is taken to pass unmutated)
#   -1           no second run of the suites that failed (see below)
#   -s ARGS      one more ctest run of its own for each mutant, with ARGS
#                (split at spaces); repeatable. For a suite that behaves
#                only when run apart from the others, e.g.
#                -s "-R wine_prefix|wine_e2e" -- -E wine_e2e
#                Without -s nor CTEST-ARGS, one run of every suite.
#
# A mutant is "not applied" when its code leaves the file unchanged (or perl
# refuses it), and "build broken" when the build fails: neither counts as
# caught. A suite catches a mutant when it fails with the fault in place,
# and fails again when run once more: a suite that fails once and then
# passes is marked flaky (~) and does not count. The same holds unmutated:
# a suite that fails twice without any fault is marked B and counts for
# nothing. Where a failing suite runs a ctest of its own, the inner tests
# that failed are columns of their own, named outer/inner.
#
# Each file is restored after its mutant, on Ctrl-C and on any exit; a run
# killed outright is repaired by the next one (BUILD-DIR/.mutation-check
# holds the saved copy). The build tree ends rebuilt from the restored
# sources.
set -uo pipefail

usage() {
    sed -n '2,/^set -uo/{/^set -uo/d;s/^# \{0,1\}//;p}' "$0" >&2
    exit 2
}

ctest_bound=600
build_bound=3600
jobs=2
only=
baseline=1
recheck=1
selections=()
while getopts 't:b:j:o:n1s:h' option; do
    case $option in
    t) ctest_bound=$OPTARG ;;
    b) build_bound=$OPTARG ;;
    j) jobs=$OPTARG ;;
    o) only=$OPTARG ;;
    n) baseline=0 ;;
    1) recheck=0 ;;
    s) selections+=("$OPTARG") ;;
    *) usage ;;
    esac
done
shift $((OPTIND - 1))
[ $# -ge 3 ] || usage
build=$(cd "$1" && pwd) || exit 2
mutants=$(realpath "$2") || exit 2
report=$(realpath -m "$3")
shift 3
[ "${1-}" = "--" ] && shift
ctest_args=("$@")

source=$(sed -n 's/^CMAKE_HOME_DIRECTORY:INTERNAL=//p' "$build/CMakeCache.txt" 2> /dev/null)
[ -n "$source" ] && [ -d "$source" ] || { echo "$build: not a configured build tree" >&2; exit 2; }
command -v perl > /dev/null && command -v python3 > /dev/null || { echo "needs perl and python3" >&2; exit 2; }

base=${report%.md}
logs=$base.logs
rm -rf "$logs"
mkdir -p "$logs"
matrix_tsv=$base.tsv

# What a run killed outright left mutated: the saved copy goes back first.
state=$build/.mutation-check
mkdir -p "$state"
if [ -f "$state/path" ]; then
    echo "restoring $(cat "$state/path") from an earlier run that did not end" >&2
    cp "$state/original" "$(cat "$state/path")" && rm -f "$state/path" "$state/original"
fi

mutated=
child=

restore() {
    [ -n "$mutated" ] || return 0
    # A fresh modification time: the next build must recompile it.
    cp "$state/original" "$mutated" && rm -f "$state/path" "$state/original"
    mutated=
}

interrupted() {
    trap '' INT TERM HUP
    if [ -n "$child" ]; then
        kill -TERM "$child" 2> /dev/null
        wait "$child" 2> /dev/null
    fi
    restore
    echo "interrupted: the sources are restored; the build tree may hold a mutant until the next build" >&2
    exit 130
}
trap interrupted INT TERM HUP
trap restore EXIT

# Runs a command with a bound, its output to a log. In the background and
# waited for, so that a signal reaches the trap at once; timeout's own
# process group takes the command's children with it.
bounded() {
    local seconds=$1 log=$2
    shift 2
    timeout -k 30 "$seconds" "$@" > "$log" 2>&1 &
    child=$!
    wait "$child"
    local status=$?
    child=
    return $status
}

# Every test's number and name, to tell the run's own lines from those of a
# ctest that a test runs inside it.
ctest --test-dir "$build" -N > "$logs/all-tests.txt" 2>&1

# The suites' statuses from a ctest log: suite<TAB>pass|fail|skip|unfinished.
parse_ctest() {
    python3 - "${2:-$logs/all-tests.txt}" "$1" << 'EOF'
import re, sys
names = {}
for line in open(sys.argv[1], errors='replace'):
    m = re.match(r'\s*Test\s+#(\d+): (\S+)\s*$', line)
    if m:
        names[int(m[1])] = m[2]
status, started = {}, []
current, listing = None, False
for line in open(sys.argv[2], errors='replace'):
    line = line.rstrip('\n')
    m = re.match(r'\s*Start\s+(\d+): (\S+)\s*$', line)
    if m and names.get(int(m[1])) == m[2]:
        started.append(m[2])
        current, listing = None, False
        continue
    m = re.match(r'\s*\d+/\d+ Test\s+#(\d+): (\S+) \.*\s*(.*?)\s+[\d.]+ sec\s*$', line)
    if m and names.get(int(m[1])) == m[2]:
        text = m[3]
        if 'Passed' in text:
            result = 'pass'
        elif 'Skipped' in text or 'Not Run' in text:
            result = 'skip'
        else:
            result = 'fail'
        status[m[2]] = result
        current, listing = (m[2] if result == 'fail' else None), False
        continue
    if line.startswith('The following tests FAILED:'):
        listing = current is not None
        continue
    if listing:
        m = re.match(r'\s+(\d+) - (\S+) \((.*)\)', line)
        if m:
            if names.get(int(m[1])) != m[2]:
                inner = 'skip' if ('Not Run' in m[3] or 'Skipped' in m[3]) else 'fail'
                status[current + '/' + m[2]] = inner
            continue
        listing = False
for name in started:
    status.setdefault(name, 'unfinished')
for name, result in status.items():
    print(f'{name}\t{result}')
EOF
}

# One ctest run, then once more for the suites that failed:
# suite<TAB>pass|fail|flaky|skip|unfinished into $tag.tsv.
run_once() {
    local tag=$1
    shift
    bounded "$ctest_bound" "$logs/$tag.ctest.log" \
        ctest --test-dir "$build" --output-on-failure "$@"
    ctest --test-dir "$build" -N "$@" > "$logs/$tag.names.txt" 2>&1
    parse_ctest "$logs/$tag.ctest.log" "$logs/$tag.names.txt" > "$logs/$tag.first.tsv"
    local failed
    failed=$(awk -F'\t' '$2 == "fail" && $1 !~ /\// {print $1}' "$logs/$tag.first.tsv" \
        | sed 's/[].^$*+?(){}|\\[]/\\&/g' | paste -sd'|')
    if [ "$recheck" = 1 ] && [ -n "$failed" ]; then
        bounded "$ctest_bound" "$logs/$tag.recheck.log" \
            ctest --test-dir "$build" --output-on-failure -R "^($failed)\$"
        ctest --test-dir "$build" -N -R "^($failed)\$" > "$logs/$tag.recheck.names.txt" 2>&1
        parse_ctest "$logs/$tag.recheck.log" "$logs/$tag.recheck.names.txt" > "$logs/$tag.recheck.tsv"
        awk -F'\t' 'NR == FNR { again[$1] = $2; next }
            $2 == "fail" { $2 = again[$1] == "fail" ? "fail" : "flaky" }
            { print $1 "\t" $2 }' "$logs/$tag.recheck.tsv" "$logs/$tag.first.tsv" > "$logs/$tag.tsv"
    else
        cp "$logs/$tag.first.tsv" "$logs/$tag.tsv"
    fi
}

# Every chosen ctest run; a suite that more than one run holds takes its
# worst status.
run_suites() {
    local tag=$1 out=$2 selection run=0 arguments
    local parts=()
    if [ ${#ctest_args[@]} -gt 0 ] || [ ${#selections[@]} -eq 0 ]; then
        run_once "$tag.0" "${ctest_args[@]}"
        parts+=("$logs/$tag.0.tsv")
    fi
    for selection in "${selections[@]}"; do
        run=$((run + 1))
        read -ra arguments <<< "$selection"
        run_once "$tag.$run" "${arguments[@]}"
        parts+=("$logs/$tag.$run.tsv")
    done
    awk -F'\t' 'BEGIN { rank["skip"] = 1; rank["pass"] = 2; rank["flaky"] = 3; rank["unfinished"] = 4; rank["fail"] = 5 }
        !($1 in worst) { order[++n] = $1 }
        rank[$2] > rank[worst[$1]] { worst[$1] = $2 }
        END { for (i = 1; i <= n; i++) print order[i] "\t" worst[order[i]] }' "${parts[@]}" > "$out"
}

started_at=$(date +%s)
printf 'id\tpath\tstate\tseconds\n' > "$logs/mutants.tsv"

if [ "$baseline" = 1 ]; then
    echo "== baseline: build and suites without a mutant"
    if ! bounded "$build_bound" "$logs/baseline.build.log" cmake --build "$build" -j "$jobs"; then
        echo "the build fails without any mutant: see $logs/baseline.build.log" >&2
        exit 1
    fi
    run_suites baseline "$logs/baseline.tsv"
    awk -F'\t' '$2 != "pass" {print "   " $1 ": " $2}' "$logs/baseline.tsv"
else
    : > "$logs/baseline.tsv"
fi

count=0
while IFS= read -r line || [ -n "$line" ]; do
    line=${line%$'\r'}
    [[ -z ${line//[[:space:]]/} || $line == \#* ]] && continue
    id=${line%%$'\t'*}
    rest=${line#*$'\t'}
    path=${rest%%$'\t'*}
    code=${rest#*$'\t'}
    if [[ $line != *$'\t'*$'\t'* || -z $id || -z $path || -z $code ]]; then
        echo "skipping a line that is not id<TAB>path<TAB>code: $line" >&2
        continue
    fi
    [[ -n $only && ! $id =~ $only ]] && continue
    count=$((count + 1))
    safe=${id//[^A-Za-z0-9_.-]/_}
    file=$source/$path
    begun=$(date +%s)
    echo "== $id ($path)"
    if [ ! -f "$file" ]; then
        echo "   no such file"
        printf '%s\t%s\t%s\t0\n' "$id" "$path" "not applied" >> "$logs/mutants.tsv"
        continue
    fi
    git -C "$source" diff --quiet -- "$path" 2> /dev/null \
        || echo "   note: $path has changes of its own; the mutant goes on top of them" >&2

    cp "$file" "$state/original"
    echo "$file" > "$state/path"
    mutated=$file
    if ! perl -0777 -i -pe "$code" "$file" 2> "$logs/$safe.perl.log" || cmp -s "$state/original" "$file"; then
        restore
        echo "   not applied"
        printf '%s\t%s\t%s\t%s\n' "$id" "$path" "not applied" "$(($(date +%s) - begun))" >> "$logs/mutants.tsv"
        continue
    fi
    diff -u "$state/original" "$file" --label "a/$path" --label "b/$path" > "$logs/$safe.diff"

    if ! bounded "$build_bound" "$logs/$safe.build.log" cmake --build "$build" -j "$jobs"; then
        restore
        echo "   build broken"
        printf '%s\t%s\t%s\t%s\n' "$id" "$path" "build broken" "$(($(date +%s) - begun))" >> "$logs/mutants.tsv"
        continue
    fi
    run_suites "$safe" "$logs/$safe.tsv"
    restore
    awk -F'\t' '$2 == "fail" || $2 == "flaky" || $2 == "unfinished" {print "   " $1 ": " $2}' "$logs/$safe.tsv"
    printf '%s\t%s\t%s\t%s\n' "$id" "$path" "tested" "$(($(date +%s) - begun))" >> "$logs/mutants.tsv"
done < "$mutants"

# The build tree back in step with the restored sources.
echo "== rebuilding from the restored sources"
bounded "$build_bound" "$logs/restore.build.log" cmake --build "$build" -j "$jobs" \
    || echo "the final build failed: see $logs/restore.build.log" >&2
elapsed=$(($(date +%s) - started_at))

runs=()
if [ ${#ctest_args[@]} -gt 0 ] || [ ${#selections[@]} -eq 0 ]; then
    runs+=("${ctest_args[*]}")
fi
runs+=("${selections[@]}")
python3 - "$logs" "$report" "$matrix_tsv" "$elapsed" "$mutants" "${runs[@]}" << 'EOF'
import csv, os, sys
logs, report, matrix_tsv, elapsed, mutants_file = sys.argv[1:6]
runs = sys.argv[6:]
elapsed = int(elapsed)

def statuses(path):
    result = {}
    if os.path.exists(path):
        for line in open(path):
            name, _, value = line.rstrip('\n').partition('\t')
            if name:
                result[name] = value
    return result

def safe(i):
    return ''.join(c if c.isalnum() or c in '_.-' else '_' for c in i)

baseline = statuses(os.path.join(logs, 'baseline.tsv'))
broken_at_baseline = {s for s, v in baseline.items() if v == 'fail'}
rows = list(csv.DictReader(open(os.path.join(logs, 'mutants.tsv')), delimiter='\t'))
results = {r['id']: statuses(os.path.join(logs, safe(r['id']) + '.tsv')) for r in rows if r['state'] == 'tested'}

# Suites in the order ctest knows them, each followed by its inner ones.
order = []
for line in open(os.path.join(logs, 'all-tests.txt'), errors='replace'):
    parts = line.split('#', 1)
    if len(parts) == 2 and line.strip().startswith('Test') and ': ' in parts[1]:
        order.append(parts[1].split(': ', 1)[1].strip())
seen = set(baseline)
for r in results.values():
    seen |= set(r)
suites = []
for outer in order:
    if outer in seen:
        suites.append(outer)
    suites += sorted(s for s in seen if s.startswith(outer + '/'))
suites += sorted(seen - set(suites))

Mark = {'fail': 'X', 'flaky': '~', 'pass': '.', 'skip': '-', 'unfinished': '?'}
def cell(mutant, suite):
    if suite in broken_at_baseline:
        return 'B'
    value = results[mutant].get(suite)
    if value is None and '/' in suite:
        # An inner suite is listed only when it fails; its outer one ran it.
        outer = results[mutant].get(suite.split('/')[0])
        value = 'pass' if outer in ('pass', 'fail', 'flaky') else None
    return Mark.get(value, '-')

tested = [r for r in rows if r['state'] == 'tested']
catches = {s: sum(1 for r in tested if cell(r['id'], s) == 'X') for s in suites}
caught_by = {r['id']: [s for s in suites if cell(r['id'], s) == 'X'] for r in tested}
caught = [r for r in tested if caught_by[r['id']]]
survivors = [r for r in tested if not caught_by[r['id']]]

with open(matrix_tsv, 'w') as out:
    out.write('\t'.join(['mutant', 'path', 'state', 'seconds', 'caught by'] + suites) + '\n')
    for r in rows:
        cells = [cell(r['id'], s) if r['state'] == 'tested' else '' for s in suites]
        count = str(len(caught_by[r['id']])) if r['state'] == 'tested' else ''
        out.write('\t'.join([r['id'], r['path'], r['state'], r['seconds'], count] + cells) + '\n')
    out.write('\t'.join(['catches', '', '', '', str(len(caught))] + [str(catches[s]) for s in suites]) + '\n')

def duration(seconds):
    return f'{seconds // 3600}h{seconds % 3600 // 60:02d}m{seconds % 60:02d}s'

shown = [s for s in suites if catches[s] or any(cell(r['id'], s) in ('~', '?') for r in tested)]
md = []
md.append('# Mutation check\n')
md.append(f'Mutants: `{mutants_file}`; ctest runs per mutant: '
          + ', '.join(f'`ctest {r}`' if r else '`ctest` (every suite)' for r in runs) + '.\n')
md.append(f'{len(rows)} mutants: {len(tested)} built and tested, '
          f'{sum(r["state"] == "build broken" for r in rows)} build broken, '
          f'{sum(r["state"] == "not applied" for r in rows)} not applied. '
          f'**{len(caught)} of {len(tested)} caught by at least one suite.** '
          f'Total wall time {duration(elapsed)}.\n')
md.append('X caught (failed twice), ~ failed once then passed (not counted), . passed, '
          '- not run or skipped, ? run cut short, B fails without any mutant (not counted). '
          '"caught by" counts columns: an inner suite and the outer one that runs it count once each.\n')
md.append('## Matrix\n')
md.append('Columns: the suites that caught at least one mutant, or were flaky or cut short under one '
          f'(all suites: `{os.path.basename(matrix_tsv)}`).\n')
md.append('| mutant | path | state | s | caught by | ' + ' | '.join(shown) + ' |')
md.append('|' + '---|' * (5 + len(shown)))
for r in rows:
    if r['state'] == 'tested':
        cells = [cell(r['id'], s) for s in shown]
        count = str(len(caught_by[r['id']]))
    else:
        cells = [''] * len(shown)
        count = ''
    md.append(f"| {r['id']} | {r['path']} | {r['state']} | {r['seconds']} | {count} | " + ' | '.join(cells) + ' |')
md.append('')
md.append(f'## Per suite (of {len(tested)} tested mutants)\n')
md.append('| suite | catches | flaky | notes |')
md.append('|---|---|---|---|')
for s in suites:
    flaky = sum(1 for r in tested if cell(r['id'], s) == '~')
    note = 'fails without any mutant' if s in broken_at_baseline else (
        'flaky without any mutant' if baseline.get(s) == 'flaky' else '')
    md.append(f'| {s} | {catches[s]} of {len(tested)} | {flaky or ""} | {note} |')
md.append('')
md.append('## Caught by no suite\n')
md.extend(f"- {r['id']} ({r['path']})" for r in survivors)
if not survivors:
    md.append('(none)')
md.append('')
others = [r for r in rows if r['state'] != 'tested']
if others:
    md.append('## Not tested\n')
    md.extend(f"- {r['id']} ({r['path']}): {r['state']}" for r in others)
    md.append('')
open(report, 'w').write('\n'.join(md))
print('\n'.join(md[2:3]))
EOF
echo "report: $report (matrix: $matrix_tsv, logs: $logs/)"
