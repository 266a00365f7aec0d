#!/bin/sh
# `zandorik list` and `zandorik compare` over a 100,000-record data file as
# whole processes, each beside a plain read of the same file, with the
# processor time and peak memory of each.
#   bench/library.sh BUILD [ROUNDS]
# BUILD is a build folder holding zandorik and bench/make_data_file.
set -eu
build=$1
rounds=${2:-3}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$build/bench/make_data_file" "$work/big.QMV" 100000
timed() {
  label=$1
  shift
  i=0
  while [ "$i" -lt "$rounds" ]; do
    /usr/bin/time -f "$label: %e s wall, %U+%S s processor, %M KB peak" "$@" > /dev/null || true
    i=$((i + 1))
  done
}
first=$("$build/zandorik" list "$work/big.QMV" --json | sed -n 's/.*"name":"\([^"\\]*\)".*/\1/p' | head -2)
a=$(echo "$first" | sed -n 1p)
b=$(echo "$first" | sed -n 2p)
timed "plain read of the data file" cat "$work/big.QMV"
timed "zandorik list" "$build/zandorik" list "$work/big.QMV"
timed "zandorik list --sort -points" "$build/zandorik" list "$work/big.QMV" --sort -points
timed "zandorik list --filter charge --sort name" "$build/zandorik" list "$work/big.QMV" --filter charge --sort name
timed "zandorik list --json" "$build/zandorik" list "$work/big.QMV" --json
timed "zandorik compare of two figures (damaged ones: status 3)" sh -c "\"\$0\" compare \"\$1\" \"\$2\" \"\$3\" 2>/dev/null" "$build/zandorik" "$work/big.QMV" "$a" "$b"
