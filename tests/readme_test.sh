#!/usr/bin/env bash
# Runs the README's commands, in order, on a fresh clone of the repository,
# as a new user would: every block fenced as ```sh, one after the other in
# one shell started at the top of the clone. Blocks fenced otherwise
# (```sh as-root, ```text) are shown, not run. Changes to tracked files not
# yet committed are carried into the clone, so that a README being written
# is the one tried.
#   readme_test.sh SOURCE_DIR WORK_DIR
# WORK_DIR is emptied first. There is no display: scripts/run takes its
# screenshot on a virtual one. ccache is used when installed.
set -euo pipefail
fail() {
  echo "FAILED: $*"
  exit 1
}
source=$(realpath "$1")
work=$2
if ! git -C "$source" rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  echo "$source is not a git checkout: nothing to clone"
  exit 77
fi

rm -rf "$work"
mkdir -p "$work"
clone=$(realpath "$work")/clone
git -c advice.detachedHead=false clone --quiet "$source" "$clone"
git -C "$source" diff HEAD --binary | git -C "$clone" apply --allow-empty
echo "clone of $(git -C "$clone" rev-parse --short HEAD) in $clone"

commands=$work/readme-commands.sh
awk '
  /^```/ && running { running = 0; next }
  /^```sh$/ { running = 1; blocks++; next }
  running { print }
  END { if (blocks == 0) exit 1 }
' "$clone/README.md" >"$commands" || fail "README.md has no \`\`\`sh block"
echo "the README's commands:"
cat "$commands"

cd "$clone"
if command -v ccache >/dev/null; then export CMAKE_CXX_COMPILER_LAUNCHER=ccache; fi
env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM bash -euxo pipefail "$commands" ||
  fail "a command of the README failed (above)"

# What the README promises of what the commands made.
for program in zandorik-dial zandorik zandorik-cost; do
  find build -name "$program" -type f -perm -u+x | grep -q . || fail "no program $program in build/"
done
deb=$(find build -maxdepth 1 -name 'zandorik-dial_*.deb')
[ -n "$deb" ] || fail "the README's package step made no .deb in build/"
contents=$(dpkg-deb -c "$deb")
for page in zandorik-dial zandorik zandorik-cost; do
  grep -q " \./usr/share/man/man1/$page\.1\.gz\$" <<<"$contents" || fail "$deb lacks $page(1)"
done
echo "passed"
