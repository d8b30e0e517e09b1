#!/usr/bin/env bash
# Builds everything with AddressSanitizer and UndefinedBehaviorSanitizer, warnings as
# errors, and runs the whole test suite. Exits non-zero on any failure.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup-deps.sh

build=${YL_TEST_BUILD_DIR:-build/asan}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DYL_SANITIZE=ON -DYL_WERROR=ON \
  -DCMAKE_CXX_FLAGS="-O1"
cmake --build "$build" -j "$(nproc)"

# The tests make their own scratch directories; keep them inside the build tree.
export YL_TEST_SCRATCH="$PWD/$build/scratch"
mkdir -p "$YL_TEST_SCRATCH"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export LSAN_OPTIONS="suppressions=$PWD/scripts/lsan.supp:print_suppressions=0"
ctest --test-dir "$build" --output-on-failure -j "$(nproc)"
# The real window under Xvfb, driven from the keyboard.
bash scripts/gui-smoke.sh "$build/bin"
