# Shared by scripts/run and scripts/test: installs what is missing and
# builds. Source it; it sets ROOT and BUILD.
set -euo pipefail
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD="$ROOT/build"

# What building the programs, their manual pages and their package, and
# running them, need.
RUN_PACKAGES=(
  cmake g++ make dpkg-dev
  qt6-base-dev qt6-qpa-plugins libgl-dev libfontconfig-dev libcups2-dev rapidjson-dev
  librsvg2-bin fonts-liberation2
  pkgconf zlib1g-dev libzbar-dev libqrencode-dev scdoc
)
# A virtual display and a screenshot, for a machine without a display.
DISPLAYLESS_PACKAGES=(xvfb xauth xdotool imagemagick)
# What the tests and the benchmarks need besides.
TEST_PACKAGES=(
  "${DISPLAYLESS_PACKAGES[@]}"
  libgtest-dev libbenchmark-dev libx11-dev
  cups printer-driver-cups-pdf poppler-utils
  desktop-file-utils shared-mime-info appstream man-db lintian git
)

# Runs a command as root: directly, or through sudo.
as_root() {
  if [ "$(id -u)" -eq 0 ]; then
    "$@"
  elif command -v sudo >/dev/null; then
    sudo "$@"
  else
    return 127
  fi
}

install_missing() {
  local missing=()
  for p in "$@"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
      missing+=("$p")
    fi
  done
  [ "${#missing[@]}" -gt 0 ] || return 0
  if [ "$(id -u)" -ne 0 ] && ! command -v sudo >/dev/null; then
    cat >&2 <<END
scripts/$(basename "$0") needs these Debian packages, which are not installed:
  ${missing[*]}
Installing them takes root, and this account is not root and has no sudo.
Have them installed as root, for instance with
  su -c 'apt-get install ${missing[*]}'
then run scripts/$(basename "$0") again.
END
    exit 1
  fi
  echo "Installing: ${missing[*]}"
  as_root apt-get update -qq
  as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends \
    "${missing[@]}"
}

# build DIR [CONFIGURE_ARGUMENT]... [-- BUILD_ARGUMENT]...
build() {
  local dir=$1
  shift
  local configure=()
  while [ "$#" -gt 0 ] && [ "$1" != -- ]; do
    configure+=("$1")
    shift
  done
  [ "$#" -eq 0 ] || shift
  echo "Building in $dir (a first build takes some minutes)"
  cmake -S "$ROOT" -B "$dir" -DCMAKE_BUILD_TYPE=Release "${configure[@]}" >/dev/null
  cmake --build "$dir" -j"$(nproc)" "$@"
}
