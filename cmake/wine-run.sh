#!/usr/bin/env bash
# Runs a Windows program under Wine with the loader for its architecture, in a
# private prefix, quietly. The one way this project starts Wine: the cross
# builds' test emulator, the end-to-end desktop, the demo and the bench.
#
#   wine-run.sh PROGRAM.exe [ARGS...]   run a program; 32- or 64-bit is read
#                                       from its PE header
#   wine-run.sh TOOL [ARGS...]          run one of Wine's own programs
#                                       (wineboot, reg, ...), with the 64-bit loader
#   wine-run.sh --can-run i686|x86_64|PROGRAM.exe
#                                       succeed when this host runs that
#                                       architecture's programs; otherwise
#                                       print why and end with status 77
#
# A program this host cannot run is not started: one line says why, and the
# status is 77 (which the test runners count as skipped).
#
# Settings: WINEPREFIX (default: beside the program), WINEDEBUG (-all),
# WINEDLLOVERRIDES (no Mono or Gecko prompts); KESTRUM_WINE_NO_32BIT=1 makes
# this host act as if it ran no 32-bit programs (to try that road anywhere).
set -uo pipefail

readonly skip_status=77
readonly wine32=/usr/lib/wine/wine
readonly wine64=/usr/lib/wine/wine64

# The machine field of a PE file's COFF header.
pe_arch() {
    local file=$1 offset signature machine
    [ -f "$file" ] || return 1
    offset=$(od -An -t u4 -j 60 -N 4 "$file" 2>/dev/null | tr -d ' ') || return 1
    [ -n "$offset" ] || return 1
    signature=$(od -An -c -j "$offset" -N 4 "$file" 2>/dev/null | tr -d ' ')
    [ "$signature" = 'PE\0\0' ] || return 1
    machine=$(od -An -t x2 -j $((offset + 4)) -N 2 "$file" 2>/dev/null | tr -d ' ')
    case $machine in
        014c) echo i686 ;;
        8664) echo x86_64 ;;
        *) return 1 ;;
    esac
}

# Succeeds when this host can start programs of architecture $1; otherwise
# prints the reason.
can_run() {
    local status
    case $1 in
        x86_64)
            [ -x "$wine64" ] || { echo "Wine's 64-bit loader $wine64 is not installed (package wine64)"; return 1; }
            ;;
        i686)
            if [ "${KESTRUM_WINE_NO_32BIT:-0}" = 1 ]; then
                echo "KESTRUM_WINE_NO_32BIT=1 makes this host act as if its kernel ran no 32-bit programs"
                return 1
            fi
            [ -x "$wine32" ] || { echo "Wine's 32-bit loader $wine32 is not installed (package wine32:i386)"; return 1; }
            # The 32-bit loader is a 32-bit Linux program: where the kernel's
            # 32-bit emulation is off, it cannot even print its version.
            status=0
            "$wine32" --version >/dev/null 2>&1 || status=$?
            if [ "$status" -ne 0 ]; then
                if [ "$status" -eq 126 ]; then
                    echo "this host runs no 32-bit programs: the kernel's 32-bit emulation is off"
                else
                    echo "Wine's 32-bit loader does not start here (status $status)"
                fi
                return 1
            fi
            ;;
        *)
            echo "unknown architecture '$1'"
            return 1
            ;;
    esac
}

case ${1:-} in
    "")
        echo "usage: wine-run.sh PROGRAM [ARGS...] | --can-run ARCH" >&2
        exit 2
        ;;
    --can-run)
        target=${2:-}
        if [ -f "$target" ]; then
            target=$(pe_arch "$target") || { echo "$2: not a 32- or 64-bit Windows program"; exit 2; }
        fi
        reason=$(can_run "$target") || { echo "$reason"; exit "$skip_status"; }
        exit 0
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
if [ "$arch" = i686 ]; then
    loader=$wine32
else
    # Wine starts further processes (its services, a program's children)
    # through WINELOADER; without it the 64-bit loader would look for the
    # 32-bit one first, as Debian's wine command does.
    loader=$wine64
    export WINELOADER=$wine64
fi

if [ ! -d "$WINEPREFIX" ]; then
    mkdir -p "$(dirname "$WINEPREFIX")"
    "$wine64" wineboot --init >/dev/null 2>&1 || true
fi
exec "$loader" "$program" "$@"
