#!/usr/bin/env bash
# Starts the built program on a virtual display and checks its window:
# the title, 423 pixels wide, a 237-pixel client area under the menu bar.
# Keeps a screenshot. Further arguments go to the program.
#   smoke_test.sh PROGRAM SCREENSHOT [ARGUMENT]...
set -euo pipefail
if [ "${1:-}" != --on-display ]; then
  exec xvfb-run -a -s "-screen 0 800x600x24" bash "$0" --on-display "$@"
fi
program=$2
shot=$3
shift 3
# A session of its own for the program, as a desktop login would give it.
export XDG_RUNTIME_DIR
XDG_RUNTIME_DIR=$(mktemp -d)
pid=
trap 'if [ -n "$pid" ]; then kill "$pid" 2>/dev/null || true; fi; rm -rf "$XDG_RUNTIME_DIR"' EXIT

# A fresh virtual display now and then refuses a first client: try again.
window=
for attempt in 1 2 3; do
  "$program" "$@" </dev/null &
  pid=$!
  for _ in $(seq 200); do
    window=$(xdotool search --onlyvisible --name '^Zandorik Dial Generator$' 2>/dev/null | head -n 1) || true
    [ -n "$window" ] && break 2
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.05
  done
  echo "attempt $attempt: the window did not appear" >&2
  kill "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
done
[ -n "$window" ] || exit 1
sleep 0.5  # let it paint

eval "$(xdotool getwindowgeometry --shell "$window")"
name=$(xdotool getwindowname "$window")
echo "window '$name': ${WIDTH}x${HEIGHT}"
[ "$name" = "Zandorik Dial Generator" ] || { echo "title is '$name'"; exit 1; }
[ "$WIDTH" -eq 423 ] || { echo "width is $WIDTH, not 423"; exit 1; }
menu=$((HEIGHT - 237))
[ "$menu" -ge 15 ] && [ "$menu" -le 40 ] || { echo "height $HEIGHT leaves $menu for the menu bar"; exit 1; }
import -window "$window" "$shot"
echo "screenshot: $shot"
