#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs from Debian 12's packages, when missing, what e-ΔΛΤ needs:
#   deps.sh run   building the two programs and running them (scripts/run.sh)
#   deps.sh test  that, and everything the tests, fuzzers, benchmarks and the package need
set -euo pipefail
run_packages=(
  build-essential cmake pkg-config ccache
  qt6-base-dev qt6-webengine-dev qt6-l10n-tools libgl-dev fonts-liberation
  zlib1g-dev libzip-dev libgsf-1-dev libfreexl-dev libexpat1-dev libxlsxwriter-dev
)
test_packages=(
  libgtest-dev libgmock-dev libbenchmark-dev
  clang-14 libclang-rt-14-dev
  xvfb xauth xdotool x11-utils openbox unzip poppler-utils fonts-dejavu-core
  python3 python3-openpyxl python3-xlwt python3-odf xlsx2csv
  dpkg-dev file desktop-file-utils appstream xdg-user-dirs lintian bash-completion xdg-utils
  libglib2.0-bin shared-mime-info x11-apps
)
case "${1:-test}" in
  run) packages=("${run_packages[@]}") ;;
  test) packages=("${run_packages[@]}" "${test_packages[@]}") ;;
  *) echo "usage: deps.sh run|test" >&2; exit 2 ;;
esac
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  SUDO=""
  [ "$(id -u)" -eq 0 ] || SUDO=sudo
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
