#!/usr/bin/env bash
# Builds the .deb, checks its desktop entries and metadata, installs it as Debian installs
# a package, runs the installed program on the demo, and removes the package again. It
# installs system-wide, so it wants root (CI runs it on a fresh machine).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup-deps.sh

SUDO=""
if [ "$(id -u)" -ne 0 ]; then
  if ! sudo -n true 2>/dev/null; then
    echo "package-test: needs root or password-less sudo to install the package" >&2
    exit 1
  fi
  SUDO="sudo"
fi

desktop-file-validate packaging/*.desktop
appstreamcli validate --no-net packaging/org.yearloom.Yearloom.metainfo.xml

build=${YL_PACKAGE_BUILD_DIR:-build/release}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF \
  -DYL_BENCHMARKS=OFF
cmake --build "$build" -j "$(nproc)"
rm -f "$build"/yearloom_*.deb
(cd "$build" && cpack -G DEB)
deb=$(ls "$PWD/$build"/yearloom_*.deb)
dpkg-deb --info "$deb" | grep -E 'Package|Version|Depends'

DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "$deb"
trap 'DEBIAN_FRONTEND=noninteractive $SUDO apt-get remove -y -qq yearloom' EXIT
/usr/bin/yearloom --version
test -f /usr/share/applications/org.yearloom.Yearloom.desktop
test -f /usr/share/yearloom/help/599.html
man -w yearloom >/dev/null 2>&1 || test -f /usr/share/man/man1/yearloom.1

# The installed demo, in a scratch directory of its own with its own settings.
scratch=$(mktemp -d)
export SVKEEP="$scratch/settings" SVTEMP="$scratch/tmp" HOME="$scratch"
mkdir -p "$SVKEEP" "$SVTEMP"
chmod 700 "$scratch" "$SVKEEP" "$SVTEMP"
yearloom-demo-setup "$scratch/work"
(cd "$scratch/work" && yearloom all all demomodel-BS1B-BR1R-PL1P.ds1 >"$scratch/run.txt" 2>&1) || {
  tail -20 "$scratch/run.txt"
  exit 1
}
tail -1 "$scratch/run.txt"
rm -rf "$scratch"
echo "package-test: the installed package ran the demo"
