#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what building and running need, builds the two programs, and starts the window one.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh run
cmake -S . -B build/release -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER_LAUNCHER=ccache \
  -DEDLT_TESTS=OFF -DEDLT_BENCH=OFF >/dev/null
cmake --build build/release --target edlt edlt-cli -j"$(nproc)"
if [ -x build/release/edlt ]; then
  exec build/release/edlt "$@"
else
  exec build/release/edlt-cli --help
fi
