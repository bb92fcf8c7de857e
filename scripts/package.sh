#!/usr/bin/env bash
# Builds the Debian package in build-package (Release, no tests or benchmarks, Debian's hardening flags)
# and prints its path on the last line: scripts/package.sh
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh package >&2

export DEB_BUILD_MAINT_OPTIONS=hardening=+all
cmake -S . -B build-package -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
  -DCMAKE_CXX_FLAGS="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)" \
  -DCMAKE_EXE_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)" \
  -DQUORVEX_BUILD_TESTS=OFF -DQUORVEX_BUILD_BENCH=OFF >&2
cmake --build build-package -j "$(nproc)" >&2
rm -f build-package/quorvex_*.deb
(cd build-package && cpack -G DEB >&2)
package=$(ls "$(pwd)"/build-package/quorvex_*_amd64.deb)
echo "$package"
