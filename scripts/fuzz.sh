#!/usr/bin/env bash
# Builds the libFuzzer targets with clang in build/fuzz and runs each for SECONDS
# (default 60), one after the other, then prints executions, exec/s and findings per
# target.
#
#   scripts/fuzz.sh [SECONDS] [TARGET...]
#
# Seeds come from fuzz/corpus/<target>/ (read only; new inputs go to
# build/fuzz/corpus/<target>/). A crash, hang, leak or out-of-memory input is kept in
# fuzz/crashes/<target>/, where the ordinary test run replays it; commit it with the fix.
set -uo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-60}
shift || true
build=$root/build/fuzz

clangxx=$(command -v clang++ || command -v clang++-14 || true)
if [ -z "$clangxx" ]; then
  echo "fuzz.sh: clang++ not found (scripts/setup-deps.sh installs it)" >&2
  exit 2
fi
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)

if [ ! -f "$build/build.ninja" ]; then
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_CXX_COMPILER="$clangxx" \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g" \
    -DYL_FUZZERS=ON -DBUILD_TESTING=OFF -DYL_BENCHMARKS=OFF "${launcher[@]}" >/dev/null || exit 2
fi

if [ $# -gt 0 ]; then
  targets=("$@")
else
  targets=()
  for f in "$root"/fuzz/*_fuzz.cpp; do
    n=$(basename "$f" _fuzz.cpp)
    targets+=("$n")
  done
fi

# YL_FUZZ_NO_BUILD=1 runs what is built already (while another build is going on).
if [ -z "${YL_FUZZ_NO_BUILD:-}" ]; then
  cmake --build "$build" --target "${targets[@]/#/fuzz_}" || exit 2
fi

mkdir -p "$build/tmp"
summary=()
status=0
for t in "${targets[@]}"; do
  corpus=$build/corpus/$t
  crashes=$root/fuzz/crashes/$t
  log=$build/logs/$t.log
  mkdir -p "$corpus" "$crashes" "$(dirname "$log")"
  echo "== fuzz_$t for ${seconds}s"
  # The CPU time the target got: on shared cores, executions per CPU second say more about
  # the target than executions per second of wall time.
  TIMEFORMAT=%U
  { time TMPDIR=$build/tmp "$build/bin/fuzz_$t" -max_total_time="$seconds" -timeout=10 \
    -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$crashes/" \
    "$corpus" "$root/fuzz/corpus/$t" >"$log" 2>&1; } 2>"$log.cpu"
  # Any failure (crash, sanitizer report, hang, leak) leaves a test unit behind.
  rc=$(grep -c 'Test unit written to\|ERROR: \|runtime error\|deadly signal' "$log")
  cpu=$(tail -1 "$log.cpu")
  runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' | tail -1)
  rate=$(grep -o 'exec/s: *[0-9]*' "$log" | grep -o '[0-9]*$' | tail -1)
  finding=none
  if [ "$rc" -ne 0 ]; then
    finding=$(grep -m1 -o 'ERROR: [A-Za-z]*: [^ ]*\|ERROR: libFuzzer: [a-z-]*\|runtime error: .*\|deadly signal' \
      "$log" || echo "failed")
    status=1
  fi
  rmdir "$crashes" 2>/dev/null
  per_cpu=$(awk -v n="${runs:-0}" -v c="${cpu:-0}" 'BEGIN { if (c > 0) printf "%d", n / c; else print "?" }')
  summary+=("$(printf '%-18s %10s %8s %10s  %s' "$t" "${runs:-?}" "${rate:-?}" "$per_cpu" "$finding")")
done

echo
printf '%-18s %10s %8s %10s  %s\n' target execs exec/s exec/cpu-s findings
printf '%s\n' "${summary[@]}"
echo "(logs in $build/logs)"
exit $status
