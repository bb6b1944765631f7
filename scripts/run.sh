#!/usr/bin/env bash
# Builds the program and starts the window.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh
cmake --preset dev
cmake --build --preset dev --target vantiro vantiro-cli
exec build/dev/bin/vantiro "$@"
