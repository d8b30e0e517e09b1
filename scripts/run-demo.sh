#!/usr/bin/env bash
# Builds Yearloom (optimised) and runs the main job headless.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup-deps.sh

build=${YL_BUILD_DIR:-build/release}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF \
  -DYL_BENCHMARKS=OFF
cmake --build "$build" -j "$(nproc)"
"$build/bin/yearloom" --version
"$build/bin/yearloom"
