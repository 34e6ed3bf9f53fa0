#!/usr/bin/env bash
# Runs a command as on a host whose kernel runs no 32-bit programs (root): bash scripts/without-32bit.sh COMMAND...
# - In a private mount namespace, Wine's 32-bit loader is covered by a file the kernel refuses with "Exec format
#   error", as such a kernel answers; nothing outside the command sees it.
# - KESTRUM_WINE_NO_32BIT=1 takes the same road in cmake/wine-run.sh without root, the loader left runnable.
set -euo pipefail
[ $# -gt 0 ] || { echo "usage: without-32bit.sh COMMAND [ARGS...]" >&2; exit 2; }
[ "$(id -u)" -eq 0 ] || { echo "without-32bit: needs root (a mount namespace)" >&2; exit 1; }
loader=/usr/lib/wine/wine
[ -e "$loader" ] || exec "$@"
# The start of a 32-bit ELF header, cut short: the kernel cannot load it.
refused=$(mktemp)
trap 'rm -f "$refused"' EXIT
printf '\177ELF\001\001\001' >"$refused"
chmod +x "$refused"
# shellcheck disable=SC2016  # expanded by the inner shell
unshare --mount --propagation private -- bash -c 'mount --bind "$1" "$2" && shift 2 && exec "$@"' _ "$refused" "$loader" "$@"
