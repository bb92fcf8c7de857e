#!/usr/bin/env bash
# Installs the Debian 12 packages that building and testing Quorvex need; skips what is installed.
# scripts/install-deps.sh package: also what building and checking the Debian package needs.
set -euo pipefail

packages=(
  g++ cmake ninja-build ccache pkg-config
  libssl-dev zlib1g-dev libc-ares-dev openssl ca-certificates
  libgtest-dev libgmock-dev libbenchmark-dev libxml2-dev
  qt6-base-dev clang libclang-rt-14-dev
  nginx-light tinyproxy zip unzip python3 curl
  xvfb xauth xdotool imagemagick desktop-file-utils
)
if [ "${1:-}" = package ]; then
  packages+=(dpkg-dev file lintian appstream man-db)
fi

missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
done

if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  SUDO=""
  [ "$(id -u)" -eq 0 ] || SUDO="sudo"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
