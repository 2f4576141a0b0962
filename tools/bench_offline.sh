#!/usr/bin/env bash
# Measures mirovant-offline on a large generated export (UTF-16LE, every value
# type, the family's keys in the middle) next to `wc -l` on the same file, in
# the same run, with the page cache warm. Prints time, throughput and peak
# memory, and checks the targets: at least half of wc -l's throughput and
# under 64 MB of peak memory. Checks the report too.
#
#   tools/bench_offline.sh [--size-mb N] [--binary PATH] [--runs N] [--keep]
#
# Without --binary it builds an optimised mirovant-offline in a scratch
# folder. The export is written to ${TMPDIR:-/tmp} and removed afterwards
# unless --keep is given. Needs GNU time (Debian package "time").
set -euo pipefail

repo=$(cd "$(dirname "$0")/.." && pwd)
size_mb=600
binary=""
runs=3
keep=no
while [ $# -gt 0 ]; do
    case "$1" in
        --size-mb) size_mb=$2; shift 2 ;;
        --binary) binary=$2; shift 2 ;;
        --runs) runs=$2; shift 2 ;;
        --keep) keep=yes; shift ;;
        *) echo "usage: $0 [--size-mb N] [--binary PATH] [--runs N] [--keep]" >&2; exit 2 ;;
    esac
done
[ -x /usr/bin/time ] || { echo "bench: GNU time is missing (apt-get install time)" >&2; exit 2; }

scratch=$(mktemp -d "${TMPDIR:-/tmp}/mirovant-bench.XXXXXX")
cleanup() {
    if [ "$keep" = yes ]; then echo "kept: $scratch"; else rm -rf "$scratch"; fi
}
trap cleanup EXIT

if [ -z "$binary" ]; then
    cmake -S "$repo" -B "$scratch/build" -DCMAKE_BUILD_TYPE=Release >/dev/null
    cmake --build "$scratch/build" --target mirovant-offline -j2 >/dev/null
    binary="$scratch/build/mirovant-offline"
fi

export_file="$scratch/machine.reg"
echo "Writing a ${size_mb} MB export to $export_file ..."
python3 "$repo/tools/make_big_export.py" "$export_file" "$size_mb"
bytes=$(stat -c %s "$export_file")
lines=$(wc -l < "$export_file")
cat "$export_file" > /dev/null  # warm the page cache for both

# The best of several runs: seconds and peak resident kilobytes.
measure() {
    local best_s="" best_kb=0 s kb
    for _ in $(seq "$runs"); do
        /usr/bin/time -f "%e %M" -o "$scratch/time" "$@" > "$scratch/out" 2> "$scratch/err" \
            || { cat "$scratch/err" >&2; echo "bench: $* failed" >&2; exit 1; }
        read -r s kb < "$scratch/time"
        if [ -z "$best_s" ] || awk "BEGIN{exit !($s < $best_s)}"; then best_s=$s; fi
        [ "$kb" -gt "$best_kb" ] && best_kb=$kb
    done
    echo "$best_s $best_kb"
}

read -r wc_s wc_kb < <(measure wc -l "$export_file")
read -r tool_s tool_kb < <(measure "$binary" "$export_file")

expected=$(python3 -c "import sys; sys.path.insert(0, '$repo/tools'); import make_big_export as m; sys.stdout.write(m.EXPECTED_REPORT)" | od -An -tx1)
actual=$(od -An -tx1 < "$scratch/out")
report_ok=yes
[ "$expected" = "$actual" ] || report_ok=no

awk -v bytes="$bytes" -v lines="$lines" -v wc_s="$wc_s" -v wc_kb="$wc_kb" \
    -v tool_s="$tool_s" -v tool_kb="$tool_kb" -v report_ok="$report_ok" 'BEGIN {
    mb = bytes / 1048576
    wc_rate = mb / (wc_s > 0 ? wc_s : 0.01)
    tool_rate = mb / (tool_s > 0 ? tool_s : 0.01)
    printf "export: %.0f MB, %d lines, UTF-16LE\n", mb, lines
    printf "%-18s %8s %10s %12s\n", "", "seconds", "MB/s", "peak memory"
    printf "%-18s %8.2f %10.0f %9.1f MB\n", "wc -l", wc_s, wc_rate, wc_kb / 1024
    printf "%-18s %8.2f %10.0f %9.1f MB\n", "mirovant-offline", tool_s, tool_rate, tool_kb / 1024
    ratio = tool_rate / wc_rate
    fast = ratio >= 0.5
    small = tool_kb < 64 * 1024
    printf "throughput: %.2f of wc -l (target 0.5 or more): %s\n", ratio, fast ? "met" : "MISSED"
    printf "peak memory: %.1f MB (target under 64 MB): %s\n", tool_kb / 1024, small ? "met" : "MISSED"
    printf "report: %s\n", report_ok == "yes" ? "as expected" : "WRONG"
    exit !(fast && small && report_ok == "yes")
}'
