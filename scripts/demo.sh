#!/usr/bin/env bash
# Installs what is missing, builds Quorvex and runs its main job: a search over the offline demo engines.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh build -DQUORVEX_BUILD_TESTS=OFF -DQUORVEX_BUILD_BENCH=OFF
build/bin/quorvex-cli search --order 1 "rainwater harvesting"
