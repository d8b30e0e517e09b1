#!/usr/bin/env bash
# Builds Yearloom (optimised), lays out the demo working directory and runs the main job
# headless: the Base, the Base Rerun and the Policy of the ten-year demo model with three
# concurrent solves, then the assembled results. Run it again to reproduce the results.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup-deps.sh

build=${YL_BUILD_DIR:-build/release}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF \
  -DYL_BENCHMARKS=OFF
cmake --build "$build" -j "$(nproc)"
bin="$PWD/$build/bin"
"$bin/yearloom" --version

# The demo keeps its own keep and temporary directories, so it never touches a user's
# settings or logs.
demo=${YL_DEMO_DIR:-$PWD/demo-run}
export SVKEEP="$demo/settings" SVTEMP="$demo/scratch"
keep="$SVKEEP/SVKEEP/YRLMkeep"
mkdir -p "$keep" "$SVTEMP"
chmod 700 "$demo" "$SVKEEP" "$SVTEMP"
if [ ! -f "$keep/yearloom.ini" ]; then
  printf '%s\n' "[Environment]" "Allow 2 Concurrent Solves=1" "Allow 3 Concurrent Solves=1" \
    "Add to Jobs Log File=1" >"$keep/yearloom.ini"
fi

"$bin/yearloom-demo-setup" "$demo/work"
cd "$demo/work"
"$bin/yearloom" all all demomodel-BS1B-BR1R-PL1P.ds1
echo
echo "The demo's results are in $demo/work:"
echo "  per-year solutions:        *.sl4 (read them with: $bin/yearloom-har list FILE)"
echo "  year-on-year, cumulative:  $(ls -- *ss*.csv 2>/dev/null | head -3 | tr '\n' ' ')..."
echo "  Policy minus Base:         $(ls -- *dev*.csv 2>/dev/null | head -3 | tr '\n' ' ')..."
echo "Logs: $keep/bigjobs.log and $keep/BatchJobs.log"
