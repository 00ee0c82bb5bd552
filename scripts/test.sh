#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what is missing, builds everything and runs every test: the normal build
# (core, command line and window tests under a virtual display), then the core tests
# again built with AddressSanitizer and UndefinedBehaviorSanitizer. The package test
# in between installs the Debian package built from the release tree (as root).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh test
jobs="$(nproc)"
export QTWEBENGINE_DISABLE_SANDBOX=1

cmake -S . -B build/release -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER_LAUNCHER=ccache \
  -DEDLT_TESTS=ON -DEDLT_BENCH=ON -DEDLT_WERROR=ON >/dev/null
cmake --build build/release -j"$jobs"
xvfb-run -a ctest --test-dir build/release --output-on-failure -j"$jobs"
# The Debian package of this same tree, installed and used by an ordinary user.
bash tests/package/package_test.sh build/release
# Two builds of one commit give the same package bytes.
bash tests/package/reproducible_test.sh build/release

cmake -S . -B build/sanitize -DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_BUILD_TYPE=Debug -DEDLT_SANITIZE=ON -DEDLT_GUI=OFF -DEDLT_BENCH=OFF -DEDLT_CRASH_TEST=OFF -DEDLT_WERROR=ON >/dev/null
cmake --build build/sanitize -j"$jobs"
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir build/sanitize --output-on-failure -j"$jobs"
