#!/usr/bin/env bash
# Runs a Windows program under Wine in a private prefix, quietly. Used as the
# cross build's test emulator. WINEPREFIX may be set by the caller; otherwise
# the prefix lives beside this build's programs.
set -euo pipefail
program=$1
shift
export WINEPREFIX=${WINEPREFIX:-$(cd "$(dirname "$program")" && pwd)/wineprefix}
export WINEDEBUG=${WINEDEBUG:--all}
# No Mono or Gecko installer prompts in a fresh prefix.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
export WINEARCH=${WINEARCH:-win64}
if [ ! -d "$WINEPREFIX" ]; then
    wineboot --init >/dev/null 2>&1 || true
fi
exec wine "$program" "$@"
