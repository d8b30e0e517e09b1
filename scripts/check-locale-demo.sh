#!/usr/bin/env bash
# Runs the demo's main job twice, under LC_ALL=C and under a comma-decimal locale, and
# compares every CSV result and the other text files of the run byte for byte. Our
# programs never call setlocale themselves (a Qt window will), so a small preloaded
# library makes every process of the second run adopt the locale from the environment
# first, as such a program would.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup-deps.sh

export YL_BUILD_DIR=${YL_BUILD_DIR:-build/locale}
demo=${YL_DEMO_DIR:-/tmp/locdemo}
locale_name=${YL_COMMA_LOCALE:-de_DE.UTF-8}
out="$PWD/$YL_BUILD_DIR/locale-check"
mkdir -p "$out"

cat >"$out/adopt_locale.c" <<'C'
#include <locale.h>
__attribute__((constructor)) static void AdoptLocale(void) { setlocale(LC_ALL, ""); }
C
cat >"$out/probe.c" <<'C'
#include <stdio.h>
int main(void) { printf("%.1f\n", 0.5); return 0; }
C
cc -shared -fPIC -o "$out/adopt_locale.so" "$out/adopt_locale.c"
cc -o "$out/probe" "$out/probe.c"
probe=$(LD_PRELOAD="$out/adopt_locale.so" LC_ALL="$locale_name" "$out/probe")
if [ "$probe" != "0,5" ]; then
  echo "The preloaded locale does not write comma decimals (got \"$probe\")" >&2
  exit 1
fi

run() {  # NAME LOCALE [PRELOAD]
  rm -rf "$demo"
  LC_ALL=$2 LD_PRELOAD=${3:-} YL_DEMO_DIR="$demo" bash scripts/run-demo.sh >"$out/$1.log" 2>&1 || {
    echo "The demo failed under $2; see $out/$1.log" >&2
    return 1
  }
  rm -rf "${out:?}/$1"
  mkdir -p "$out/$1"
  # The text files of the run: results, command and stored-input files, BOT shocks,
  # solution information, settings. Logs carry times and HAR files their creation time.
  (cd "$demo" && find . -type f \( -name '*.csv' -o -name '*.cmf' -o -name '*.sti' \
    -o -name '*.st[0-9]' -o -name '*.bot' -o -name '*.sli' -o -name '*.seq' -o -name '*.map' \
    -o -name '*.ds[12]' -o -name '*.ini' -o -name '*.rpt' -o -name '*.top' \) -print0 |
    xargs -0 cp --parents -t "$out/$1")
  # Which slot solves a year depends on timing, and a command file names the data of the
  # slot it runs in (so do BOT shocks): compare those names without their slot directory.
  find "$out/$1" \( -name '*.cmf' -o -name '*.top' -o -name '*.bot' \) -exec sed -i \
    -e "s#$demo/scratch/SVTEMP/YRLMtemp/simdir[0-9]/##g" -e "s#$demo/work/##g" {} +
}

LC_ALL=C cmake -S . -B "$YL_BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF \
  -DYL_BENCHMARKS=OFF -DCMAKE_CXX_COMPILER_LAUNCHER=ccache >/dev/null
LC_ALL=C cmake --build "$YL_BUILD_DIR" -j "$(nproc)" >/dev/null
run c C
run comma "$locale_name" "$out/adopt_locale.so"
csv=$(find "$out/c" -name '*.csv' | wc -l)
count=$(find "$out/c" -type f | wc -l)
if [ "$csv" -eq 0 ]; then
  echo "The demo wrote no CSV results" >&2
  exit 1
fi
if diff -r "$out/c" "$out/comma" >"$out/diff.txt"; then
  echo "All $count text files ($csv CSV results) are byte for byte the same under C and" \
    "$locale_name."
else
  echo "The files differ under $locale_name; see $out/diff.txt" >&2
  exit 1
fi
