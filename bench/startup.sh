#!/usr/bin/env bash
# Process start to window shown, on a virtual display: zandorik-dial beside
# a bare Qt main window and a main window with one label in the program's
# face (the floor for a window that draws text), alternating, RUNS times
# each. Prints the medians and zandorik-dial's ratio to each.
# Each start is timed by startup_watch, which waits for the X server's map
# event of the window (nothing polls). With OTHER_BUILD_DIR (a build of an
# older commit, say), its zandorik-dial is timed in the same rounds too.
#   bench/startup.sh BUILD_DIR [RUNS] [OTHER_BUILD_DIR]
set -euo pipefail
if [ "${1:-}" != --on-display ]; then
  exec xvfb-run -a -s "-screen 0 800x600x24" bash "$0" --on-display "$@"
fi
build=$2
runs=${3:-31}
other=${4:-}

measure() {  # program title -> milliseconds until its window is mapped
  local ms
  for _ in 1 2 3; do  # the display may refuse a program: try again
    if ms=$("$build/bench/startup_watch" "$2" "$1" 2>/dev/null); then
      echo "$ms"
      return
    fi
  done
  echo "$1 did not start" >&2
  exit 1
}
median() { sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }

bare=()
labelled=()
dial=()
older=()
for _ in $(seq "$runs"); do
  bare+=("$(measure "$build/bench/bare_window" "Bare Window")")
  labelled+=("$(measure "$build/bench/labelled_window" "Labelled Window")")
  dial+=("$(measure "$build/src/app/zandorik-dial" "Zandorik Dial Generator")")
  if [ -n "$other" ]; then
    older+=("$(measure "$other/src/app/zandorik-dial" "Zandorik Dial Generator")")
  fi
done
b=$(printf '%s\n' "${bare[@]}" | median)
l=$(printf '%s\n' "${labelled[@]}" | median)
d=$(printf '%s\n' "${dial[@]}" | median)
echo "bare Qt main window:     ${b} ms (median of $runs)"
echo "window with one label:   ${l} ms (median of $runs)"
echo "zandorik-dial:           ${d} ms (median of $runs)"
awk -v b="$b" -v l="$l" -v d="$d" \
  'BEGIN {printf "ratio to the bare window: %.3f, to the labelled window: %.3f\n", d / b, d / l}'
if [ -n "$other" ]; then
  o=$(printf '%s\n' "${older[@]}" | median)
  echo "$other zandorik-dial: ${o} ms (median of $runs)"
  awk -v b="$b" -v o="$o" 'BEGIN {printf "ratio: %.3f\n", o / b}'
fi
