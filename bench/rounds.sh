# Sourced by the whole-process benchmarks (bench/sheet.sh, ...).
#   time_rounds RUNS DIR
# runs each command of the associative array `cmd`, in the order of the
# array `order`, RUNS rounds in turn without a display, and prints the
# machine with its load, then the median wall time, the median processor
# time and the largest peak memory of each. DIR holds the timings. A command that fails ends it, with
# the command's errors. With TIMER set to a build's bench/process_time the
# times are taken to the microsecond; /usr/bin/time gives hundredths.
time_rounds() {
  local runs=$1 dir=$2 name
  for name in "${order[@]}"; do : >"$dir/$name.times"; done
  for _ in $(seq "$runs"); do
    for name in "${order[@]}"; do
      if [ -n "${TIMER:-}" ]; then
        set -- "$TIMER" "$dir/$name.times"
      else
        set -- /usr/bin/time -f "%e %M %U %S" -a -o "$dir/$name.times"
      fi
      env -u DISPLAY -u WAYLAND_DISPLAY "$@" ${cmd[$name]} >/dev/null 2>"$dir/$name.err" || {
        cat "$dir/$name.err" >&2
        return 1
      }
    done
  done
  median() { sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }
  echo "machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | xargs), load $(cut -d' ' -f1-3 /proc/loadavg)"
  printf '%-12s %9s %9s %12s\n' what "median s" "cpu s" "max RSS MB"
  for name in "${order[@]}"; do
    printf '%-12s %9s %9s %12s\n' "$name" "$(awk '{print $1}' "$dir/$name.times" | median)" \
      "$(awk '{printf "%.4f\n", $3 + $4}' "$dir/$name.times" | median)" \
      "$(awk '{if ($2 > m) m = $2} END {printf "%.1f", m / 1024}' "$dir/$name.times")"
  done
}
