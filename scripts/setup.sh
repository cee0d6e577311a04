#!/usr/bin/env bash
# Installs every package the build, the tests and CI need on Debian 12.
# Only missing packages are installed, so a second run takes seconds.
set -euo pipefail

packages=(
  build-essential cmake ninja-build git make pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-charts-dev libqt6opengl6-dev qt6-tools-dev qt6-qpa-plugins libgl-dev
  libgtest-dev libgmock-dev
  clang clang-format clang-tidy libclang-rt-14-dev
  xvfb xauth imagemagick poppler-utils fonts-liberation fontconfig
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

sudo=""
if [ "$(id -u)" -ne 0 ]; then
  sudo="sudo"
fi
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
