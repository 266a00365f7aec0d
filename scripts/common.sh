# Shared by scripts/run and scripts/test: installs what is missing and
# builds. Source it; it sets ROOT and BUILD.
set -euo pipefail
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD="$ROOT/build"

PACKAGES=(
  cmake g++ make
  qt6-base-dev qt6-qpa-plugins libgl-dev libfontconfig-dev
  libgtest-dev libbenchmark-dev rapidjson-dev
  xvfb xauth xdotool imagemagick libx11-dev
  fonts-liberation2
  libcups2-dev cups printer-driver-cups-pdf poppler-utils
  librsvg2-bin desktop-file-utils shared-mime-info dpkg-dev
)

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

install_missing() {
  local missing=()
  for p in "$@"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
      missing+=("$p")
    fi
  done
  if [ "${#missing[@]}" -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    as_root apt-get update -qq
    as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
      "${missing[@]}" >/dev/null
  fi
}

build() {
  local dir=$1
  shift
  cmake -S "$ROOT" -B "$dir" -DCMAKE_BUILD_TYPE=Release "$@" >/dev/null
  cmake --build "$dir" -j"$(nproc)"
}
