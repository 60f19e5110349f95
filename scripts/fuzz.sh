#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for the given seconds
# (default 20) on a copy of its seed corpus.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-20}
CC=clang CXX=clang++ cmake -S fuzz -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build-fuzz
for exe in build-fuzz/*_fuzz; do
  [ -f "$exe" ] && [ -x "$exe" ] || continue  # not the corpus copies beside them
  name=$(basename "$exe")
  work=build-fuzz/corpus-$name
  mkdir -p "$work"
  [ -d "fuzz/corpus/$name" ] && cp -n fuzz/corpus/"$name"/* "$work"/ 2>/dev/null || true
  echo "== $name for ${seconds}s"
  "$exe" -max_total_time="$seconds" -max_len=65536 -rss_limit_mb=2048 -print_final_stats=1 "$work" 2>&1 | tail -n 12
done
