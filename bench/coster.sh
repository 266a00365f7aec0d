#!/bin/bash
# The coster over 100,000 sound figures (every fiftieth record deleted) as
# whole processes: `zandorik cost` and
# its older name `zandorik-cost`, plain and JSON, beside `cat` of the same
# file, in turn, round after round; with OLD_BUILD the coster of another
# build in the same rounds. Prints each one's median wall and processor
# time, the processor time per figure, and the largest peak memory; then
# the peak memory over 10,000 figures (memory stays flat). With OLD_BUILD
# it first checks that the two costers print the same bytes, plain, with
# --breakdown and with --json, over those figures and over 100,000 random
# records with every kind of damage mixed in.
#   bench/coster.sh BUILD [ROUNDS [OLD_BUILD]]
# BUILD is a build folder holding zandorik, zandorik-cost,
# bench/make_data_file and bench/process_time (the timer).
set -eu
build=$(realpath "$1")
runs=${2:-9}
old=${3:+$(realpath "$3")}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
. "$(dirname "$0")/rounds.sh"
TIMER="$build/bench/process_time"
"$build/bench/make_data_file" "$work/big.QMV" 100000 sound
"$build/bench/make_data_file" "$work/small.QMV" 10000 sound
if [ -n "$old" ]; then
  "$build/bench/make_data_file" "$work/mixed.QMV" 100000
  for file in big mixed; do
    for option in "" --breakdown --json; do
      # Both exit 3 over the damaged file; the bytes are what counts.
      "$build/zandorik-cost" $option "$work/$file.QMV" >"$work/new" 2>&1 || true
      "$old/zandorik-cost" $option "$work/$file.QMV" >"$work/old" 2>&1 || true
      cmp -s "$work/new" "$work/old" || {
        echo "coster.sh: the costers differ over $file.QMV ${option:-(plain)}" >&2
        exit 1
      }
    done
  done
  echo "the same output as $old/zandorik-cost: plain, --breakdown, --json; sound and damaged"
fi
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
