#!/bin/bash
# The coster over 100,000 sound figures (every fiftieth record deleted) as
# whole processes: `zandorik cost` and
# its older name `zandorik-cost`, plain and JSON, beside `cat` of the same
# file, in turn, round after round; with OLD_BUILD the coster of another
# build in the same rounds. Prints each one's median wall and processor
# time, the processor time per figure, and the largest peak memory; then
# the peak memory over 10,000 figures (memory stays flat).
#   bench/coster.sh BUILD [ROUNDS [OLD_BUILD]]
# BUILD is a build folder holding zandorik, zandorik-cost and
# bench/make_data_file.
set -eu
build=$(realpath "$1")
runs=${2:-9}
old=${3:+$(realpath "$3")}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
. "$(dirname "$0")/rounds.sh"
"$build/bench/make_data_file" "$work/big.QMV" 100000 sound
"$build/bench/make_data_file" "$work/small.QMV" 10000 sound
declare -A cmd=(
  [cat]="cat $work/big.QMV"
  [cost]="$build/zandorik cost $work/big.QMV"
  [cost-json]="$build/zandorik cost --json $work/big.QMV"
  [alias]="$build/zandorik-cost $work/big.QMV"
  [alias-json]="$build/zandorik-cost --json $work/big.QMV"
  [small-json]="$build/zandorik cost --json $work/small.QMV"
)
order=(cat cost cost-json alias alias-json small-json)
if [ -n "$old" ]; then
  cmd[old]="$old/zandorik-cost $work/big.QMV"
  cmd[old-json]="$old/zandorik-cost --json $work/big.QMV"
  order+=(old old-json)
fi
time_rounds "$runs" "$work" | awk '
  NR <= 2 || $1 == "small-json" { print; next }
  { printf "%s %9.2f us/figure\n", $0, $3 * 1e6 / 100000 }'
