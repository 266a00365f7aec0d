#!/usr/bin/env bash
# Two windows of the program on one data file, driven as a person would
# with the keyboard and the mouse: one saves new figures, the other saves
# and deletes its own, turn by turn and many times. Then the file must
# hold exactly what the two were told was saved and not deleted.
#   two_windows_test.sh PROGRAM COSTER
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/../src/testing/window/window_session.sh" "$@"
shift
program=$1
coster=$2
data="$work/shared.QMV"
: >"$data"

declare -A main menu
# Starts a window on the file at x = $2, apart from the other.
start() {
  "$program" "$data" </dev/null &
  pids+=($!)
  local id
  id=$(window 'Zandorik Dial Generator' $!)
  main[$1]=$id
  xdotool windowmove --sync "$id" "$2" 0
  eval "$(xdotool getwindowgeometry --shell "$id")"
  menu[$1]=$((HEIGHT - 237))
  sleep 0.3
}
# Window $1 stores the figure named $2 (Ctrl+S) or deletes it (Ctrl+D).
command() {
  local w=$1 name=$2 key=$3 pid=$4
  click_in "${main[$w]}" "${menu[$w]}" 110 14 # the name box
  keys "${main[$w]}" ctrl+a BackSpace
  type_text "${main[$w]}" "$name"
  keys "${main[$w]}" "$key"
  answer_box "$pid"
}

start one 0
start two 500
expected=()
for i in $(seq 8); do
  command one "One $i" ctrl+s "${pids[0]}"
  expected+=("One $i")
  command two "Two $i" ctrl+s "${pids[1]}"
  if [ $((i % 2)) = 0 ]; then
    command two "Two $i" ctrl+d "${pids[1]}"
  else
    expected+=("Two $i")
  fi
done

# What the file holds, in record order, against what was reported.
stored=$("$coster" "$data" | cut -c17-)
echo "$stored"
for name in "${expected[@]}"; do
  [ "$(grep -cx "$name" <<<"$stored")" = 1 ] || fail "'$name' is not stored exactly once"
done
[ "$(wc -l <<<"$stored")" = "${#expected[@]}" ] || fail "the file holds figures nobody saved"
# The second window's list holds the first one's figures: its first entry
# is "One 1", and saving it back changes no byte.
before=$(md5sum <"$data")
click_in "${main[two]}" "${menu[two]}" 178 14 # the name list
keys "${main[two]}" Down Return
keys "${main[two]}" ctrl+s
answer_box "${pids[1]}"
[ "$(md5sum <"$data")" = "$before" ] || fail "the second window did not load 'One 1' from its list"
echo "two windows: passed"
