#!/usr/bin/env bash
# Process start to window shown, on a virtual display: zandorik-dial beside
# a bare Qt main window, alternating, RUNS times each. Prints the medians.
#   bench/startup.sh BUILD_DIR [RUNS]
set -euo pipefail
if [ "${1:-}" != --on-display ]; then
  exec xvfb-run -a -s "-screen 0 800x600x24" bash "$0" --on-display "$@"
fi
build=$2
runs=${3:-15}

measure() {  # program title -> milliseconds until its window is mapped
  local start end pid
  for _ in 1 2 3; do
    start=$(date +%s%N)
    "$1" </dev/null 2>/dev/null &
    pid=$!
    # xdotool's own --sync polls twice a second; poll much faster here.
    until xdotool search --onlyvisible --name "^$2\$" >/dev/null 2>&1; do
      kill -0 "$pid" 2>/dev/null || break  # the display refused it: try again
      sleep 0.005
    done
    end=$(date +%s%N)
    if kill "$pid" 2>/dev/null; then
      wait "$pid" 2>/dev/null || true
      echo $(((end - start) / 1000000))
      return
    fi
    wait "$pid" 2>/dev/null || true
  done
  echo "$1 did not start" >&2
  exit 1
}
median() { sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }

bare=()
dial=()
for _ in $(seq "$runs"); do
  bare+=("$(measure "$build/bench/bare_window" "Bare Window")")
  dial+=("$(measure "$build/src/app/zandorik-dial" "Zandorik Dial Generator")")
done
b=$(printf '%s\n' "${bare[@]}" | median)
d=$(printf '%s\n' "${dial[@]}" | median)
echo "bare Qt main window: ${b} ms (median of $runs)"
echo "zandorik-dial:       ${d} ms (median of $runs)"
awk -v b="$b" -v d="$d" 'BEGIN {printf "ratio: %.2f\n", d / b}'
