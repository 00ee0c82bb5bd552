#!/usr/bin/env bash
# The Debian package as a user meets it: built with CPack from a release tree, installed,
# used by an ordinary user (the command line on files in their home, the window program
# under a virtual display), validated, and removed again. Needs root (CI runs as root).
#   package_test.sh BUILD_DIR
set -euo pipefail
build="$(cd "${1:?usage: package_test.sh BUILD_DIR}" && pwd)"
here="$(cd "$(dirname "$0")" && pwd)"
if [ "$(id -u)" -ne 0 ]; then
  echo "package_test: needs root to install the package" >&2
  exit 1
fi

fail() { echo "package_test: FAILED: $*" >&2; exit 1; }
user="edlt-pkg-test"
version="$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")"

cleanup() {
  userdel -r -f "$user" >/dev/null 2>&1 || true
  dpkg -s edlt >/dev/null 2>&1 && DEBIAN_FRONTEND=noninteractive apt-get purge -y -qq edlt >/dev/null
  return 0
}
trap cleanup EXIT
cleanup

echo "package_test: building the package"
rm -rf "$build/package"
(cd "$build" && cpack -G DEB >/dev/null)
deb="$(ls "$build"/package/edlt_*.deb)"
info="$(dpkg-deb -f "$deb" Package Version Maintainer Section Depends)"
grep -qx "Version: $version" <<<"$info" || fail "version: $info"
grep -qx "Maintainer: e-ΔΛΤ maintainers <maintainers@edlt.invalid>" <<<"$info" || fail "maintainer: $info"
grep -q "^Depends: .*libqt6widgets6" <<<"$info" || fail "dependencies from dpkg-shlibdeps: $info"
grep -q "^Depends: .*fonts-liberation" <<<"$info" || fail "the first page's font is not a dependency: $info"

echo "package_test: installing $deb"
DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "$deb" >/dev/null
for f in /usr/bin/edlt /usr/bin/edlt-cli /usr/share/edlt/Addon/typeofinc.txt /usr/share/edlt/Help/usermanual.htm \
  /usr/share/edlt/translations/qt_el.qm \
  /usr/share/applications/org.edltapp.Edlt.desktop /usr/share/metainfo/org.edltapp.Edlt.metainfo.xml \
  /usr/share/icons/hicolor/scalable/apps/org.edltapp.Edlt.svg /usr/share/icons/hicolor/48x48/apps/org.edltapp.Edlt.png \
  /usr/share/man/man1/edlt.1.gz /usr/share/man/man1/edlt-cli.1.gz /usr/share/bash-completion/completions/edlt-cli; do
  [ -e "$f" ] || fail "not installed: $f"
done
[ ! -e /usr/share/edlt/make_first_page.py ] || fail "a generator was installed"
desktop-file-validate /usr/share/applications/org.edltapp.Edlt.desktop || fail "desktop-file-validate"
appstreamcli validate --no-net /usr/share/metainfo/org.edltapp.Edlt.metainfo.xml >/dev/null ||
  fail "appstreamcli validate"
bash -c 'complete() { :; }; source /usr/share/bash-completion/completions/edlt-cli' || fail "completion"
installed_state() { find /usr/bin/edlt /usr/bin/edlt-cli /usr/share/edlt -printf '%p %s %m %T@\n' | sort; }
before="$(installed_state)"

useradd -m -s /bin/bash "$user"
home="$(getent passwd "$user" | cut -d: -f6)"
# One consistent line: tax number, names, address, income type, amounts, days.
echo "012345670;ΠΑΠΑΔΟΠΟΥΛΟΣ;ΓΙΩΡΓΟΣ;ΝΙΚΟΛΑΟΣ;ΑΘΗΝΑ;ΣΤΑΔΙΟΥ;12;10564;10;1000;0;0;100;900;50;50;;365;0;0" \
  >"$home/sheet.csv"
cp "$here/window_session.sh" "$home/"
chown "$user:" "$home/sheet.csv" "$home/window_session.sh"
as_user() { runuser -u "$user" -- env -i HOME="$home" PATH=/usr/bin:/bin LANG=C.UTF-8 "$@"; }

echo "package_test: the command line as $user"
[ "$(as_user edlt-cli --version)" = "edlt-cli $version" ] || fail "edlt-cli --version"
[ "$(as_user edlt --version)" = "edlt (e-ΔΛΤ) $version" ] || fail "edlt --version"
as_user edlt-cli new "$home/dlt.txt" --year 2024 --afm 094019245 --company "ΕΤΑΙΡΕΙΑ ΔΟΚΙΜΗΣ" || fail "new"
as_user edlt-cli import "$home/dlt.txt" "$home/sheet.csv" --answer yes || fail "import"
totals="$(as_user edlt-cli totals "$home/dlt.txt")" || fail "totals"
grep -q "^1 Εγγραφές" <<<"$totals" || fail "totals after import: $totals"
mkdir -p "$home/pages" && chown "$user:" "$home/pages"
for kind in first-page detail totals; do
  as_user edlt-cli report "$kind" "$home/dlt.txt" --out "$home/pages/$kind.htm" || fail "report $kind"
done
[ -n "$(ls "$home/pages/E7FirstPageFinal.files")" ] || fail "the first page's pictures"
as_user edlt-cli zip "$home/dlt.txt" || fail "zip"
# Listed first: grep -q ending early would fail the pipe (SIGPIPE) under pipefail.
listing="$(unzip -l "$home/dlt.txt.zip")" || fail "the archive"
grep -q "dlt.txt" <<<"$listing" || fail "the archive: $listing"

echo "package_test: the window program without a display"
set +e
message="$(as_user edlt 2>&1)"
status=$?
set -e
[ "$status" -eq 1 ] || fail "edlt without a display exited $status"
grep -q "γραφικού περιβάλλοντος" <<<"$message" || fail "edlt without a display said: $message"

echo "package_test: the window program under Xvfb: New, then exit"
state="$home/.local/state/edlt"
runuser -u "$user" -- env -i HOME="$home" PATH=/usr/bin:/bin LANG=C.UTF-8 QTWEBENGINE_DISABLE_SANDBOX=1 \
  STATE="$state" DECLARATION="$home/dlt.txt" WM_CLASS_WANTED="$(sed -n 's/^StartupWMClass=//p' /usr/share/applications/org.edltapp.Edlt.desktop)" \
  xvfb-run -a bash "$home/window_session.sh" || fail "the window session"
[ -d "$state" ] || fail "no state folder"
[ "$(stat -c %a "$state")" = 700 ] || fail "state folder mode $(stat -c %a "$state")"
[ ! -e "$state/temp" ] || fail "the workspace stayed after exit"

[ "$before" = "$(installed_state)" ] || fail "the installed folders changed"

echo "package_test: removing the package"
DEBIAN_FRONTEND=noninteractive apt-get purge -y -qq edlt >/dev/null
[ ! -e /usr/bin/edlt ] && [ ! -e /usr/share/edlt ] || fail "files left after removal"
echo "package_test: passed"
