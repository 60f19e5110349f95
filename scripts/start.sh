#!/usr/bin/env bash
# Installs what is missing, builds, and starts vorbel with the given image files.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
bash "$root/scripts/deps.sh" run
cmake -S "$root" -B "$root/build" -G Ninja -DVORBEL_TESTS=OFF -DVORBEL_BENCH=OFF -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$root/build" --target vorbel
exec "$root/build/ui/vorbel" "$@"
