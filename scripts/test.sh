#!/usr/bin/env bash
# Builds everything and runs every test: the README's test command and the one CI runs.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh
cmake --preset dev
cmake --build --preset dev
scripts/check-format.sh
ctest --preset dev --timeout 300
scripts/sanitize-and-fuzz.sh
