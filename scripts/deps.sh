#!/usr/bin/env bash
# Installs the Debian packages that are missing; quiet when everything is there.
# Usage: scripts/deps.sh [run|test]
set -euo pipefail
packages=(build-essential cmake ninja-build pkg-config
  libwxgtk3.2-dev libgtk-3-dev libcairo2-dev libpango1.0-dev libx11-dev libpng-dev libjpeg62-turbo-dev libtiff-dev
  fonts-liberation2 fonts-dejavu-core librsvg2-common)
if [ "${1:-run}" = test ]; then
  packages+=(libgtest-dev libgmock-dev libbenchmark-dev xvfb xauth x11-apps imagemagick
    python3-pil clang libclang-rt-14-dev xclip libopencv-dev openbox)
fi
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
