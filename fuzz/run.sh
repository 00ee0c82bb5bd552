#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Fuzzes every target for a given time each (seconds; default 600), starting from the
# committed seed corpora; new inputs go to a scratch corpus, crashes to fuzz/crashes/.
#   fuzz/run.sh [SECONDS] [OUTDIR]
set -eu
here=$(cd "$(dirname "$0")" && pwd)
seconds=${1:-600}
out=${2:-/tmp/edlt-fuzz}
sh "$here/build.sh" "$out"
mkdir -p "$here/crashes"
for kind in xlsx xlsx_sheet ods xls csv declaration workspace_line amount; do
    mkdir -p "$out/corpus-$kind"
    echo "== $kind for $seconds s"
    LSAN_OPTIONS="suppressions=$here/lsan-libgsf.supp" "$out/fuzz_$kind" -max_total_time="$seconds" -rss_limit_mb=4096 -print_final_stats=1 \
        -artifact_prefix="$here/crashes/$kind-" "$out/corpus-$kind" "$here/corpus/$kind" 2>&1 |
        grep -E "stat::number_of_executed_units|ERROR|SUMMARY|Done" || true
done
