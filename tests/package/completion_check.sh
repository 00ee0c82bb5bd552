#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Run by package_test.sh as the test user: the installed bash completion of edlt-cli or
# edlt (the argument) offers what a user expects at a few command lines.
#   completion_check.sh edlt-cli|edlt
set -uo pipefail
source /usr/share/bash-completion/bash_completion
program="$1"
source "/usr/share/bash-completion/completions/$program"
cd "$HOME"
failed=0
offers() {  # offers "COMMAND LINE" WORD... : completing at the end of the line gives the words
  local line="$1"; shift
  COMP_LINE="$line" COMP_POINT=${#line}
  # As bash splits it: "=" is a word of its own.
  local split="${line//=/ = }"
  read -ra COMP_WORDS <<<"$split"
  [[ $split == *" " ]] && COMP_WORDS+=("")
  COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
  COMPREPLY=()
  "$(complete -p "$program" | sed 's/.*-F \([^ ]*\) .*/\1/')" "$program" "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}"
  local got
  got="$(printf '%s\n' "${COMPREPLY[@]}" | sort | tr '\n' ' ')"
  if [ "$got" != "$(printf '%s\n' "$@" | sort | tr '\n' ' ')" ]; then
    echo "completion_check: '$line' offers '$got', not '$*'" >&2
    failed=1
  fi
}
mkdir -p completion && cd completion && touch dlt.txt 094019245-DLT
case "$program" in
  edlt-cli)
    offers "edlt-cli sort dlt.txt --by " afm name
    offers "edlt-cli sort dlt.txt --by=" afm name
    offers "edlt-cli sort dlt.txt --by=n" name
    offers "edlt-cli import dlt.txt s.csv --answer=" yes no
    offers "edlt-cli zip dlt.txt --answer=y" yes
    offers "edlt-cli totals d" dlt.txt
    offers "edlt-cli rep" report
    ;;
  edlt)
    offers "edlt " 094019245-DLT dlt.txt
    offers "edlt --v" --version
    offers "edlt -- " 094019245-DLT dlt.txt
    ;;
esac
exit $failed
