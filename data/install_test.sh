#!/usr/bin/env bash
# Installs the built project into a temporary prefix and checks that it is
# a desktop program: the programs (--version, refused options and manual
# pages, with and without a display), a valid menu entry that opens .QMV
# files, the icon in every size, the data file type, the AppStream entry.
# Then builds the Debian package, lists what it holds and needs, and has
# lintian check it: no error, no warning.
#   install_test.sh BUILD_DIR VERSION
set -euo pipefail
fail() {
  echo "FAILED: $*"
  exit 1
}

# Each installed program: its --version line, an unknown option and a second
# file refused with status 2, its manual page rendered without a warning and
# naming every option of --help. Run once without a display and once on a
# virtual one.
check_programs() {
  local prefix=$1 version=$2 program name out status
  for program in "$prefix"/bin/*; do
    name=$(basename "$program")
    out=$("$program" --version) || fail "$name --version: status $?"
    [ "$out" = "$name $version" ] || fail "$name --version says '$out'"
    status=0
    out=$("$program" --no-such-option 2>&1) || status=$?
    [ "$status" -eq 2 ] || fail "$name --no-such-option: status $status"
    grep -q -- '--no-such-option' <<<"$out" || fail "$name does not name the unknown option: $out"
    status=0
    "$program" one.QMV two.QMV >/dev/null 2>&1 || status=$?
    [ "$status" -eq 2 ] || fail "$name with two files: status $status"

    local page=$prefix/share/man/man1/$name.1.gz text warnings
    [ -f "$page" ] || fail "no manual page for $name"
    warnings=$(LC_ALL=C MANWIDTH=80 man --warnings -l "$page" 2>&1 >/dev/null) || fail "man -l $page"
    [ -z "$warnings" ] || fail "man -l $page: $warnings"
    text=$(LC_ALL=C MANWIDTH=80 MANROFFOPT=-rHY=0 man -l "$page" 2>/dev/null | col -b)
    grep -qx 'EXAMPLES' <<<"$text" || fail "$name.1 has no EXAMPLES section"
    # Bold or italics that run past their line are a markup slip.
    if zcat "$page" | grep -nE '\\f[BI]([^\\]|\\[^f])*$'; then fail "$name.1: a markup slip (above)"; fi
    for option in $("$program" --help | grep -oE '(^|[[:space:][,])--?[a-z][a-z-]*' | sed 's/^[^-]*//' | sort -u); do
      grep -qF -- "$option" <<<"$text" || fail "$name.1 lacks $option, which --help names"
    done
  done
}
if [ "${1:-}" = --check-programs ]; then
  check_programs "$2" "$3"
  exit 0
fi

script=$(realpath "${BASH_SOURCE[0]}")
build=$(realpath "$1")
version=$2
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

prefix=$tmp/usr
cmake --install "$build" --prefix "$prefix" >/dev/null
cd "$prefix"

for program in bin/zandorik-dial bin/zandorik-cost; do
  [ -x "$program" ] || fail "$program is not installed"
done
bin/zandorik-cost --help >/dev/null || fail "the installed zandorik-cost does not run"
# Printing is a private module that the program loads from its own folder.
module=$(find lib -path '*/zandorik-dial/libzandorik_print.so')
[ -n "$module" ] || fail "the print module is not installed"
# zandorik runs its private zandorik-draw for the commands that draw.
draw=libexec/zandorik-dial/zandorik-draw
[ -x "$draw" ] || fail "$draw is not installed"
env -u DISPLAY -u WAYLAND_DISPLAY bin/zandorik sheet -o "$tmp/sheet.pdf" \
  share/doc/zandorik-dial/examples/figures.QMV >/dev/null || fail "the installed zandorik sheet"
[ "$(head -c 5 "$tmp/sheet.pdf")" = %PDF- ] || fail "the installed zandorik sheet wrote no PDF"

env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$script" --check-programs "$prefix" "$version"
xvfb-run -a "$script" --check-programs "$prefix" "$version"
# Without a display the window program says so and ends with 1, whether
# the platform is the desktop's or named.
for platform in "" xcb; do
  status=0
  out=$(env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=$platform bin/zandorik-dial 2>&1) || status=$?
  [ "$status" -eq 1 ] || fail "zandorik-dial without a display (platform '$platform'): status $status"
  grep -q "zandorik-dial: .*display" <<<"$out" || fail "no word of the display: $out"
done

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

# The change log's last entry is this version's.
changelog=$(zcat share/doc/zandorik-dial/changelog.gz)
head -n 1 <<<"$changelog" | grep -qF "zandorik-dial ($version)" ||
  fail "the change log does not begin with $version"

# The software centres' entry: valid, and for the menu entry's file type.
metainfo=$(find share/metainfo -name '*.metainfo.xml')
[ "$(wc -l <<<"$metainfo")" -eq 1 ] || fail "metainfo: $metainfo"
report=$(appstreamcli validate --no-net "$metainfo" 2>&1) || fail "appstreamcli validate: $report"
if grep -E '^[EW]:' <<<"$report"; then fail "appstreamcli validate: $report"; fi
grep -q "<mediatype>$mime</mediatype>" "$metainfo" || fail "the AppStream entry lacks $mime"
grep -q "<id>$(basename "$metainfo" .metainfo.xml)</id>" "$metainfo" || fail "metainfo file name and ID differ"
# The release is dated as its change log entry is, whatever the day of the build.
released=$(sed -n '0,/^ -- /s/^ -- .*>  //p' <<<"$changelog")
grep -qF "<release version=\"$version\" date=\"$(date -u -d "$released" +%F)\"/>" "$metainfo" ||
  fail "the AppStream release is not dated $released"

# The package: what it installs, under /usr, and what it needs.
cpack -G DEB -B "$tmp/package" --config "$build/CPackConfig.cmake" >/dev/null
deb=$(find "$tmp/package" -maxdepth 1 -name '*.deb')
[ -n "$deb" ] || fail "no .deb"
echo "package: $(basename "$deb")"
contents=$(dpkg-deb -c "$deb")
echo "$contents"
for path in usr/bin/zandorik-dial usr/bin/zandorik usr/bin/zandorik-cost "usr/$module" "usr/$draw" \
  "usr/$entry" \
  usr/share/man/man1/zandorik-dial.1.gz usr/share/man/man1/zandorik.1.gz \
  usr/share/man/man1/zandorik-cost.1.gz usr/share/doc/zandorik-dial/examples/figures.QMV \
  usr/share/doc/zandorik-dial/copyright usr/share/doc/zandorik-dial/changelog.gz "usr/$metainfo" \
  usr/share/mime/packages/zandorik-dial.xml "usr/share/icons/hicolor/scalable/apps/$icon.svg" \
  "usr/share/icons/hicolor/48x48/apps/$icon.png"; do
  grep -q " \./$path\$" <<<"$contents" || fail "the package lacks /$path"
done
# Each program is named where a user reads what the package holds.
description=$(dpkg-deb -f "$deb" Description)
for program in zandorik-dial zandorik zandorik-cost; do
  word="(?<![\\w-])$program(?![\\w-])"
  grep -qP "$word" <<<"$description" || fail "the package's description does not name $program"
  grep -qP "$word" <<<"$changelog" || fail "the change log does not name $program"
  grep -q "<binary>$program</binary>" "$metainfo" || fail "the AppStream entry does not provide $program"
  sed -n '/<description>/,/<\/description>/p' "$metainfo" | grep -qP "$word" ||
    fail "the AppStream description does not name $program"
done
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
names=$(tr ',' '\n' <<<"$depends" | awk '{print $1}')
for needed in libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6 libqt6printsupport6 \
  libfontconfig1 qt6-qpa-plugins; do
  grep -qxF "$needed" <<<"$names" || fail "the package does not depend on $needed"
done
[ "$(dpkg-deb -f "$deb" Package)" = zandorik-dial ] || fail "package name"
[ "$(dpkg-deb -f "$deb" Section)" = utils ] || fail "section"
# No maintainer scripts: the package needs none.
control=$(dpkg-deb --ctrl-tarfile "$deb" | tar -t | grep -v '/$' | sort | tr '\n' ' ')
[ "$control" = "./control ./md5sums " ] || fail "control members: $control"

# Debian's checker, with every tag shown: errors and warnings fail.
status=0
report=$(lintian -EvIL +pedantic --fail-on error,warning "$deb" 2>&1) || status=$?
echo "$report"
[ "$status" -eq 0 ] || fail "lintian: status $status"
if grep -E '^[EW]: ' <<<"$report"; then fail "lintian"; fi
echo "passed"
