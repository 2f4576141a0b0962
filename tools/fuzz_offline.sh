#!/usr/bin/env bash
# Builds the registry export reader's libFuzzer target with clang and runs it
# for a bounded time over the kept corpus (tests/fuzz/corpus). Exits non-zero
# when the fuzzer finds a crash, a leak or a hang; the input is left in the
# build folder (crash-*, leak-*, timeout-*).
#
#   tools/fuzz_offline.sh [--seconds N] [--build-dir DIR] [--update-corpus]
#
# --update-corpus adds to the kept corpus a smallest set of the new inputs
# that reach code it does not reach yet, to be committed with the change.
# Needs clang and its sanitizer runtimes (Debian: clang, libclang-rt-14-dev).
set -euo pipefail

repo=$(cd "$(dirname "$0")/.." && pwd)
seconds=60
build="$repo/build/fuzz"
update=no
while [ $# -gt 0 ]; do
    case "$1" in
        --seconds) seconds=$2; shift 2 ;;
        --build-dir) build=$2; shift 2 ;;
        --update-corpus) update=yes; shift ;;
        *) echo "usage: $0 [--seconds N] [--build-dir DIR] [--update-corpus]" >&2; exit 2 ;;
    esac
done

cmake -S "$repo" -B "$build" -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      -DMIROVANT_FUZZ=ON >/dev/null
cmake --build "$build" --target reg_export_fuzzer -j2

corpus="$repo/tests/fuzz/corpus"
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
status=0
"$build/tests/fuzz/reg_export_fuzzer" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    -max_len=4096 -dict="$repo/tests/fuzz/reg_export.dict" -artifact_prefix="$build/" \
    -print_final_stats=1 "$scratch" "$corpus" || status=$?
if [ "$status" = 0 ] && [ "$update" = yes ]; then
    "$build/tests/fuzz/reg_export_fuzzer" -set_cover_merge=1 -use_counters=0 -max_len=4096 \
        "$corpus" "$scratch"
fi
exit "$status"
