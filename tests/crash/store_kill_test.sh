#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Kills a session with SIGKILL at random moments while it stores, inserts and deletes lines
# (its workspace journal compacted every few dozen stores), then recovers the workspace: the
# lines and totals must be those after the last store that returned, or after the one that
# was running, never anything half-written.
#   tests/crash/store_kill_test.sh BUILD_DIR [RUNS]
set -uo pipefail
build=$(cd "$1" && pwd)
runs=${2:-40}
tool="$build/edlt_store_kill"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

failures=0 checked=0
for ((i = 0; i < runs; i++)); do
    dir="$work/run$i"
    mkdir -p "$dir"
    seed=$((i + 1))
    "$tool" run "$dir" "$seed" >"$dir.out" 2>/dev/null &
    pid=$!
    # Once the declaration is open, a random moment among the next few hundred operations
    # (a compaction every 48 of them).
    for ((w = 0; w < 600; w++)); do [ -s "$dir.out" ] && break; sleep 0.05; done
    sleep "$(awk -v r="$RANDOM" 'BEGIN { print r / 32768 * 0.8 }')"
    kill -KILL "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
    # The last number printed whole: that operation had returned.
    last=$(grep -E '^[0-9]+$' "$dir.out" | tail -n 1)
    if [ -z "$last" ]; then
        continue  # killed before the declaration was open: nothing was stored yet
    fi
    if ! out=$("$tool" check "$dir" "$seed" "$last"); then
        echo "FAIL run $i (killed after operation $last): $out"
        failures=$((failures + 1))
    fi
    checked=$((checked + 1))
    rm -rf "$dir"
done
echo "$checked of $runs kills landed among the stores; $failures failures"
[ "$checked" -gt 0 ] && [ "$failures" -eq 0 ]
