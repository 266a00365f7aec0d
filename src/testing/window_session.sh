# For the shell tests of the real program: a virtual display, a session
# folder of its own, and the few moves a person makes (find a window, press
# keys, type, click, answer a box). Source it as the test's first step:
#   source .../window_session.sh "$@"
# It runs the test again under xvfb-run when there is no display of its
# own yet, and sets `work` (a folder removed at exit) and `pids`.

if [ "${1:-}" != --on-display ]; then
  exec xvfb-run -a -s "-screen 0 1024x768x24" bash "$0" --on-display "$@"
fi

work=$(mktemp -d)
pids=()
# The program's own session, as a desktop login would give it.
export XDG_RUNTIME_DIR="$work/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"
end_session() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  rm -rf "$work"
}
trap end_session EXIT

fail() {
  echo "FAILED: $*" >&2
  exit 1
}

# The first visible window whose title matches the pattern $1, of process
# $2 if given, waiting up to 10 s.
window() {
  local id pid=()
  [ -n "${2:-}" ] && pid=(--all --pid "$2")
  for _ in $(seq 200); do
    id=$(xdotool search "${pid[@]}" --onlyvisible --name "$1" 2>/dev/null | head -n 1) || true
    [ -n "$id" ] && { echo "$id"; return; }
    sleep 0.05
  done
  fail "no window '$1'"
}
keys() { xdotool windowfocus --sync "$1"; shift; xdotool key --delay 20 "$@"; sleep 0.2; }
type_text() { xdotool windowfocus --sync "$1"; xdotool type --delay 10 "$2"; sleep 0.1; }
# Clicks the point (x, y) of window $1's client area, $2 pixels under its
# top (the menu bar).
click_in() { xdotool mousemove --window "$1" "$3" $(($4 + $2)) click 1; sleep 0.15; }
# Presses Return on the box titled "QMVR" that process $1 must show now.
answer_box() { keys "$(window '^QMVR$' "${1:-}")" Return; }
