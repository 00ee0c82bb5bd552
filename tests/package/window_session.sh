#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Run by package_test.sh as the test user inside xvfb-run: starts the installed window
# program, chooses File - New and File - Exit with the mouse and keys, and checks the
# private workspace on the way; then starts it on DECLARATION and exits. STATE,
# WM_CLASS_WANTED and DECLARATION (a declaration of one line) come from the caller.
set -euo pipefail
fail() { echo "window_session: $*" >&2; kill "$pid" 2>/dev/null || true; exit 1; }
wait_for() {  # wait_for SECONDS COMMAND...
  local end=$((SECONDS + $1)); shift
  until "$@"; do [ $SECONDS -lt $end ] || return 1; sleep 0.2; done
}
file_menu() {  # opens "Αρχείο" and picks an item with the keys given
  xdotool mousemove --window "$wid" 20 10 click 1
  sleep 1
  xdotool key "$@"
}

start() {
  edlt "$@" &
  pid=$!
  # The window is found by the class the desktop entry names, so docks group it.
  wid="$(timeout 60 xdotool search --sync --onlyvisible --class "$WM_CLASS_WANTED" | head -n 1)" ||
    fail "no window of class $WM_CLASS_WANTED"
  [ -n "$wid" ] || fail "no window"
}
exit_program() {
  file_menu Up Return  # Έξοδος, the last item
  wait_for 30 bash -c "! kill -0 $pid 2>/dev/null" || fail "the program did not exit"
  wait "$pid" || fail "exit status $?"
}

start
[ "$(stat -c %a "$STATE/temp")" = 700 ] || fail "workspace mode $(stat -c %a "$STATE/temp")"

file_menu Down Return  # Νέο
# New asks about the kind of declarant; its box takes the default answer.
box="$(timeout 20 xdotool search --sync --onlyvisible --name "Οριστική Δήλωση" | head -n 1)" || fail "New asked nothing"
xdotool windowfocus --sync "$box" key Return
wait_for 20 test -e "$STATE/temp/generalData" || fail "New made no workspace files"
for f in "$STATE"/temp/* "$STATE"/temp/.lock; do
  [ "$(stat -c %a "$f")" = 600 ] || fail "$f has mode $(stat -c %a "$f")"
done

exit_program
[ ! -e "$STATE/temp" ] || fail "the workspace stayed after exit"

# A file named on the command line is opened as Open does: its line reaches the workspace.
start "$DECLARATION"
wait_for 20 test -s "$STATE/temp/record2" || fail "$DECLARATION was not opened"
exit_program
