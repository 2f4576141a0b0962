#!/usr/bin/env bash
# Builds everything and runs every test: the native unit tests (with
# AddressSanitizer and UndefinedBehaviorSanitizer), then the end-to-end tests
# of Mirovant931.exe under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."

bash tools/setup.sh

cmake --preset native
cmake --build --preset native -j2
ctest --preset native

cmake --preset windows
cmake --build --preset windows -j2
start=$(date +%s)
ctest --preset windows
echo "Wine tests took $(( $(date +%s) - start )) s"
