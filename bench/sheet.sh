#!/usr/bin/env bash
# Whole-process time and peak memory of `zandorik sheet`: 100 figures to
# one PDF (and without share codes, for what the codes cost), one page of 4 figures (two of the sample's, twice) to a PNG at
# 300 dpi, the same 100 figures to SVG pages; beside the baseline of
# `zandorik-cost` pricing the same 100
# figures, in the same rounds, and beside the same sheets made by an
# earlier build when OLD_BUILD is given. RUNS rounds (default 7); prints
# the median wall time, the median processor time (user and system: what
# the program itself costs when the machine is busy) and the largest peak
# memory of each. No display is used.
#   bench/sheet.sh BUILD_DIR [RUNS [OLD_BUILD]]
set -euo pipefail
build=$(cd "$1" && pwd)
runs=${2:-7}
old=${3:+$(cd "$3" && pwd)}
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
  [pdf100-nocodes]="$build/zandorik sheet --no-codes -o $tmp/nocodes.pdf $tmp/hundred.QMV"
  [png1]="$build/zandorik sheet --dpi 300 -o $tmp/out.png $root/examples/figures.QMV Worked Tidewalker Worked Tidewalker"
  [svg100]="$build/zandorik sheet -o $tmp/out.svg $tmp/hundred.QMV"
)
order=(baseline pdf100 pdf100-nocodes png1 svg100)
if [ -n "$old" ]; then
  for name in pdf100 png1 svg100; do
    cmd[old-$name]=${cmd[$name]//$build\/zandorik /$old/zandorik }
    cmd[old-$name]=${cmd[old-$name]//out./old.}
  done
  order+=(old-pdf100 old-png1 old-svg100)
fi
source "$root/bench/rounds.sh"
time_rounds "$runs" "$tmp"
echo "pages: PDF $(pdfinfo "$tmp/out.pdf" | awk '/^Pages:/ {print $2}'), SVG $(ls "$tmp"/out-*.svg | wc -l)"
