#!/usr/bin/env bash
# Whole-process time and peak memory of `zandorik sheet`: 100 figures to
# one PDF, one page of 6 figures to a PNG at 300 dpi, the same 100 figures
# to SVG pages; beside the baseline of `zandorik-cost` pricing the same 100
# figures, in the same rounds. RUNS rounds (default 7); prints the median
# wall time and the largest peak memory of each. No display is used.
#   bench/sheet.sh BUILD_DIR [RUNS]
set -euo pipefail
build=$(cd "$1" && pwd)
runs=${2:-7}
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# 100 figures: the sample file's six stored figures over and over.
for i in $(seq 0 99); do
  skip=$(echo "0 1 2 4 5 6" | cut -d' ' -f$((i % 6 + 1)))
  dd if="$root/examples/figures.QMV" bs=486 skip="$skip" count=1 status=none
done >"$tmp/hundred.QMV"

declare -A cmd=(
  [baseline]="$build/zandorik-cost $tmp/hundred.QMV"
  [pdf100]="$build/zandorik sheet -o $tmp/out.pdf $tmp/hundred.QMV"
  [png1]="$build/zandorik sheet --dpi 300 -o $tmp/out.png $root/examples/figures.QMV"
  [svg100]="$build/zandorik sheet -o $tmp/out.svg $tmp/hundred.QMV"
)
order=(baseline pdf100 png1 svg100)
source "$root/bench/rounds.sh"
time_rounds "$runs" "$tmp"
echo "pages: PDF $(pdfinfo "$tmp/out.pdf" | awk '/^Pages:/ {print $2}'), SVG $(ls "$tmp"/out-*.svg | wc -l)"
