#!/usr/bin/env bash
# scripts/install-deps.sh against a broken mirror: stand-ins for apt-get (update fails with 100, any :i386
# package is refused), dpkg, dpkg-query, id and sleep first on PATH, so that nothing is really installed.
# shellcheck disable=SC2016  # the stand-ins expand their own variables
set -uo pipefail
script=$(cd "$(dirname "$0")/../.." && pwd)/scripts/install-deps.sh
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/bin"
stand_in() { printf '#!/bin/sh\n%s\n' "$2" >"$work/bin/$1" && chmod +x "$work/bin/$1"; }
stand_in apt-get 'echo "apt-get $*" >>"$STATE/calls"; [ "$1" = update ] && exit 100
for p; do case $p in *:i386|"$REFUSE") echo "E: $p cannot be installed" >&2; exit 100;; esac; done
for p; do case $p in -s) exit 0;; -*|install) ;; *) echo "$p" >>"$STATE/installed";; esac; done'
stand_in dpkg-query 'grep -qxF "$3" "$STATE/installed" 2>/dev/null && echo "install ok installed"'
stand_in dpkg 'case $1 in --add-architecture) echo "$2" >>"$STATE/arches";; *) cat "$STATE/arches";; esac'
stand_in id 'echo 0'
stand_in sleep 'true'

failed=0
# CASE: KESTRUM_HOST_RUNS_32BIT, a needed package refused, the status expected.
for case in "host as it is|||0" "runs 32-bit programs|1||0" "a needed package refused||zip|1"; do
    IFS='|' read -r name runs32 refuse expected <<<"$case"
    export STATE=$work/${name// /-} REFUSE=$refuse KESTRUM_HOST_RUNS_32BIT=$runs32
    mkdir "$STATE" && touch "$STATE/installed" "$STATE/arches"
    PATH=$work/bin:$PATH bash "$script" >"$STATE/out" 2>&1
    status=$?
    check=$(PATH=$work/bin:$PATH bash "$script" --check 2>/dev/null)
    updates=$(grep -c '^apt-get update' "$STATE/calls")
    if [ "$expected" = 0 ]; then
        # Everything installed but wine32:i386, which the output names; --check then wants nothing more.
        [ "$status" = 0 ] && [ "$updates" = 3 ] && grep -qx jq "$STATE/installed" && [ -z "$check" ] &&
            ! grep -q i386 "$STATE/installed" && grep -q '^wine32:i386 left out: ' "$STATE/out"
    else
        [ "$status" != 0 ] && [ -n "$check" ]
    fi || { failed=1; echo "FAIL $name: status $status, $updates updates, --check: '$check'"; cat "$STATE/out"; }
    echo "$name: status $status; $(grep -h 'left out' "$STATE/out")"
done
exit "$failed"
