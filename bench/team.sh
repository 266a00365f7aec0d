#!/usr/bin/env bash
# Whole-process time and peak memory of `zandorik team sheet`: a team of 20
# entries (the sample figures, each from four copies of the data file) to
# one PDF, its roster and a dial for each; beside two baselines in the same
# rounds: `zandorik sheet` of the same 20 figures (the dials alone) and
# `zandorik team show` of the team (reading and pricing it). RUNS rounds
# (default 7); prints the median wall time, the median processor time and
# the largest peak memory of each. No display is used.
#   bench/team.sh BUILD_DIR [RUNS]
set -euo pipefail
build=$(cd "$1" && pwd)
runs=${2:-7}
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

names=(Worked "Ember Sprite" Tidewalker "Granite Warden" "Nightglass Seer" "Alley Cat")
"$build/zandorik" team new "$tmp/twenty.json" --cap 1000000 >/dev/null
for i in $(seq 0 19); do
  copy=$tmp/copy$((i / 6)).QMV
  [ -f "$copy" ] || cp "$root/examples/figures.QMV" "$copy"
  "$build/zandorik" team add "$tmp/twenty.json" "$copy" "${names[i % 6]}" >/dev/null
done
# The same 20 figures in one data file, for the dials alone.
for i in $(seq 0 19); do
  skip=$(echo "0 1 2 4 5 6" | cut -d' ' -f$((i % 6 + 1)))
  dd if="$root/examples/figures.QMV" bs=486 skip="$skip" count=1 status=none
done >"$tmp/twenty.QMV"

declare -A cmd=(
  [show]="$build/zandorik team show $tmp/twenty.json"
  [sheet20]="$build/zandorik sheet -o $tmp/dials.pdf $tmp/twenty.QMV"
  [team20]="$build/zandorik team sheet $tmp/twenty.json -o $tmp/team.pdf"
)
order=(show sheet20 team20)
source "$root/bench/rounds.sh"
time_rounds "$runs" "$tmp"
echo "pages: team $(pdfinfo "$tmp/team.pdf" | awk '/^Pages:/ {print $2}'), dials alone $(pdfinfo "$tmp/dials.pdf" | awk '/^Pages:/ {print $2}')"
