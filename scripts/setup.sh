#!/usr/bin/env bash
# Installs every Debian package that building, testing and running the demo need.
# Idempotent: when everything is already installed it does nothing.
set -euo pipefail

packages=(
  g++ cmake ninja-build ccache pkg-config   # toolchain
  libgtest-dev libgmock-dev                  # unit tests
  libbenchmark-dev                           # benchmarks
  zlib1g-dev                                 # reference CRC-32 in tests
  libpng-dev libjpeg-dev                     # image files
  libfreetype-dev libfontconfig-dev fonts-dejavu-core  # text
  libpixman-1-dev                            # reference rasteriser in the graphics benchmarks
  libeigen3-dev libopenblas-dev              # references in the matrix benchmarks
  libx11-dev                                 # the X11 backend
  xvfb                                       # X server for the X11 backend's tests
)

missing=()
for pkg in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$pkg")
done

if [[ ${#missing[@]} -eq 0 ]]; then
  exit 0
fi

echo "setup: installing ${missing[*]}"
as_root=()
if [[ $(id -u) -ne 0 ]]; then
  as_root=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
"${as_root[@]}" apt-get update -q
"${as_root[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
