#!/bin/sh
# The seed corpus of the figures reader's fuzz target, written into OUT:
# the example of docs/figure-format.md, an export of examples/figures.QMV
# (whole, and its figure "Worked" alone) and the small cases of seeds/.
# Usage: make_corpus.sh ZANDORIK SOURCE_DIR OUT
set -eu
zandorik=$1 source=$2 out=$3
mkdir -p "$out"
sed -n '/^```json$/,/^```$/{/^```/d;p;}' "$source/docs/figure-format.md" >"$out/format-example.json"
"$zandorik" export "$source/examples/figures.QMV" >"$out/examples.json"
"$zandorik" export "$source/examples/figures.QMV" Worked >"$out/worked.json"
cp "$source"/tools/fuzz/seeds/* "$out/"
