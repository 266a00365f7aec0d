#!/usr/bin/env bash
# Whole-process times of the share codes, each beside its baseline in the
# same rounds: `zandorik code` over a 100,000-record data file beside
# `zandorik export` of the same file, and `zandorik scan` of a 300 dpi A4
# page holding 12 codes beside the scan of a blank page of the same size.
# RUNS rounds (default 5); prints the median wall time and the largest
# peak memory of each.
#   bench/share_code.sh BUILD_DIR [RUNS]
set -euo pipefail
build=$(cd "$1" && pwd)
runs=${2:-5}
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

"$build/bench/make_data_file" "$tmp/big.QMV" 100000
"$build/bench/make_data_file" "$tmp/six.QMV" 6
# The six example figures and six random ones, 7 pixels a module (a code
# of 15 to 30 mm), on an A4 page at 300 dpi; and the page blank.
{
  "$build/zandorik" code "$root/examples/figures.QMV"
  "$build/zandorik" code "$tmp/six.QMV"
} | cut -f2 >"$tmp/codes"
"$build/bench/make_code_page" "$tmp/page.pgm" 2480 3508 7 <"$tmp/codes"
"$build/bench/make_code_page" "$tmp/blank.pgm" 2480 3508 7 </dev/null
convert "$tmp/page.pgm" -density 300 "$tmp/page.png"
convert "$tmp/blank.pgm" -density 300 "$tmp/blank.png"
found=$("$build/zandorik" scan "$tmp/page.png" 2>&1 >/dev/null)
echo "page: $found"

declare -A cmd=(
  [export]="$build/zandorik export $tmp/big.QMV"
  [code]="$build/zandorik code $tmp/big.QMV"
  [blank]="$build/zandorik scan $tmp/blank.png"
  [scan]="$build/zandorik scan $tmp/page.png"
)
order=(export code blank scan)
for name in "${order[@]}"; do : >"$tmp/$name.times"; done
for _ in $(seq "$runs"); do
  for name in "${order[@]}"; do
    /usr/bin/time -q -f "%e %M" -a -o "$tmp/$name.times" ${cmd[$name]} >/dev/null 2>&1 || true
  done
done
median() { sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }
echo "machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | xargs), load $(cut -d' ' -f1-3 /proc/loadavg)"
printf '%-7s %9s %12s\n' what "median s" "max RSS MB"
for name in "${order[@]}"; do
  printf '%-7s %9s %12s\n' "$name" "$(awk '{print $1}' "$tmp/$name.times" | median)" \
    "$(awk '{if ($2 > m) m = $2} END {printf "%.1f", m / 1024}' "$tmp/$name.times")"
done
