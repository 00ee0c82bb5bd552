#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs the crash test many times, since a kill in a window of microseconds shows only in
# some runs. Not part of the test command: it takes minutes per run.
#   tests/crash/soak.sh N [BUILD_DIR] [RUNS_PER_CASE]
set -uo pipefail
count=${1:?how many times}
here=$(cd "$(dirname "$0")" && pwd)
build=${2:-$here/../../build/core}
runs=${3:-50}
failed=0
for ((n = 1; n <= count; n++)); do
    log=$(mktemp)
    if bash "$here/crash_test.sh" "$build" "$runs" >"$log" 2>&1; then
        echo "run $n: passed"
    else
        failed=$((failed + 1))
        echo "run $n: FAILED"
        grep -E '^FAIL' "$log"
    fi
    rm -f "$log"
done
echo "soak: $count runs, $failed failed"
[ "$failed" -eq 0 ]
