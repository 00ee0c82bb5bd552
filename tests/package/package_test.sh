#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The Debian packages as a user meets them: built with CPack from a release tree, checked
# with lintian, installed, used by an ordinary user (the command line on files in their
# home first on its own, then the window program under a virtual display), validated, and
# removed again. Needs root (CI runs as root).
#   package_test.sh BUILD_DIR
set -euo pipefail
build="$(cd "${1:?usage: package_test.sh BUILD_DIR}" && pwd)"
here="$(cd "$(dirname "$0")" && pwd)"
if [ "$(id -u)" -ne 0 ]; then
  echo "package_test: needs root to install the packages" >&2
  exit 1
fi

fail() { echo "package_test: FAILED: $*" >&2; exit 1; }
user="edlt-pkg-test"
packages=(edlt edlt-cli edlt-data)
program_version="$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")"
version="$program_version-1"
source="$(sed -n 's/^CMAKE_HOME_DIRECTORY:INTERNAL=//p' "$build/CMakeCache.txt")"
export SOURCE_DATE_EPOCH="${SOURCE_DATE_EPOCH:-$(git -C "$source" log -1 --format=%ct)}"

cleanup() {
  userdel -r -f "$user" >/dev/null 2>&1 || true
  local installed=()
  for p in "${packages[@]}"; do dpkg -s "$p" >/dev/null 2>&1 && installed+=("$p"); done
  [ ${#installed[@]} -eq 0 ] || DEBIAN_FRONTEND=noninteractive apt-get purge -y -qq "${installed[@]}" >/dev/null
  return 0
}
trap cleanup EXIT
cleanup

echo "package_test: building the packages"
rm -rf "$build/package"
(cd "$build" && umask 022 && cpack -G DEB >/dev/null)
deb() { ls "$build/package/$1_${version}_"*.deb; }
cli_deb="$(deb edlt-cli)" window_deb="$(deb edlt)" data_deb="$(deb edlt-data)"
field() { dpkg-deb -f "$1" "$2"; }
for d in "$cli_deb" "$window_deb" "$data_deb"; do
  [ "$(field "$d" Version)" = "$version" ] || fail "version of $d: $(field "$d" Version)"
  [ "$(field "$d" Maintainer)" = "e-ΔΛΤ maintainers <maintainers@edlt.invalid>" ] || fail "maintainer of $d"
done
[ "$(field "$data_deb" Architecture)" = all ] || fail "edlt-data is not architecture all"
cli_depends="$(field "$cli_deb" Depends)"
window_depends="$(field "$window_deb" Depends)"
grep -q "libqt6gui6" <<<"$cli_depends" || fail "edlt-cli's dependencies from dpkg-shlibdeps: $cli_depends"
grep -q "edlt-data (= $version)" <<<"$cli_depends" || fail "edlt-cli without its data: $cli_depends"
grep -q "fonts-liberation" <<<"$cli_depends" || fail "the first page's font is not a dependency: $cli_depends"
grep -qi "webengine\|widgets" <<<"$cli_depends" && fail "edlt-cli needs the window's libraries: $cli_depends"
grep -q "libqt6webenginewidgets6" <<<"$window_depends" || fail "edlt's dependencies: $window_depends"
grep -q "edlt-cli (= $version)" <<<"$window_depends" || fail "edlt without edlt-cli: $window_depends"
grep -q "edlt-data (= $version)" <<<"$window_depends" || fail "edlt without its data: $window_depends"

echo "package_test: lintian"
# Default profile; errors and warnings both fail.
lintian_out="$(lintian --fail-on error,warning "$cli_deb" "$window_deb" "$data_deb" 2>&1)" ||
  fail "lintian: $lintian_out"
grep -q "^[EW]:" <<<"$lintian_out" && fail "lintian: $lintian_out"

# Debian's hardening, and no compiler notes: bind-now, read-only relocations, stack
# protector, fortified functions; no .comment section.
hardened() {  # hardened DEB PROGRAM
  local tree
  tree="$(mktemp -d)"
  dpkg-deb -x "$1" "$tree"
  local elf="$tree/usr/bin/$2" dynamic segments sections symbols
  # Read whole first: grep -q ending early would fail the pipe (SIGPIPE) under pipefail.
  dynamic="$(readelf -d "$elf")" segments="$(readelf -lW "$elf")" sections="$(readelf -SW "$elf")"
  symbols="$(nm -D "$elf")"
  grep -q "BIND_NOW" <<<"$dynamic" || fail "$2 is not linked with -z now"
  grep -q "GNU_RELRO" <<<"$segments" || fail "$2 is not linked with -z relro"
  grep -q " \.comment " <<<"$sections" && fail "$2 keeps its .comment section"
  grep -q "__stack_chk_fail" <<<"$symbols" || fail "$2 is not built with the stack protector"
  grep -q "_chk@" <<<"$symbols" || fail "$2 has no fortified functions"
  rm -rf "$tree"
}
hardened "$cli_deb" edlt-cli
hardened "$window_deb" edlt

installed_state() { find /usr/bin/edlt-cli /usr/share/edlt "$@" -printf '%p %s %m %T@\n' | sort; }
useradd -m -s /bin/bash "$user"
home="$(getent passwd "$user" | cut -d: -f6)"
# One consistent line: tax number, names, address, income type, amounts, days.
echo "012345670;ΠΑΠΑΔΟΠΟΥΛΟΣ;ΓΙΩΡΓΟΣ;ΝΙΚΟΛΑΟΣ;ΑΘΗΝΑ;ΣΤΑΔΙΟΥ;12;10564;10;1000;0;0;100;900;50;50;;365;0;0" \
  >"$home/sheet.csv"
cp "$here/window_session.sh" "$here/completion_check.sh" "$home/"
chown "$user:" "$home/sheet.csv" "$home/window_session.sh" "$home/completion_check.sh"
as_user() { runuser -u "$user" -- env -i HOME="$home" PATH=/usr/bin:/bin LANG=C.UTF-8 "$@"; }

echo "package_test: the command line alone"
DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "$data_deb" "$cli_deb" >/dev/null
! dpkg -s edlt >/dev/null 2>&1 || fail "installing edlt-cli brought edlt"
# What edlt-cli pulls in, followed through every dependency: no part of Qt WebEngine, nor
# the widgets (this machine has them for building, so the fields are what counts).
closure="$(apt-cache depends --recurse --no-recommends --no-suggests --no-conflicts --no-breaks \
  --no-replaces --no-enhances edlt-cli)"
grep -qi "webengine\|libqt6widgets" <<<"$closure" && fail "edlt-cli pulls in: $(grep -i "webengine\|widgets" <<<"$closure" | sort -u)"
for f in /usr/bin/edlt-cli /usr/share/edlt/Addon/typeofinc.txt /usr/share/edlt/Help/usermanual.htm \
  /usr/share/edlt/translations/qt_el.qm /usr/share/icons/hicolor/48x48/apps/org.edltapp.edlt.png \
  /usr/share/icons/hicolor/scalable/mimetypes/application-x-edlt-declaration.svg \
  /usr/share/man/man1/edlt-cli.1.gz /usr/share/man/el/man1/edlt-cli.1.gz /usr/share/bash-completion/completions/edlt-cli \
  /usr/share/doc/edlt-cli/copyright /usr/share/doc/edlt-cli/changelog.Debian.gz /usr/share/doc/edlt-data/copyright; do
  [ -e "$f" ] || fail "not installed: $f"
done
[ ! -e /usr/share/edlt/make_first_page.py ] || fail "a generator was installed"
# man shows the English page, and the Greek one under a Greek locale (-L: the locale need
# not be generated here).
[ "$(man -w edlt-cli)" = /usr/share/man/man1/edlt-cli.1.gz ] || fail "man -w edlt-cli: $(man -w edlt-cli)"
[ "$(man -L el_GR.UTF-8 -w edlt-cli)" = /usr/share/man/el/man1/edlt-cli.1.gz ] ||
  fail "the Greek page is not found under a Greek locale"
zcat /usr/share/man/el/man1/edlt-cli.1.gz | MANWIDTH=200 LANG=C.UTF-8 man -l - 2>/dev/null | grep -q "\[--out ΕΞΟΔΟΣ\]" ||
  fail "the sort entry's [--out ΕΞΟΔΟΣ]"
zcat /usr/share/man/man1/edlt-cli.1.gz | head -5 | grep -q "^\.TH EDLT-CLI 1 \"[0-9]\{4\}-[0-9][0-9]-[0-9][0-9]\"" ||
  fail "the English page's date"
as_user bash "$home/completion_check.sh" edlt-cli || fail "completion of edlt-cli"
before="$(installed_state)"

[ "$(as_user edlt-cli --version)" = "edlt-cli $program_version" ] || fail "edlt-cli --version"
as_user edlt-cli new "$home/dlt.txt" --year 2024 --afm 094019245 --company "ΕΤΑΙΡΕΙΑ ΔΟΚΙΜΗΣ" || fail "new"
as_user edlt-cli import "$home/dlt.txt" "$home/sheet.csv" --answer=yes || fail "import"
totals="$(as_user edlt-cli totals "$home/dlt.txt")" || fail "totals"
grep -q "^1 Εγγραφές" <<<"$totals" || fail "totals after import: $totals"
mkdir -p "$home/pages" && chown "$user:" "$home/pages"
for kind in first-page detail totals; do
  as_user edlt-cli report "$kind" "$home/dlt.txt" --out "$home/pages/$kind.htm" || fail "report $kind"
done
[ -n "$(ls "$home/pages/E7FirstPageFinal.files")" ] || fail "the first page's pictures"
# PDF pages come from QtGui alone, without a display.
as_user edlt-cli report detail "$home/dlt.txt" --out "$home/pages/detail.pdf" || fail "report detail as PDF"
[ "$(head -c 5 "$home/pages/detail.pdf")" = "%PDF-" ] || fail "the PDF page"
as_user edlt-cli zip "$home/dlt.txt" || fail "zip"
# Listed first: grep -q ending early would fail the pipe (SIGPIPE) under pipefail.
listing="$(unzip -l "$home/dlt.txt.zip")" || fail "the archive"
grep -q "dlt.txt" <<<"$listing" || fail "the archive: $listing"
[ "$before" = "$(installed_state)" ] || fail "the installed folders changed"

echo "package_test: the window program"
DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "$window_deb" >/dev/null
for f in /usr/bin/edlt /usr/share/applications/org.edltapp.edlt.desktop /usr/share/metainfo/org.edltapp.edlt.metainfo.xml \
  /usr/share/mime/packages/edlt.xml /usr/share/man/man1/edlt.1.gz /usr/share/man/el/man1/edlt.1.gz \
  /usr/share/bash-completion/completions/edlt /usr/share/doc/edlt/copyright /usr/share/doc/edlt/changelog.Debian.gz; do
  [ -e "$f" ] || fail "not installed: $f"
done
desktop-file-validate /usr/share/applications/org.edltapp.edlt.desktop || fail "desktop-file-validate"
# Pedantic, and every finding counts but the network's.
validation="$(appstreamcli validate --pedantic --no-net /usr/share/metainfo/org.edltapp.edlt.metainfo.xml)" ||
  fail "appstreamcli validate: $validation"
grep -q "^[EWIP]:" <<<"$validation" && fail "appstreamcli validate: $validation"
as_user bash "$home/completion_check.sh" edlt || fail "completion of edlt"
before="$(installed_state /usr/bin/edlt)"

# The file type: by name, and by the header record whatever the name; edlt opens it.
content_type() { as_user gio info -a standard::content-type "$1" | sed -n 's/^ *standard::content-type: //p'; }
cp "$home/dlt.txt" "$home/declaration-of-2024"
echo "a note" >"$home/094019245-DLT"
echo "a note" >"$home/2024.dlt"
chown "$user:" "$home/declaration-of-2024" "$home/094019245-DLT" "$home/2024.dlt"
for f in "$home/declaration-of-2024" "$home/094019245-DLT" "$home/2024.dlt"; do
  [ "$(content_type "$f")" = application/x-edlt-declaration ] || fail "type of $f: $(content_type "$f")"
done
[ "$(as_user xdg-mime query default application/x-edlt-declaration)" = org.edltapp.edlt.desktop ] ||
  fail "declarations do not open in edlt: $(as_user xdg-mime query default application/x-edlt-declaration)"

[ "$(as_user edlt --version)" = "edlt (e-ΔΛΤ) $program_version" ] || fail "edlt --version"
set +e
message="$(as_user edlt 2>&1)"
status=$?
set -e
[ "$status" -eq 1 ] || fail "edlt without a display exited $status"
grep -q "γραφικού περιβάλλοντος" <<<"$message" || fail "edlt without a display said: $message"

echo "package_test: the window program under Xvfb: New, then exit"
state="$home/.local/state/edlt"
runuser -u "$user" -- env -i HOME="$home" PATH=/usr/bin:/bin LANG=C.UTF-8 QTWEBENGINE_DISABLE_SANDBOX=1 \
  STATE="$state" DECLARATION="$home/dlt.txt" WM_CLASS_WANTED="$(sed -n 's/^StartupWMClass=//p' /usr/share/applications/org.edltapp.edlt.desktop)" \
  xvfb-run -a bash "$home/window_session.sh" || fail "the window session"
[ -d "$state" ] || fail "no state folder"
[ "$(stat -c %a "$state")" = 700 ] || fail "state folder mode $(stat -c %a "$state")"
[ ! -e "$state/temp" ] || fail "the workspace stayed after exit"
[ "$before" = "$(installed_state /usr/bin/edlt)" ] || fail "the installed folders changed"

echo "package_test: removing the packages"
DEBIAN_FRONTEND=noninteractive apt-get purge -y -qq "${packages[@]}" >/dev/null
for f in /usr/bin/edlt /usr/bin/edlt-cli /usr/share/edlt /usr/share/doc/edlt /usr/share/doc/edlt-cli \
  /usr/share/doc/edlt-data /usr/share/mime/packages/edlt.xml /usr/share/man/el/man1/edlt.1.gz; do
  [ ! -e "$f" ] || fail "left after removal: $f"
done
[ "$(content_type "$home/declaration-of-2024")" != application/x-edlt-declaration ] ||
  fail "the file type stayed after removal"
echo "package_test: upgrading from the one package before the split"
# A stand-in for edlt 1.1.0.2, with the files it had that now belong to edlt-cli and edlt-data.
old="$(mktemp -d)"
mkdir -p "$old/DEBIAN" "$old/usr/bin" "$old/usr/share/edlt/Addon" "$old/usr/share/man/man1" \
  "$old/usr/share/bash-completion/completions" "$old/usr/share/icons/hicolor/48x48/apps"
touch "$old/usr/bin/edlt" "$old/usr/bin/edlt-cli" "$old/usr/share/edlt/Addon/typeofinc.txt" \
  "$old/usr/share/man/man1/edlt-cli.1.gz" "$old/usr/share/bash-completion/completions/edlt-cli" \
  "$old/usr/share/icons/hicolor/48x48/apps/org.edltapp.edlt.png"
chmod 755 "$old/usr/bin/edlt" "$old/usr/bin/edlt-cli"
printf 'Package: edlt\nVersion: %s\nArchitecture: all\nMaintainer: %s\nDescription: stand-in\n' \
  "$program_version" "$(field "$cli_deb" Maintainer)" >"$old/DEBIAN/control"
dpkg-deb --root-owner-group -b "$old" "$old.deb" >/dev/null
rm -rf "$old"
dpkg -i "$old.deb" >/dev/null
DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "$window_deb" "$cli_deb" "$data_deb" \
  >/dev/null || fail "the upgrade from $program_version"
rm -f "$old.deb"
for p in "${packages[@]}"; do
  [ "$(dpkg-query -W -f='${Version}' "$p")" = "$version" ] || fail "$p after the upgrade"
done
[ -s /usr/bin/edlt-cli ] && [ -s /usr/share/edlt/Addon/typeofinc.txt ] || fail "files after the upgrade"
DEBIAN_FRONTEND=noninteractive apt-get purge -y -qq "${packages[@]}" >/dev/null
echo "package_test: passed"
