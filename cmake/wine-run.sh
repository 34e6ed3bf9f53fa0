#!/usr/bin/env bash
# Runs a Windows program under Wine with the loader of its architecture, quietly: the one way this project starts Wine.
#   wine-run.sh PROGRAM.exe [ARGS...]   32- or 64-bit as its PE header says; WINEPREFIX by default beside it
#   wine-run.sh TOOL [ARGS...]          one of Wine's own programs (wineboot, reg, msiexec...), 64-bit
#   wine-run.sh --can-run i686|x86_64|PROGRAM.exe...   succeeds when this host runs any of them, else says why
# What this host cannot run ends with status 77 (skipped) and one line saying why. KESTRUM_WINE_NO_32BIT=1 makes
# the host act as one that runs no 32-bit programs.
set -uo pipefail

readonly skip_status=77
readonly wine32=/usr/lib/wine/wine
readonly wine64=/usr/lib/wine/wine64

# The machine field of a PE file's COFF header, as i686 or x86_64.
pe_arch() {
    local offset
    offset=$(od -An -tu4 -j60 -N4 "$1" 2>/dev/null | tr -d ' ')
    [ -n "$offset" ] && [ "$(od -An -c -j "$offset" -N4 "$1" 2>/dev/null | tr -d ' ')" = 'PE\0\0' ] || return 1
    case $(od -An -tx2 -j $((offset + 4)) -N2 "$1" | tr -d ' ') in 014c) echo i686 ;; 8664) echo x86_64 ;; *) return 1 ;; esac
}

# Succeeds when this host starts programs of architecture $1; otherwise says why.
can_run() {
    local status=0 why
    case $1 in
        x86_64) [ -x "$wine64" ] || { echo "Wine's 64-bit loader $wine64 is not installed (package wine64)"; return 1; } ;;
        i686)
            [ "${KESTRUM_WINE_NO_32BIT:-0}" != 1 ] ||
                { echo "KESTRUM_WINE_NO_32BIT=1 makes this host act as if its kernel ran no 32-bit programs"; return 1; }
            if [ ! -x "$wine32" ]; then
                # Not installed: where the kernel runs no 32-bit programs, scripts/install-deps.sh leaves it out.
                why=$(bash "$(dirname "${BASH_SOURCE[0]}")/runs-32bit.sh") &&
                    why="Wine's 32-bit loader $wine32 is not installed (package wine32:i386)" ||
                    why="this host runs no 32-bit programs ($why)"
                echo "$why"
                return 1
            fi
            # A 32-bit Linux program: where the kernel runs none, it cannot even print its version (status 126).
            "$wine32" --version >/dev/null 2>&1 || status=$?
            [ "$status" != 126 ] || { echo "this host runs no 32-bit programs: the kernel's 32-bit emulation is off"; return 1; }
            [ "$status" = 0 ] || { echo "Wine's 32-bit loader does not start here (status $status)"; return 1; } ;;
        *) echo "unknown architecture '$1'"; return 1 ;;
    esac
}

case ${1:-} in
    "") echo "usage: wine-run.sh PROGRAM [ARGS...] | --can-run ARCH|PROGRAM..." >&2; exit 2 ;;
    --can-run)
        shift
        reasons=()
        for target; do
            if [ -f "$target" ]; then
                arch=$(pe_arch "$target") || { echo "$target: not a 32- or 64-bit Windows program"; exit 2; }
            else arch=$target; fi
            reason=$(can_run "$arch") && exit 0
            reasons+=("$reason")
        done
        printf -v reason '%s; ' "${reasons[@]}"
        echo "${reason%; }"
        exit "$skip_status"
        ;;
esac

program=$1
shift
if [ -f "$program" ]; then
    arch=$(pe_arch "$program") || { echo "wine-run: $program: not a 32- or 64-bit Windows program" >&2; exit 2; }
    prefix_home=$(cd "$(dirname "$program")" && pwd)
else
    # One of Wine's own programs: the prefix is 64-bit, and so are they.
    arch=x86_64
    prefix_home=$PWD
fi
if ! reason=$(can_run "$arch"); then
    echo "wine-run: skipped $(basename "$program") ($arch): $reason"
    exit "$skip_status"
fi

export WINEPREFIX=${WINEPREFIX:-$prefix_home/wineprefix}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
# One 64-bit prefix serves both architectures where the host runs both.
export WINEARCH=win64
# Wine starts further processes (its services, a program's children) through WINELOADER; without it the 64-bit
# loader would look for the 32-bit one first, as Debian's wine command does.
loader=$wine32
[ "$arch" = i686 ] || { loader=$wine64; export WINELOADER=$wine64; }

if [ ! -d "$WINEPREFIX" ]; then
    mkdir -p "$(dirname "$WINEPREFIX")"
    "$wine64" wineboot --init >/dev/null 2>&1 || true
fi
exec "$loader" "$program" "$@"
