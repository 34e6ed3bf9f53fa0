#!/usr/bin/env bash
# The Debian packages the build and tests need: installs those missing (as root); --check prints them instead.
# - apt-get update is tried three times; a package list that still fails is done without.
# - wine32:i386 only where the kernel runs 32-bit programs (KESTRUM_HOST_RUNS_32BIT=0 or 1 answers instead);
#   where it cannot be installed, one line says so and the 32-bit Wine suites are skipped.
# - --check lists what a run would install, and ends with 1 when that is anything.
set -uo pipefail

needed=(
    cmake ninja-build g++ googletest libbenchmark-dev clang libclang-rt-14-dev llvm
    g++-mingw-w64-i686-posix binutils-mingw-w64-i686 g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
    wine wine64 fonts-wine xvfb xauth x11-apps imagemagick hyperfine unzip shellcheck jq xdotool
    wixl msitools osslsigncode openssl libxml2-utils librsvg2-bin icoutils faketime zip liblnk-utils
)
wine32=wine32:i386
installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"; }
i386_listed() { dpkg --print-foreign-architectures | grep -qx i386; }
# Succeeds where the kernel runs 32-bit programs; otherwise prints what it answered.
runs_32bit() {
    if [ -n "${KESTRUM_HOST_RUNS_32BIT:-}" ]; then
        [ "$KESTRUM_HOST_RUNS_32BIT" = 1 ] || { echo "KESTRUM_HOST_RUNS_32BIT=$KESTRUM_HOST_RUNS_32BIT"; return 1; }
        return 0
    fi
    bash "$(dirname "$0")/../cmake/runs-32bit.sh"
}

missing=()
for p in "${needed[@]}"; do installed "$p" || missing+=("$p"); done
want32=0
if ! installed "$wine32"; then
    if ! why=$(runs_32bit); then
        echo "$wine32 left out: this host runs no 32-bit programs ($why); the 32-bit Wine suites are skipped" >&2
    elif i386_listed && ! apt-get install -s -qq "$wine32" >/dev/null 2>&1; then
        echo "$wine32 left out: this host's package lists cannot install it; the 32-bit Wine suites are skipped" >&2
    else
        want32=1
    fi
fi
if [ "${1:-}" = --check ]; then
    [ "$want32" = 0 ] || missing+=("$wine32")
    [ ${#missing[@]} -eq 0 ] || { echo "${missing[*]}"; exit 1; }
    exit 0
fi
[ ${#missing[@]} -gt 0 ] || [ "$want32" = 1 ] || exit 0

[ "$(id -u)" -eq 0 ] || { echo "install-deps: must run as root to install packages" >&2; exit 1; }
export DEBIAN_FRONTEND=noninteractive
[ "$want32" = 0 ] || i386_listed || dpkg --add-architecture i386
for try in 1 2 3; do
    apt-get update -qq && break
    [ "$try" = 3 ] && { echo "apt-get update failed 3 times: going on with the package lists it has"; break; }
    echo "apt-get update failed (try $try of 3): again in 5 s"
    sleep 5
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "installing: ${missing[*]}"
    apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null ||
        { echo "install-deps: could not install ${missing[*]}" >&2; exit 1; }
fi
if [ "$want32" = 1 ] && ! apt-get install -y -qq --no-install-recommends "$wine32" >/dev/null; then
    echo "$wine32 left out: it could not be installed; the 32-bit Wine suites are skipped"
fi
exit 0
