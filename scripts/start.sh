#!/usr/bin/env bash
# Installs what is missing, builds, and starts vorbel.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh run
cmake -S . -B build -G Ninja -DVORBEL_BENCH=OFF -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build --target all
if [ -x build/ui/vorbel ]; then
  exec build/ui/vorbel "$@"
fi
echo "The engine library is built; the application window does not exist yet."
