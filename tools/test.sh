#!/usr/bin/env bash
# Builds everything and runs every test: the native unit tests (with
# AddressSanitizer and UndefinedBehaviorSanitizer), a minute of fuzzing of the
# registry export reader, then the end-to-end tests of Mirovant931.exe under
# Wine (which also compare mirovant-offline with the live program).
set -euo pipefail
cd "$(dirname "$0")/.."

bash tools/setup.sh

cmake --preset native
cmake --build --preset native -j2
ctest --preset native

# The export reader under libFuzzer, for a bounded time, from the kept corpus.
bash tools/fuzz_offline.sh --seconds 60

cmake --preset windows
cmake --build --preset windows -j2
start=$(date +%s)
ctest --preset windows
echo "Wine tests took $(( $(date +%s) - start )) s"
