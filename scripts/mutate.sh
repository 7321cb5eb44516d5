#!/usr/bin/env bash
# Mutation run: plants each fault of a table in the sources, one at a time,
# and tells which of them the tests catch. A tool for judging the tests, not
# part of the test command.
#
#   scripts/mutate.sh BUILD_DIR [ID,ID...]
#
# BUILD_DIR is a configured plain build. The table (scripts/mutants.txt, or
# $MUTANTS) has one mutant a line, fields separated by " | ":
#
#   id | file | text to find | replacement | short description
#
# The text is taken literally, as it stands between the separators, and only
# its first occurrence in the file is replaced; a text that is not found makes
# the mutant "stale". Blank lines and lines starting with "#" are skipped.
#
# The sources mutated are those BUILD_DIR was configured from, so one copy of
# this script serves any checkout.
#
# For each mutant the file is changed, BUILD_DIR rebuilt and ctest run with
# --stop-on-failure on the tests whose command names a file the rebuild
# renewed: the test programs that link the mutated code and the programs a
# test starts by path (regscope-script for the scenarios). A test that starts
# a renewed program without naming it in its command is left out, so a
# mutant may be caught by less than the whole suite; MUTATE_SELECT=0 runs
# every test. A mutant that does not build counts as "not compiled", not as
# caught; one that renews no test's program counts as not caught. The file
# is put back after every mutant, also when the run is interrupted; at the
# end BUILD_DIR is rebuilt once more so that it holds the unchanged program
# again.
#
# The Markdown table goes to standard output, progress to standard error and
# the build and test logs of each mutant to BUILD_DIR/mutants/.
#
# Environment: MUTANTS (the table), MUTATE_JOBS (build and test jobs, 2),
# MUTATE_TIMEOUT (seconds a test may take when it sets no limit itself, 300;
# a mutant that makes a test hang is caught by it), MUTATE_BASELINE=0 skips
# the test run of the unchanged tree (by default a failure there ends the
# run, since it would make every mutant look caught), MUTATE_SELECT=0 runs
# every test for every mutant, MUTATE_CTEST_ARGS adds arguments to each ctest
# run (for example "-LE gui" to leave out the window system's tests).
set -uo pipefail

usage()
{
    echo "usage: $0 BUILD_DIR [ID,ID...]" >&2
    exit 2
}

[ $# -ge 1 ] && [ $# -le 2 ] || usage
build=$(cd "$1" 2>/dev/null && pwd) || {
    echo "mutate: no build folder $1" >&2
    exit 2
}
[ -f "$build/CMakeCache.txt" ] || {
    echo "mutate: $build is not a configured build folder" >&2
    exit 2
}
root=$(sed -n 's/^CMAKE_HOME_DIRECTORY:INTERNAL=//p' "$build/CMakeCache.txt")
[ -d "$root" ] || {
    echo "mutate: $build names no source folder" >&2
    exit 2
}
only=",${2:-},"
table=${MUTANTS:-$root/scripts/mutants.txt}
jobs=${MUTATE_JOBS:-2}
timeout=${MUTATE_TIMEOUT:-300}
select=${MUTATE_SELECT:-1}
read -r -a ctest_args <<<"${MUTATE_CTEST_ARGS:-}"
logs=$build/mutants
mkdir -p "$logs"

asked=${2:-}

# The pristine copy of the file being mutated; restored on every way out.
saved=$(mktemp -d)
current=""

restore()
{
    if [ -n "$current" ]; then
        # A fresh time stamp, so that the next build compiles the file again.
        cat "$saved/original" >"$root/$current"
        current=""
    fi
}

on_exit()
{
    restore
    rm -rf "$saved"
}
trap on_exit EXIT
trap 'interrupted' INT TERM HUP

log() { echo "mutate: $*" >&2; }

rows=()
caught=0
started=$SECONDS

print_table()
{
    echo "| id | mutant | caught | first failing test |"
    echo "|---|---|---|---|"
    [ ${#rows[@]} -eq 0 ] || printf '%s\n' "${rows[@]}"
    echo
    echo "Caught $caught of ${#rows[@]} in $(((SECONDS - started) / 60)) min$1."
}

# What was done so far is still worth having after a long run is stopped.
interrupted()
{
    if [ -n "$child" ]; then
        kill -INT -- "-$child" 2>/dev/null
        wait "$child" 2>/dev/null
    fi
    restore
    log "interrupted; sources restored (the next build of $build compiles them again)"
    print_table ", then interrupted"
    exit 130
}

# Job control puts each command in a process group of its own: a Ctrl+C
# reaches only this script, which then stops the whole command (make and
# the compilers it started, or ctest and the test running) and waits for it
# before the sources are restored.
set -m
child=""

# run LOG COMMAND...: the command's output goes to LOG.
run()
{
    local out=$1
    shift
    # Not the table, which the loop below reads on standard input.
    "$@" </dev/null >"$out" 2>&1 &
    child=$!
    wait "$child"
    local rc=$?
    child=""
    return $rc
}

rebuild() { run "$1" cmake --build "$build" -j "$jobs"; }

# Prints the first failing test of a ctest log, or nothing.
first_failure()
{
    sed -n 's/^ *[0-9]*\/[0-9]* Test *#[0-9]*: \([^ ]*\) .*\*\*\*.*/\1/p' "$1" | head -n 1
}

# run_tests LOG [CTEST ARGUMENTS...]
run_tests()
{
    local out=$1
    shift
    run "$out" ctest --test-dir "$build" -j "$jobs" --timeout "$timeout" --stop-on-failure \
        ${ctest_args[@]+"${ctest_args[@]}"} "$@"
}

# Prints the numbers of the tests whose command names a file newer than the
# file $1, as ctest -I reads them from a file, or nothing when there is none.
renewed_tests()
{
    ctest --test-dir "$build" --show-only=json-v1 2>/dev/null |
        jq -r '.tests | to_entries[] | select(.value.command != null)
               | [(.key + 1 | tostring)] + .value.command | @tsv' |
        while IFS=$'\t' read -r -a row; do
            for arg in "${row[@]:1}"; do
                if [ -f "$arg" ] && [ "$arg" -nt "$1" ]; then
                    printf '%s\n' "${row[0]}"
                    break
                fi
            done
        done | paste -sd, | sed 's/^\(..*\)$/0,0,0,\1/'
}

log "building the unchanged tree"
if ! rebuild "$logs/baseline.build.log"; then
    log "the unchanged tree does not build (see $logs/baseline.build.log)"
    exit 1
fi
if [ "${MUTATE_BASELINE:-1}" != 0 ]; then
    log "testing the unchanged tree"
    if ! run_tests "$logs/baseline.test.log"; then
        log "the unchanged tree fails $(first_failure "$logs/baseline.test.log") (see $logs/baseline.test.log)"
        exit 1
    fi
fi

started=$SECONDS
seen=""
while IFS= read -r line || [ -n "$line" ]; do
    case "$line" in '' | '#'*) continue ;; esac
    rest=$line
    fields=()
    for _ in 1 2 3 4; do
        if [[ "$rest" != *" | "* ]]; then
            fields=()
            break
        fi
        fields+=("${rest%% | *}")
        rest=${rest#* | }
    done
    if [ ${#fields[@]} -ne 4 ]; then
        log "skipping a line without five fields: $line"
        continue
    fi
    id=${fields[0]} file=${fields[1]} find=${fields[2]} replace=${fields[3]} what=$rest
    [ "$only" = ",," ] || [[ "$only" == *",$id,"* ]] || continue
    seen+=",$id,"

    path=$root/$file
    text=""
    # Whole, NUL-free sources; a quoted pattern matches literally.
    [ -f "$path" ] && IFS= read -r -d '' text <"$path"
    if [ -z "$find" ] || [[ "$text" != *"$find"* ]]; then
        log "$id: stale ($file does not hold the text)"
        rows+=("| $id | $what | stale | |")
        continue
    fi

    t0=$SECONDS
    cp -p "$path" "$saved/original"
    current=$file
    printf '%s' "${text/"$find"/"$replace"}" >"$path"

    verdict="no" failed=""
    log "$id: building ($what)"
    touch "$logs/$id.marker"
    sleep 1
    if ! rebuild "$logs/$id.build.log"; then
        verdict="not compiled"
    else
        [ "$select" = 0 ] || renewed_tests "$logs/$id.marker" >"$logs/$id.tests"
        if [ "$select" != 0 ] && [ ! -s "$logs/$id.tests" ]; then
            verdict="no (no test runs it)"
        else
            log "$id: testing"
            chosen=()
            [ "$select" = 0 ] || chosen=(-I "$logs/$id.tests")
            if ! run_tests "$logs/$id.test.log" ${chosen[@]+"${chosen[@]}"}; then
                failed=$(first_failure "$logs/$id.test.log")
                verdict="yes"
                caught=$((caught + 1))
            elif grep -q "No tests were found" "$logs/$id.test.log"; then
                # A filter in MUTATE_CTEST_ARGS (-R) and the chosen tests'
                # numbers (-I) together can leave nothing to run.
                verdict="no (no test ran)"
            fi
        fi
    fi
    restore
    log "$id: $verdict ${failed:+by $failed }in $((SECONDS - t0)) s"
    rows+=("| $id | $what | $verdict | ${failed:+\`$failed\`} |")
done <"$table"

IFS=, read -r -a asked <<<"$asked"
for id in ${asked[@]+"${asked[@]}"}; do
    [ -z "$id" ] || [[ "$seen" == *",$id,"* ]] || log "$id: no such mutant in $table"
done

log "rebuilding the unchanged tree"
rebuild "$logs/final.build.log" || log "the final rebuild failed (see $logs/final.build.log)"

print_table ""
