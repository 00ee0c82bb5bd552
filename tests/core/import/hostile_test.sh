#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Small hostile sheets, made now, through edlt-cli import into a declaration of 10 lines:
# each is refused or imported, never a crash. Peak memory and time are measured with
# GNU time where it is installed (bench figures, not a pass mark). Sheets nested millions
# deep (deep*) are refused with the cause, and where measured within 256 MB.
#   hostile_test.sh EDLT_CLI EDLT_GENERATE
set -euo pipefail
cli=$1 generate=$2
here=$(cd "$(dirname "$0")" && pwd)
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
/usr/bin/python3 "$here/make_hostile.py" "$dir"
"$generate" "$dir/decl.txt" 10 > /dev/null
status=0
for sheet in "$dir"/*.ods "$dir"/*.xlsx "$dir"/*.xls; do
    cp "$dir/decl.txt" "$dir/d.txt"
    measure=()
    [ -x /usr/bin/time ] && measure=(/usr/bin/time -f "%M KB %e s" -o "$dir/time")
    rc=0
    "${measure[@]}" "$cli" import "$dir/d.txt" "$sheet" --out "$dir/out.txt" > /dev/null 2> "$dir/err" || rc=$?
    # GNU time puts "Command exited with non-zero status" before its figures.
    measured=$(tail -n 1 "$dir/time" 2> /dev/null || true)
    echo "$(basename "$sheet"): exit $rc $measured"
    if [ "$rc" != 1 ] && [ "$rc" != 2 ]; then
        cat "$dir/err"
        status=1
    fi
    case $(basename "$sheet") in deep*)
        if ! grep -q "βαθύτερα από 256 επίπεδα" "$dir/err"; then
            echo "no cause given"
            status=1
        fi
        if [ -n "$measured" ] && [ "${measured%% *}" -gt $((256 * 1024)) ]; then
            echo "past 256 MB"
            status=1
        fi
    esac
done
exit $status
