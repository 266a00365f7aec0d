#!/usr/bin/env bash
# Starts the built program on a virtual display and checks its window:
# the title, 423 pixels wide, a 237-pixel client area under the menu bar.
# Keeps a screenshot. Further arguments go to the program.
#   smoke_test.sh PROGRAM SCREENSHOT [ARGUMENT]...
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/../src/testing/window/window_session.sh" "$@"
shift
program=$1
shot=$2
shift 2
# Without a file the title is the caption alone; with one, its name first.
title="Zandorik Dial Generator"
if [ $# -gt 0 ]; then title="$(basename "${@: -1}") - $title"; fi
start_window "^${title//./\\.}\$" "$program" "$@"

name=$(xdotool getwindowname "$main")
echo "window '$name': ${WIDTH}x${HEIGHT}"
[ "$name" = "$title" ] || fail "title is '$name'"
[ "$WIDTH" -eq 423 ] || fail "width is $WIDTH, not 423"
[ "$menu" -ge 15 ] && [ "$menu" -le 40 ] || fail "height $HEIGHT leaves $menu for the menu bar"
import -window "$main" "$shot"
echo "screenshot: $shot"
