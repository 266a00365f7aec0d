# For the shell tests of the real program: a virtual display, a session
# folder of its own, and the few moves a person makes (start the program
# and find its window, press keys, type, click, answer a box). Source it
# as the test's first step, then drop the mark it leaves:
#   source .../window_session.sh "$@"; shift
# It runs the test again under xvfb-run, marked --on-display, and sets
# `work` (a folder removed at exit) and `pids` (ended at exit). A test that
# defines `cleanup` or `fail` before sourcing it keeps its own; `cleanup`
# then runs at exit too.

if [ "${1:-}" != --on-display ]; then
  exec xvfb-run -a -s "-screen 0 1024x768x24" bash "$0" --on-display "$@"
fi

work=$(mktemp -d)
pids=()
# The program's own session, as a desktop login would give it.
export XDG_RUNTIME_DIR="$work/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"
# Its settings and recovery files too: a window the test leaves running is
# killed at the end, and its figure must not be offered to the person's
# own next start.
export XDG_CONFIG_HOME="$work/config" XDG_STATE_HOME="$work/state"
end_session() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  if declare -F cleanup >/dev/null; then cleanup; fi
  rm -rf "$work"
}
trap end_session EXIT

if ! declare -F fail >/dev/null; then
  fail() {
    echo "FAILED: $*" >&2
    exit 1
  }
fi

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

# Starts the program "$@" and waits for its window, whose title matches the
# pattern $TITLE; a fresh virtual display now and then refuses a first
# client, so up to three tries. Sets `pid` and `main` (the window), and
# `menu`, the height of the menu bar above the 237-pixel client area.
start_window() {
  local title=$1
  shift
  main=
  for attempt in 1 2 3; do
    "$@" </dev/null &
    pid=$!
    pids+=("$pid")
    for _ in $(seq 200); do
      main=$(xdotool search --all --pid "$pid" --onlyvisible --name "$title" 2>/dev/null |
        head -n 1) || true
      [ -n "$main" ] && break 2
      kill -0 "$pid" 2>/dev/null || break
      sleep 0.05
    done
    echo "attempt $attempt: the window did not appear" >&2
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
  done
  [ -n "$main" ] || fail "no window '$title' from $1"
  eval "$(xdotool getwindowgeometry --shell "$main")"
  menu=$((HEIGHT - 237))
  sleep 0.3 # let it paint
}

keys() { xdotool windowfocus --sync "$1"; shift; xdotool key --delay 20 "$@"; sleep 0.2; }
type_text() { xdotool windowfocus --sync "$1"; xdotool type --delay 10 "$2"; sleep 0.1; }
# Clicks the point (x, y) of window $1's client area, $2 pixels under its
# top (the menu bar).
click_in() { xdotool mousemove --window "$1" "$3" $(($4 + $2)) click 1; sleep 0.15; }
# Presses Return on the box titled "QMVR" that process $1 (any, if not
# given) must show now.
answer_box() { keys "$(window '^QMVR$' "${1:-}")" Return; }
