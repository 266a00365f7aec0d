#!/usr/bin/env bash
# Prints the main window, then a dial sheet, then a team (its roster and
# dials), then a sheet of chosen figures, for real and checks the pages
# that arrive (scanned, the codes give back the figures' records byte for
# byte).
#
# On a private CUPS spooler (private_spooler.sh) whose default printer is
# a cups-pdf printer. Then the printer refuses jobs, then it is removed,
# and "&Print" must say so while the program keeps running.
#   print_test.sh PRINT_CHECK ZANDORIK EXAMPLES.QMV
set -euo pipefail
check=$1 zandorik=$2 examples=$3

# cups-pdf only runs as root, and the spooler must start it as root.
if [ "$(id -u)" -ne 0 ]; then
  echo "skipped: cups-pdf needs a spooler running as root"
  exit 77
fi

source "$(dirname "${BASH_SOURCE[0]}")/private_spooler.sh"

"$check" print || fail "printing from the window"

# The page arrives when the spooler has run the filters and the backend.
pdf=$(wait_for_pdf)
echo "arrived: ${pdf#"$tmp/"}"
pages=$(pdfinfo "$pdf" | awk '/^Pages:/ {print $2}')
[ "$pages" = 1 ] || fail "$pages pages, not one"
pdftoppm -r 100 -png -singlefile "$pdf" "$tmp/page"
"$check" page "$tmp/page.png" || fail "the printed page"
rm -f "$pdf"

# The dial sheet at actual size: its ruler measures 100 mm on the page.
"$check" sheet || fail "printing the dial sheet"
pdf=$(wait_for_pdf)
echo "arrived: ${pdf#"$tmp/"} ($(pdfinfo "$pdf" | awk '/^Page size:/ {$1=$2=""; print}'))"
pdftoppm -r 300 -png -singlefile "$pdf" "$tmp/sheet"
"$check" ruler "$tmp/sheet.png" 300 || fail "the printed sheet's ruler"
# Its share code, scanned as a scanner gives the page, is the figure's.
[ "$("$zandorik" scan "$tmp/sheet.png" | cut -f2)" = "$("$check" code)" ] ||
  fail "the printed sheet's code is not the figure's"
rm -f "$pdf"

# A 300-point team built in the team window from the sample figures,
# saved, opened again and printed: its roster, then a dial for each figure
# fielded (Tidewalker twice, Alley Cat, Worked twice), all in one job.
mkdir "$tmp/team"
"$check" team "$examples" "$tmp/team" || fail "printing the team"
pdf=$(wait_for_pdf)
[ "$(find "$tmp/pdf" -name '*.pdf' | wc -l)" = 1 ] || fail "the team came in more than one job"
pages=$(pdfinfo "$pdf" | awk '/^Pages:/ {print $2}')
echo "arrived: ${pdf#"$tmp/"} ($pages pages)"
[ "$pages" = 3 ] || fail "the team came out on $pages pages, not the roster and two of dials"
# Each page as the program draws it from the saved team file (both read
# the same way), and the printed dials' codes give back the three figures.
"$zandorik" team sheet "$tmp/team/alley-runners.json" -o "$tmp/team/drawn.pdf" >/dev/null ||
  fail "drawing the team's pages"
pdftoppm -q -r 100 -png "$tmp/team/drawn.pdf" "$tmp/team/drawn"
pdftoppm -q -r 100 -png "$pdf" "$tmp/team/printed"
for page in 1 2 3; do
  "$check" same "$tmp/team/printed-$page.png" "$tmp/team/drawn-$page.png" ||
    fail "printed page $page of the team"
done
pdftoppm -q -r 300 -png -f 2 "$pdf" "$tmp/team/dials"
[ "$("$zandorik" scan "$tmp"/team/dials-*.png | cut -f1 | sort | tr '\n' ,)" = "Alley Cat,Tidewalker,Worked," ] ||
  fail "the printed dials are not the team's figures"
echo "the roster and a dial for each figure fielded"
rm -f "$pdf"

# Three sample figures out of their order (records 7, 3, 2), printed,
# scanned at 300 dpi into a new data file: their records.
"$zandorik" sheet -o "$tmp/chosen.pdf" "$examples" "Alley Cat" Tidewalker "Ember Sprite" >/dev/null
lp "$tmp/chosen.pdf" >/dev/null || fail "printing the chosen figures' sheet"
pdftoppm -q -r 300 -png -singlefile "$(wait_for_pdf)" "$tmp/chosen"
"$zandorik" scan -o "$tmp/new.QMV" "$tmp/chosen.png" >/dev/null || fail "scanning the printed sheet"
for record in 6 2 1; do
  dd if="$examples" bs=486 skip="$record" count=1 status=none
done >"$tmp/chosen.QMV"
cmp "$tmp/new.QMV" "$tmp/chosen.QMV" || fail "the scanned figures differ from the printed ones"
echo "the printed codes give back the figures' records"

# A printer that refuses jobs, then no printer at all: each time a
# message, and the program goes on.
cupsreject ZandorikPDF
"$check" cannot-print || fail "printing on a printer that refuses jobs"
lpadmin -x ZandorikPDF
"$check" cannot-print || fail "printing with no printer"
echo "passed"
