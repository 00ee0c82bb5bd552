#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the libFuzzer targets (spreadsheet readers, declaration file, amounts and tax
# numbers) with AddressSanitizer and
# UndefinedBehaviorSanitizer (clang-14 and libclang-rt-14-dev from Debian).
#   fuzz/build.sh [OUTDIR]          builds OUTDIR/fuzz_xlsx, fuzz_ods, fuzz_xls, fuzz_csv
#   OUTDIR/fuzz_xlsx -max_total_time=120 -rss_limit_mb=4096 NEWDIR fuzz/corpus/xlsx
# Only our code is instrumented; libzip, expat and libgsf are the system's.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
root=$(dirname "$here")
out=${1:-/tmp/edlt-fuzz}
CXX=${CXX:-clang++-14}
mkdir -p "$out/obj"

flags="-std=c++20 -g -O1 -fno-omit-frame-pointer -fsanitize=address,undefined -fno-sanitize-recover=undefined -I$root $(pkg-config --cflags libgsf-1)"
objs=""
for src in "$root"/core/base/*.cpp "$root"/core/store/*.cpp "$root"/core/rules/*.cpp "$root"/core/session/*.cpp "$root"/core/import/*.cpp; do
    src=${src#"$root"/}
    obj="$out/obj/$(echo "$src" | tr / _).o"
    $CXX $flags -fsanitize=fuzzer-no-link -c "$root/$src" -o "$obj"
    objs="$objs $obj"
done
for kind in xlsx xlsx_sheet ods xls csv declaration workspace_line amount; do
    $CXX $flags -fsanitize=fuzzer "$here/fuzz_$kind.cpp" $objs -lzip -lexpat $(pkg-config --libs libgsf-1) -lz -o "$out/fuzz_$kind"
done
echo "built in $out"
