#!/usr/bin/env bash
# Whole-process times of the share codes, each beside its baseline in the
# same rounds: `zandorik code` over a 100,000-record data file beside
# `zandorik export` of the same file, and `zandorik scan` of a 300 dpi A4
# page holding 11 codes, and of the first page of the sample file's dial
# sheet (4 figures, their dials and codes), beside the scan of a page of
# the same size holding one code. RUNS rounds (default 5); prints the median wall time and the
# largest peak memory of each.
#   bench/share_code.sh BUILD_DIR [RUNS]
set -euo pipefail
build=$(cd "$1" && pwd)
runs=${2:-5}
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

"$build/bench/make_data_file" "$tmp/big.QMV" 100000
"$build/bench/make_data_file" "$tmp/six.QMV" 6
# The six example figures and the five of six random records that hold a
# figure, 7 pixels a module (codes of 15 to 30 mm), on an A4 page at 300
# dpi; and the first alone on a page.
{
  "$build/zandorik" code "$root/examples/figures.QMV"
  "$build/zandorik" code "$tmp/six.QMV"
} | cut -f2 >"$tmp/codes"
"$build/bench/make_code_page" "$tmp/page.pgm" 2480 3508 7 <"$tmp/codes"
head -1 "$tmp/codes" | "$build/bench/make_code_page" "$tmp/one.pgm" 2480 3508 7
convert "$tmp/page.pgm" -density 300 "$tmp/page.png"
convert "$tmp/one.pgm" -density 300 "$tmp/one.png"
"$build/zandorik" sheet --dpi 300 -o "$tmp/sheet.png" "$root/examples/figures.QMV" >/dev/null
echo "page: $("$build/zandorik" scan "$tmp/page.png" 2>&1 >/dev/null)"
echo "sheet: $("$build/zandorik" scan "$tmp/sheet-1.png" 2>&1 >/dev/null)"

declare -A cmd=(
  [export]="$build/zandorik export $tmp/big.QMV"
  [code]="$build/zandorik code $tmp/big.QMV"
  [one]="$build/zandorik scan $tmp/one.png"
  [scan]="$build/zandorik scan $tmp/page.png"
  [sheet]="$build/zandorik scan $tmp/sheet-1.png"
)
order=(export code one scan sheet)
source "$root/bench/rounds.sh"
time_rounds "$runs" "$tmp"
