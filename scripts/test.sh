#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test (no display needed).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh --test
bash scripts/build.sh
cd build
ctest --output-on-failure -j2
