#!/bin/sh
# Export and import of a 100,000-record data file as whole processes, each
# beside a plain read of the same file, with the peak memory of each.
#   bench/figure_text.sh BUILD [ROUNDS]
# BUILD is a build folder holding zandorik and bench/make_data_file.
set -eu
build=$1
rounds=${2:-3}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$build/bench/make_data_file" "$work/big.QMV" 100000
"$build/zandorik" export "$work/big.QMV" -o "$work/big.json"
echo "data file: $(stat -c %s "$work/big.QMV") bytes; document: $(stat -c %s "$work/big.json") bytes"
timed() {
  label=$1
  shift
  i=0
  while [ "$i" -lt "$rounds" ]; do
    rm -f "$work/new.QMV"
    /usr/bin/time -f "$label: %e s, %M KB peak" "$@" > /dev/null
    i=$((i + 1))
  done
}
timed "plain read of the data file" cat "$work/big.QMV"
timed "export" "$build/zandorik" export "$work/big.QMV" -o "$work/out.json"
"$build/bench/make_data_file" "$work/small.QMV" 10000
timed "export of 10,000 records (memory stays flat)" "$build/zandorik" export "$work/small.QMV" -o "$work/small.json"
timed "plain read of the document" cat "$work/big.json"
timed "import into a new data file" "$build/zandorik" import "$work/new.QMV" "$work/big.json"
cp "$work/big.QMV" "$work/again.QMV"
timed "import over the same figures (all replaced)" "$build/zandorik" import "$work/again.QMV" "$work/big.json"
