#!/usr/bin/env bash
# The real window end to end under Xvfb: it starts on the demo, a screenshot is taken,
# "Run &All" is pressed from the keyboard, the results appear, and File > Exit closes it
# cleanly, updating the options file.
#   scripts/gui-smoke.sh [BIN_DIR] [SCREENSHOT]
set -euo pipefail
cd "$(dirname "$0")/.."
bin=$(realpath "${1:-build/asan/bin}")
shot=${2:-}

tmp=$(mktemp -d)
xvfb_pid=""
app_pid=""
cleanup() {
  [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$tmp"
}
trap cleanup EXIT
fail() {
  echo "gui-smoke: $*" >&2
  [ -f "$tmp/yearloom.log" ] && tail -20 "$tmp/yearloom.log" >&2
  exit 1
}

# Nothing of the user's: own home, keep and temporary directories.
export HOME="$tmp/home" XDG_CONFIG_HOME="$tmp/home/.config" XDG_CACHE_HOME="$tmp/home/.cache"
export XDG_DATA_HOME="$tmp/home/.local/share" XDG_RUNTIME_DIR="$tmp/run"
export SVKEEP="$tmp/keep" SVTEMP="$tmp/temp"
mkdir -p "$HOME" "$XDG_RUNTIME_DIR" "$SVKEEP" "$SVTEMP"
chmod 700 "$XDG_RUNTIME_DIR"
unset WAYLAND_DISPLAY QT_QPA_PLATFORM

work="$tmp/demo work"
"$bin/yearloom-demo-setup" "$work" >"$tmp/setup.log" 2>&1 || fail "demo setup failed"
# The demo's Sim Details as the last session, so the window opens on it.
keep="$SVKEEP/SVKEEP/YRLMkeep"
mkdir -p "$keep"
ds1=$(ls "$work"/*.ds1)
# With the jobs log on, its last line says when the whole task has ended.
sed 's/^Add to Jobs Log File=.*/Add to Jobs Log File=1/' "$ds1" >"$keep/yearloom.ini"
cp "${ds1%.ds1}.ds2" "$keep/YrlmSim.txt"
before=$(md5sum <"$keep/yearloom.ini")
# What Run All must make, from batch mode on a copy of the demo.
"$bin/yearloom-demo-setup" "$tmp/batch work" >"$tmp/setup2.log" 2>&1 || fail "demo setup failed"
(cd "$tmp/batch work" && mkdir -p "$tmp/batch keep" && SVKEEP="$tmp/batch keep" "$bin/yearloom-batch" all all "$(basename "$ds1")" >"$tmp/batch.log" 2>&1) ||
  { cat "$tmp/batch.log" >&2; fail "batch mode failed on the demo"; }

# A display of our own: Xvfb picks a free number and tells it.
exec 3<> "$tmp/display"
Xvfb -displayfd 3 -screen 0 1600x1000x24 -nolisten tcp >"$tmp/xvfb.log" 2>&1 &
xvfb_pid=$!
for _ in $(seq 50); do
  [ -s "$tmp/display" ] && break
  sleep 0.1
done
[ -s "$tmp/display" ] || fail "Xvfb did not start"
export DISPLAY=":$(head -1 "$tmp/display")"

"$bin/yearloom" >"$tmp/yearloom.log" 2>&1 &
app_pid=$!
wid=$(timeout 30 xdotool search --sync --onlyvisible --name '^Yearloom$' | head -1) ||
  fail "the window did not appear"
xdotool windowfocus --sync "$wid"
sleep 1

# Answers the message boxes that are up with their default button, as a user reading them
# would; says whether there was one.
answer_boxes() {
  local any=1 box
  for box in $(xdotool search --onlyvisible --name '^(Information|Confirm|Warning|Error)$' 2>/dev/null); do
    xdotool windowfocus --sync "$box" && xdotool key Return && any=0
    sleep 0.3
  done
  return $any
}

xdotool key alt+a
# "Beginning simulation(s). ..." asks first.
for _ in $(seq 20); do answer_boxes && break; sleep 0.25; done
sleep 0.3
if [ -n "$shot" ]; then import -window "$wid" "$shot"; fi

for _ in $(seq 1500); do
  grep -q "WHOLE JOB FINISHED OK" "$keep/bigjobs.log" 2>/dev/null && break
  kill -0 "$app_pid" 2>/dev/null || fail "the window died during the run"
  answer_boxes || true
  sleep 0.2
done
grep -q "WHOLE JOB FINISHED OK" "$keep/bigjobs.log" || fail "Run All did not finish"
# Every solution batch mode makes of the demo is there.
count() { find "$1" -maxdepth 1 -name '*.sl4' | wc -l; }
expected=$(count "$tmp/batch work")
results=$(count "$work")
[ "$expected" -gt 0 ] && [ "$results" -eq "$expected" ] ||
  fail "Run All made $results solutions; batch mode makes $expected"
sleep 0.5
# The closing messages.
for _ in $(seq 10); do answer_boxes || break; done

xdotool windowfocus --sync "$wid"
xdotool key alt+f
sleep 0.3
xdotool key x
status=0
for _ in $(seq 100); do
  kill -0 "$app_pid" 2>/dev/null || break
  sleep 0.2
done
if kill -0 "$app_pid" 2>/dev/null; then fail "the window did not close"; fi
wait "$app_pid" || status=$?
app_pid=""
[ "$status" -eq 0 ] || fail "yearloom ended with status $status"
after=$(md5sum <"$keep/yearloom.ini")
[ "$before" != "$after" ] || fail "the options file was not updated"
grep -q '^\[Options\]' "$keep/yearloom.ini" || fail "the options file lacks [Options]"
echo "gui-smoke: window started, Run All made $results solutions, and it closed cleanly"
