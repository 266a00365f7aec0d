#!/usr/bin/env bash
# Every program's --help, and that of every command `zandorik --help`
# lists, fits a terminal of 80 columns.
#   help_width_test.sh PROGRAM...
set -euo pipefail
export LC_ALL=C.UTF-8
failed=0

# check_width WHAT: standard input, line by line, at most 80 characters.
check_width() {
  local number=0 line
  while IFS= read -r line; do
    number=$((number + 1))
    if [ "${#line}" -gt 80 ]; then
      echo "FAILED: $1, line $number has ${#line} columns: $line"
      failed=1
    fi
  done
}

checked=0
for program in "$@"; do
  name=$(basename "$program")
  help=$("$program" --help)
  check_width "$name --help" <<<"$help"
  checked=$((checked + 1))
  # A program with commands lists them under "Commands:", two spaces in.
  for command in $(sed -n '/^Commands:$/,/^$/s/^  \([a-z][a-z-]*\) .*/\1/p' <<<"$help"); do
    help=$("$program" "$command" --help)
    check_width "$name $command --help" <<<"$help"
    checked=$((checked + 1))
  done
done
echo "$checked help texts checked"
exit "$failed"
