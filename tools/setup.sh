#!/usr/bin/env bash
# Installs what building and testing need on a Debian 12 machine, and makes
# sure this machine can run 32-bit programs (Wine runs Mirovant931.exe through
# its 32-bit loader). Safe to run again.
set -euo pipefail

need_root() { [ "$(id -u)" = 0 ] || { echo "setup: run as root (apt-get, binfmt_misc)" >&2; exit 1; }; }

packages=(
    cmake make g++ ninja-build python3 libgtest-dev
    nlohmann-json3-dev libcli11-dev clang libclang-rt-14-dev time
    g++-mingw-w64-i686 binutils-mingw-w64-i686
    wine wine64 wine32:i386 xvfb x11-apps x11-utils imagemagick
    qemu-user
)

missing=()
for p in "${packages[@]}"; do
    dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    need_root
    dpkg --add-architecture i386
    apt-get update -q
    DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

# Some virtual machines run no 32-bit x86 code natively (the kernel answers
# "Exec format error"). There, the 32-bit Wine loader runs under qemu-i386,
# registered for i386 ELF files with binfmt_misc. The tests' environment sets
# QEMU_RESERVED_VA (see tests/wine/wineenv.py).
if ! /lib/ld-linux.so.2 --version >/dev/null 2>&1; then
    need_root
    binfmt=/proc/sys/fs/binfmt_misc
    [ -e "$binfmt/register" ] || mount -t binfmt_misc binfmt_misc "$binfmt"
    if [ ! -e "$binfmt/qemu-i386" ]; then
        printf '%s' ':qemu-i386:M::\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:/usr/bin/qemu-i386:F' > "$binfmt/register"
    fi
    QEMU_RESERVED_VA=0x7fff0000 /lib/ld-linux.so.2 --version >/dev/null \
        || { echo "setup: this machine cannot run 32-bit programs" >&2; exit 1; }
    echo "setup: 32-bit programs run under qemu-i386 on this machine"
fi
