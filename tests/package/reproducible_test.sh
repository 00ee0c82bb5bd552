#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Two builds of one commit give the same package bytes: the packages are made, the
# programs relinked and the generated files (man pages, changelog, icons) made again a
# while later under another umask (077), and the packages made again; every .deb must match.
# The compiled objects are reused: what is checked is what packaging adds.
#   reproducible_test.sh BUILD_DIR
set -euo pipefail
build="$(cd "${1:?usage: reproducible_test.sh BUILD_DIR}" && pwd)"
fail() { echo "reproducible_test: FAILED: $*" >&2; exit 1; }
source="$(sed -n 's/^CMAKE_HOME_DIRECTORY:INTERNAL=//p' "$build/CMakeCache.txt")"
export SOURCE_DATE_EPOCH="$(git -C "$source" log -1 --format=%ct)"
out="$(mktemp -d)"
trap 'rm -rf "$out"' EXIT

targets=(edlt-cli edlt_man edlt_data)
grep -q "^EDLT_GUI:BOOL=ON" "$build/CMakeCache.txt" && targets+=(edlt edlt_icons edlt_translations)
make_packages() {  # make_packages FOLDER
  # CPack gives the .deb's members the mode its umask allows; the staged tree's do not count.
  (cd "$build" && umask 022 && cpack -G DEB -B "$1" >/dev/null)
  rm -rf "$1/_CPack_Packages"
}

echo "reproducible_test: first build"
make_packages "$out/first"
rm -rf "$build/generated/man" "$build/generated/icons" "$build/generated/changelog.Debian.gz" "$build/translations" \
  "$build/edlt" "$build/edlt-cli"
sleep 2
echo "reproducible_test: second build"
(umask 077 && cmake --build "$build" --target "${targets[@]}" >/dev/null && make_packages "$out/second")
count=0
for deb in "$out"/first/*.deb; do
  other="$out/second/$(basename "$deb")"
  [ -f "$other" ] || fail "$(basename "$deb") was not made again"
  if ! cmp -s "$deb" "$other"; then
    listing="$(diff <(dpkg-deb -c "$deb") <(dpkg-deb -c "$other") | head -20 || true)"
    fail "$(basename "$deb") differs: $listing"
  fi
  count=$((count + 1))
done
[ "$count" -eq "$(ls "$out"/second/*.deb | wc -l)" ] && [ "$count" -gt 0 ] || fail "the packages made differ in number"
echo "reproducible_test: $count packages, the same bytes (SOURCE_DATE_EPOCH=$SOURCE_DATE_EPOCH)"
