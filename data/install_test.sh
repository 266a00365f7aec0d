#!/usr/bin/env bash
# Installs the built project into a temporary prefix and checks that it is
# a desktop program: both programs, a valid menu entry that opens .QMV
# files, the icon in every size, the data file type. Then builds the Debian
# package and lists what it holds and needs.
#   install_test.sh BUILD_DIR
set -euo pipefail
build=$1
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
fail() {
  echo "FAILED: $*"
  exit 1
}

prefix=$tmp/usr
cmake --install "$build" --prefix "$prefix" >/dev/null
cd "$prefix"

for program in bin/zandorik-dial bin/zandorik-cost; do
  [ -x "$program" ] || fail "$program is not installed"
done
bin/zandorik-cost --help >/dev/null || fail "the installed zandorik-cost does not run"
# Printing is a module that the program loads from beside itself.
[ -f lib/zandorik-dial/libzandorik_print.so ] || fail "the print module is not installed"

entry=share/applications/zandorik-dial.desktop
[ -f "$entry" ] || fail "no desktop entry"
desktop-file-validate "$entry" || fail "desktop-file-validate: $entry"
grep -qx 'Exec=zandorik-dial %f' "$entry" || fail "the entry does not pass the file"
icon=$(sed -n 's/^Icon=//p' "$entry")
mime=$(sed -n 's/^MimeType=\(.*\);$/\1/p' "$entry")

[ -f "share/icons/hicolor/scalable/apps/$icon.svg" ] || fail "no scalable icon"
for size in 16 22 24 32 48 64 128 256; do
  png=share/icons/hicolor/${size}x${size}/apps/$icon.png
  [ "$(identify -format '%wx%h' "$png")" = "${size}x${size}" ] || fail "$png"
done

# The data file type as the desktop sees it: built into a MIME database.
[ -f share/mime/packages/zandorik-dial.xml ] || fail "no MIME type"
update-mime-database share/mime
grep -qix "50:$mime:\*\.qmv" share/mime/globs2 || fail "*.QMV is not $mime"
[ -f "share/mime/${mime}.xml" ] || fail "$mime is not in the MIME database"

# The package: what it installs, under /usr, and what it needs.
cpack -G DEB -B "$tmp/package" --config "$build/CPackConfig.cmake" >/dev/null
deb=$(find "$tmp/package" -maxdepth 1 -name '*.deb')
[ -n "$deb" ] || fail "no .deb"
echo "package: $(basename "$deb")"
contents=$(dpkg-deb -c "$deb")
echo "$contents"
for path in usr/bin/zandorik-dial usr/bin/zandorik-cost usr/lib/zandorik-dial/libzandorik_print.so "usr/$entry" \
  usr/share/mime/packages/zandorik-dial.xml "usr/share/icons/hicolor/scalable/apps/$icon.svg" \
  "usr/share/icons/hicolor/48x48/apps/$icon.png"; do
  grep -q " \./$path\$" <<<"$contents" || fail "the package lacks /$path"
done
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
names=$(tr ',' '\n' <<<"$depends" | awk '{print $1}')
for needed in libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6 libqt6printsupport6 \
  libfontconfig1 qt6-qpa-plugins; do
  grep -qxF "$needed" <<<"$names" || fail "the package does not depend on $needed"
done
[ "$(dpkg-deb -f "$deb" Package)" = zandorik-dial ] || fail "package name"
echo "passed"
