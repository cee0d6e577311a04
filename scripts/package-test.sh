#!/usr/bin/env bash
# Installs the package built by `make package` into this machine, runs what it installed,
# and removes it again: the programs, the demo (offscreen), the desktop entry, icon and man page.
set -euo pipefail
build=${1:-build}
deb=$(ls -t "$build"/kavprog_*.deb | head -n 1)
sudo=""
if [ "$(id -u)" -ne 0 ]; then
    sudo="sudo"
fi
export DEBIAN_FRONTEND=noninteractive
echo "Installing $deb"
$sudo dpkg -i "$deb"
trap '$sudo dpkg -r kavprog >/dev/null' EXIT

for f in /usr/bin/kavprog /usr/bin/kavprog-eng /usr/bin/kavprog-cli /usr/bin/kav-radio-sim \
    /usr/share/applications/kavprog.desktop \
    /usr/share/icons/hicolor/scalable/apps/kavprog.svg \
    /usr/share/man/man1/kavprog-cli.1.gz; do
    test -e "$f" || { echo "missing from the package: $f"; exit 1; }
done
/usr/bin/kavprog-cli --version
/usr/bin/kavprog --version
/usr/bin/kavprog-eng --version
/usr/bin/kav-radio-sim --help >/dev/null
zcat /usr/share/man/man1/kavprog-cli.1.gz | grep -q '^\.SS write$'

# The demo runs until it is stopped: still running after a few seconds is a pass.
home=$(mktemp -d)
runtime=$(mktemp -d)
log=$(mktemp)
status=0
HOME=$home XDG_RUNTIME_DIR=$runtime QT_QPA_PLATFORM=offscreen timeout 5 \
    /usr/bin/kavprog --simulate >"$log" 2>&1 || status=$?
if [ "$status" -ne 124 ]; then
    echo "the installed demo ended with status $status:"
    cat "$log"
    exit 1
fi
# It left nothing in the user's settings.
if [ -n "$(find "$home" -mindepth 1 -print -quit)" ]; then
    echo "the demo left files in HOME:"
    find "$home" -mindepth 1
    exit 1
fi
rm -rf "$home" "$runtime" "$log"
echo "package test passed: $(basename "$deb")"
