#!/usr/bin/env bash
# The built program driven as a person would, with the keyboard and the
# mouse only, on a virtual display: create a data file through the real
# file dialog, enter a figure, price and save it, reset the screen, pick
# the name from the list and see the same points, print; change a square,
# find the title marked, cancel the question that File > Exit asks, undo
# the change and exit without a question; start again with the file on the
# command line (its name in the title) and reload it. Then the file's bytes
# and the printed page. Printing needs root for its private spooler
# (private_spooler.sh); without root that step is left out.
#   end_to_end_test.sh PROGRAM COSTER
set -euo pipefail
if [ "${1:-}" = --on-display ] && [ "$(id -u)" -eq 0 ]; then
  source "$(dirname "${BASH_SOURCE[0]}")/private_spooler.sh"
  printing=yes
else
  printing=
fi
source "$(dirname "${BASH_SOURCE[0]}")/../src/testing/window/window_session.sh" "$@"
shift
program=$1
coster=$2
[ -n "$printing" ] || echo "not root: the print step is left out"
data="$work/mine.QMV"

# Clicks the point (x, y) of the client area, under the menu bar.
click() { click_in "$main" "$menu" "$1" "$2"; }
# Presses Return on the message box that must come up now.
answer() { answer_box "$pid"; }
# The points field as an image, once it has stopped changing.
points() {
  local crop=(-window "$main" -crop "77x21+84+$((204 + menu))")
  import "${crop[@]}" "$work/$1.png"
  for _ in $(seq 40); do
    sleep 0.1
    import "${crop[@]}" "$work/$1.next.png"
    same "$1" "$1.next" && return
    mv "$work/$1.next.png" "$work/$1.png"
  done
}
same() { [ "$(compare -metric AE "$work/$1.png" "$work/$2.png" null: 2>&1)" = 0 ]; }
# Starts the program; $1 is the title its window must show, whole.
start() {
  local title=$1
  shift
  start_window "^${title//./\\.}\$" "$program" "$@"
}
stop() {
  keys "$main" alt+f
  keys "$main" x
  for _ in $(seq 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.05; done
  kill -0 "$pid" 2>/dev/null && fail "the program did not end on File > Exit"
  wait "$pid" || fail "the program ended with status $?"
  pid=
}

start 'Zandorik Dial Generator'
keys "$main" ctrl+n
type_text "$(window 'Save As')" "$data"
keys "$(window 'Save As')" Return
answer   # create the file?
[ -f "$data" ] || fail "New File did not create $data"

click 110 14
type_text "$main" "Ember Sprite"
click 66 66;  type_text "$main" 5    # Speed, click 1
click 66 90;  type_text "$main" 9    # Attack, click 1
click 90 138; type_text "$main" 3    # Damage, click 2
click 66 66                          # Speed, click 1 again: its power
click 212 183                        # the picker, at its white entry
keys "$main" Down Down Down Return   # "Red" of the colour list
click 40 214                         # Calculate
points priced
keys "$main" ctrl+s
answer   # Record saved.
keys "$main" F5
points reset
same priced reset && fail "Reset Screen left the points as they were"
click 178 14                         # the name list
keys "$main" Down Return
points reloaded
same priced reloaded || fail "the reloaded figure shows other points"
if [ -n "$printing" ]; then keys "$main" ctrl+p; fi
click 90 90;  type_text "$main" 8    # Attack, click 2: a change
window '^mine\.QMV\* - Zandorik Dial Generator$' >/dev/null
keys "$main" alt+f
keys "$main" x
keys "$(window QMVR)" Escape         # Cancel: the program stays
kill -0 "$pid" 2>/dev/null || fail "the program ended though Cancel was chosen"
keys "$main" ctrl+z                  # the change undone: nothing to lose
window '^mine\.QMV - Zandorik Dial Generator$' >/dev/null
stop

start 'mine.QMV - Zandorik Dial Generator' "$data"
click 178 14
keys "$main" Down Return
points argument
same priced argument || fail "the file named on the command line did not load the figure"
stop

[ "$(stat -c %s "$data")" = 486 ] || fail "the data file is $(stat -c %s "$data") bytes, not one record"
[ "$(dd if="$data" bs=1 skip=2 count=30 2>/dev/null)" = "Ember Sprite                  " ] ||
  fail "the stored name is not 'Ember Sprite' padded to 30"
[ "$(od -An -tx1 -j68 -N8 "$data" | tr -d ' ')" = 0000000000e06f40 ] ||
  fail "the first Speed square is not stored red (255)"
line=$("$coster" "$data")
echo "$line"
[ "$line" = "$(printf '%6d %7d  %s' 1 "$(cut -c8-14 <<<"$line")" 'Ember Sprite')" ] ||
  fail "the stored figure prices as '$line'"

if [ -n "$printing" ]; then
  pdf=$(wait_for_pdf)
  [ "$(pdfinfo "$pdf" | awk '/^Pages:/ {print $2}')" = 1 ] || fail "the print is not one page"
  pdftoppm -r 100 -png -singlefile "$pdf" "$work/page"
  red=$(convert "$work/page.png" -fuzz 20% -fill black -opaque red -fill white +opaque black \
    -negate -format '%[fx:round(mean*w*h)]' info:)
  echo "red pixels on the printed page: $red"
  [ "$red" -gt 100 ] || fail "the printed page shows no red square"
fi
echo "end to end: passed"
