#!/usr/bin/env bash
# Installs the Debian packages Kestrum's build and tests need, if missing.
# Run as root on Debian 12. Installs nothing when everything is present.
# wine32:i386 installs on any amd64 host; whether this host can run it is
# for cmake/wine-run.sh to find out.
set -euo pipefail

packages=(
    cmake g++ make googletest libbenchmark-dev clang libclang-rt-14-dev llvm
    g++-mingw-w64-i686-posix binutils-mingw-w64-i686
    g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
    wine wine32:i386 wine64 fonts-wine xvfb xauth x11-apps imagemagick hyperfine unzip shellcheck
    wixl msitools osslsigncode openssl libxml2-utils
)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi

echo "installing: ${missing[*]}"
if [ "$(id -u)" -ne 0 ]; then
    echo "install-deps: must run as root to install packages" >&2
    exit 1
fi
if ! dpkg --print-foreign-architectures | grep -qx i386; then
    dpkg --add-architecture i386
fi
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
