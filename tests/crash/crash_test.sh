#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Kills edlt-cli with SIGKILL at random moments while it sorts, imports and writes a large
# declaration: the target must afterwards be the complete old file or the complete new
# one and the input must be untouched; the next command writing into the folder must
# remove any temporary file and private folder the killed runs left. Then SIGINT,
# SIGTERM, SIGHUP and SIGPIPE at random moments must leave nothing in the temporary
# folder, and a write onto a full file system must fail with a message and leave the old
# file intact.
#   tests/crash/crash_test.sh BUILD_DIR [RUNS]
set -uo pipefail
build=$(cd "$1" && pwd)
runs=${2:-50}
cli="$build/edlt-cli"
gen="$build/edlt_generate"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
# The private folders a SIGKILL leaves stay in here, not in the system's temporary folder.
export TMPDIR="$work/tmp"
mkdir "$TMPDIR"

"$gen" input 100000 11 --csv sheet.csv 20000 >/dev/null
cp input pristine
"$gen" old 300 12 >/dev/null

# The complete results, from runs nobody disturbs.
"$cli" sort input --by name --out new-sort >/dev/null || { echo "sort failed"; exit 1; }
"$cli" sort input --by afm --out new-write >/dev/null || { echo "write failed"; exit 1; }
cp input import-base
"$cli" import import-base sheet.csv --out new-import --answer yes >/dev/null 2>&1 || { echo "import failed"; exit 1; }

# How long a full run takes, in milliseconds, so kills land throughout it.
duration_ms() {
    local start end
    start=$(date +%s%N)
    "$@" >/dev/null 2>&1
    end=$(date +%s%N)
    echo $(( (end - start) / 1000000 ))
}

failures=0
check_case() {
    local name=$1 expected=$2
    shift 2
    local total
    total=$(duration_ms "$@")
    [ "$total" -gt 0 ] || total=1
    local old_kept=0 new_written=0 temporaries_seen=0 folders_seen=0
    for ((i = 0; i < runs; i++)); do
        cp old target
        local delay=$(( RANDOM % (total + total / 5 + 1) ))
        "$@" >/dev/null 2>&1 &
        local pid=$!
        sleep "$(awk "BEGIN { print $delay / 1000 }")"
        kill -KILL "$pid" 2>/dev/null
        wait "$pid" 2>/dev/null
        if cmp -s target old; then
            old_kept=$((old_kept + 1))
        elif cmp -s target "$expected"; then
            new_written=$((new_written + 1))
        else
            echo "FAIL $name run $i (kill after ${delay} ms): the target is neither the old nor the new file"
            failures=$((failures + 1))
        fi
        # What a kill leaves beside the target or in the temporary folder stays for now:
        # the next command removes it.
        [ -n "$(ls -A | grep -F '.edlt-tmp-')" ] && temporaries_seen=$((temporaries_seen + 1))
        [ -n "$(ls -A "$TMPDIR")" ] && folders_seen=$((folders_seen + 1))
        if ! cmp -s input pristine; then
            echo "FAIL $name run $i: the input file changed"
            failures=$((failures + 1))
            cp pristine input
        fi
    done
    # The next command writing into the folder leaves nothing of the killed runs.
    "$cli" sort old --by name --out swept >/dev/null 2>&1 || { echo "FAIL $name: the write after the kills failed"; failures=$((failures + 1)); }
    local left
    left=$(ls -A | grep -F '.edlt-tmp-')$(ls -A "$TMPDIR")
    if [ -n "$left" ]; then
        echo "FAIL $name: the next command left what killed runs made: $left"
        failures=$((failures + 1))
        rm -rf .edlt-tmp-* "${TMPDIR:?}"/*
    fi
    echo "$name: $runs kills within ${total} ms: old file $old_kept times, new file $new_written times;" \
        "runs after which a temporary was there $temporaries_seen, a private folder $folders_seen"
}

check_case sort new-sort "$cli" sort input --by name --out target
check_case write new-write "$cli" sort input --by afm --out target
cp pristine input
check_case import new-import "$cli" import input sheet.csv --out target --answer yes

# The signals a terminal or a pipe sends: the private folder goes with the program.
for signal in INT TERM HUP PIPE; do
    total=$(duration_ms "$cli" check input)
    [ "$total" -gt 0 ] || total=1
    for ((i = 0; i < runs / 5 + 1; i++)); do
        delay=$(( RANDOM % (total + 1) ))
        "$cli" check input >/dev/null 2>&1 &
        pid=$!
        sleep "$(awk "BEGIN { print $delay / 1000 }")"
        kill -"$signal" "$pid" 2>/dev/null
        wait "$pid" 2>/dev/null
        if [ -n "$(ls -A "$TMPDIR")" ]; then
            echo "FAIL SIG$signal after ${delay} ms: left in the temporary folder: $(ls -A "$TMPDIR")"
            failures=$((failures + 1))
            rm -rf "${TMPDIR:?}"/*
        fi
    done
    echo "SIG$signal: $((runs / 5 + 1)) signals within ${total} ms"
done
# A reader that goes away: the program ends by SIGPIPE and cleans up.
"$cli" check input 2>/dev/null | head -c 1 >/dev/null
if [ -n "$(ls -A "$TMPDIR")" ]; then
    echo "FAIL a closed pipe left its private folder"
    failures=$((failures + 1))
fi

# A full file system: the write fails with a message and the old file stays.
if [ "$(id -u)" -eq 0 ] && mkdir -p full && mount -t tmpfs -o size=256k tmpfs full 2>/dev/null; then
    cp old full/target
    if "$cli" sort input --by name --out full/target >out.txt 2>err.txt; then
        echo "FAIL full disk: the write reported success"
        failures=$((failures + 1))
    elif ! cmp -s full/target old; then
        echo "FAIL full disk: the old file was damaged"
        failures=$((failures + 1))
    elif ! grep -q "Δεν υπάρχει αρκετός ελεύθερος χώρος" err.txt; then
        echo "FAIL full disk: no clear message (got: $(cat err.txt))"
        failures=$((failures + 1))
    elif [ "$(ls -A full | wc -l)" -ne 1 ]; then
        echo "FAIL full disk: a temporary file was left behind: $(ls -A full)"
        failures=$((failures + 1))
    else
        echo "full disk: refused with \"$(head -c 200 err.txt)\", old file intact"
    fi
    # The first page and its pictures folder: both or neither.
    rm -f full/target
    cat /dev/zero >full/filler 2>/dev/null
    truncate -s -12K full/filler
    if "$cli" report first-page input --out full/page.htm >/dev/null 2>err.txt ||
        [ "$(ls -A full)" != filler ]; then
        echo "FAIL full disk: the first page left $(ls -A full) ($(cat err.txt))"
        failures=$((failures + 1))
    else
        echo "full disk: first page refused, nothing left"
    fi
    rm -f full/filler
    # A full temporary folder is named as such, not blamed on the file being read.
    if TMPDIR="$work/full" "$cli" check input >/dev/null 2>err.txt || ! grep -q "$work/full/" err.txt; then
        echo "FAIL full temporary folder: not named ($(cat err.txt))"
        failures=$((failures + 1))
    else
        echo "full temporary folder: \"$(head -c 200 err.txt)\""
    fi
    umount full
else
    echo "full disk: skipped (needs root to mount a small tmpfs)"
fi

if [ "$failures" -eq 0 ]; then
    echo "crash test: 1 passed, 0 failed"
    exit 0
fi
echo "crash test: 0 passed, 1 failed"
exit 1
