#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh test
cmake -S . -B build-test -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVORBEL_TESTS=ON -DVORBEL_BENCH=ON >/dev/null
cmake --build build-test
cd build-test
ctest --output-on-failure -j"$(nproc)" -L core
if ctest -N -L ui | grep -q 'Total Tests: [1-9]'; then
  bash ../scripts/window_tests.sh .
fi
