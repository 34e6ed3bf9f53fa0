#!/usr/bin/env bash
# The Debian packages Kestrum's build and tests need.
#
#   install-deps.sh           installs those missing (as root, on Debian 12);
#                             installs nothing when everything is present
#   install-deps.sh --check   prints the missing ones on one line and ends
#                             with 1 when any is missing, installing nothing
#
# wine32:i386 installs on any amd64 host; whether this host can run it is for
# cmake/wine-run.sh to find out.
set -euo pipefail

packages=(
    cmake ninja-build g++ googletest libbenchmark-dev clang libclang-rt-14-dev llvm
    g++-mingw-w64-i686-posix binutils-mingw-w64-i686
    g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
    wine wine32:i386 wine64 fonts-wine xvfb xauth x11-apps imagemagick hyperfine unzip shellcheck
    wixl msitools osslsigncode openssl libxml2-utils librsvg2-bin icoutils faketime zip liblnk-utils
)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ "${1:-}" = --check ]; then
    [ ${#missing[@]} -eq 0 ] || { echo "${missing[*]}"; exit 1; }
    exit 0
fi
[ ${#missing[@]} -eq 0 ] && exit 0

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
