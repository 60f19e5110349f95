#!/usr/bin/env bash
# Installs what is missing, builds, and starts vorbel with the given image files.
# The program alone, without tests or benchmarks, in a folder of its own: the
# developer's build folder keeps its own choices.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
bash "$root/scripts/deps.sh" run
cmake -S "$root" -B "$root/build-release" -G Ninja -DVORBEL_TESTS=OFF -DVORBEL_BENCH=OFF \
  -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$root/build-release" --target vorbel
exec "$root/build-release/ui/vorbel" "$@"
