#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test: the normal build
# (core, command line and window tests under a virtual display), then the core tests
# again built with AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
jobs="$(nproc)"
export QTWEBENGINE_DISABLE_SANDBOX=1

cmake -S . -B build/release -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build/release -j"$jobs"
xvfb-run -a ctest --test-dir build/release --output-on-failure -j"$jobs"

cmake -S . -B build/sanitize -DCMAKE_BUILD_TYPE=Debug -DEDLT_SANITIZE=ON -DEDLT_GUI=OFF -DEDLT_BENCH=OFF -DEDLT_CRASH_TEST=OFF >/dev/null
cmake --build build/sanitize -j"$jobs"
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir build/sanitize --output-on-failure -j"$jobs"
