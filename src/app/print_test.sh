#!/usr/bin/env bash
# Prints the main window, then a dial sheet, for real and checks the pages
# that arrive.
#
# On a private CUPS spooler (private_spooler.sh) whose default printer is
# a cups-pdf printer. Then the printer refuses jobs, then it is removed,
# and "&Print" must say so while the program keeps running.
#   print_test.sh PRINT_CHECK
set -euo pipefail
check=$1

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

# A printer that refuses jobs, then no printer at all: each time a
# message, and the program goes on.
cupsreject ZandorikPDF
"$check" cannot-print || fail "printing on a printer that refuses jobs"
lpadmin -x ZandorikPDF
"$check" cannot-print || fail "printing with no printer"
echo "passed"
