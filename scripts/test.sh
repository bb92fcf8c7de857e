#!/usr/bin/env bash
# Installs what is missing, builds Quorvex with its tests (also in a folder the demo configured without
# them) and runs the whole suite; finding no test is a failure.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh build -DQUORVEX_BUILD_TESTS=ON
ctest --test-dir build --output-on-failure --no-tests=error -j "$(nproc)"
