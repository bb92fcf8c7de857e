#!/usr/bin/env bash
# Installs what is missing, builds Quorvex and runs its main job on the bundled sample.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh build -DQUORVEX_BUILD_TESTS=OFF -DQUORVEX_BUILD_BENCH=OFF
build/bin/quorvex-cli extract data/sample/sample.def data/sample/sample-results.html --key "meta search" \
  --url "http://www.example.com/search?q=meta+search"
