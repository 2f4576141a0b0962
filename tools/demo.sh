#!/usr/bin/env bash
# Shows Mirovant931 at work on Linux: builds the Windows program, makes a
# 64-bit Wine prefix in build/windows/demo-prefix, gives it the registry of a
# demo workstation (tests/wine/machines/demo: products of every kind the
# program knows), runs `Mirovant931.exe /s` there and prints the report.
#
# The first run takes a few minutes (packages, build, prefix); later runs
# reuse the prefix.
set -euo pipefail
cd "$(dirname "$0")/.."

if [ "$(id -u)" -ne 0 ] && command -v sudo >/dev/null; then
    sudo tools/setup.sh
else
    tools/setup.sh
fi

# CMake's default generator needs make; the set-up installs Ninja.
if [ -z "${CMAKE_GENERATOR:-}" ] && ! command -v make >/dev/null; then
    export CMAKE_GENERATOR=Ninja
fi
cmake --preset windows >/dev/null
cmake --build --preset windows -j2 >/dev/null

prefix=build/windows/demo-prefix
wineenv=tests/wine/wineenv.py
python3 "$wineenv" setup win64 --prefix "$prefix"
python3 "$wineenv" load win64 demo --prefix "$prefix"
echo
echo "Mirovant931.exe /s wrote %TEMP%\\Mirovant.txt:"
echo
status=0
python3 "$wineenv" silent win64 --prefix "$prefix" || status=$?
python3 "$wineenv" stop win64 --prefix "$prefix"
exit "$status"
