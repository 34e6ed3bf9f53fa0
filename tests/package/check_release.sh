#!/usr/bin/env bash
# The release files' bytes, against each other and against a second build:
#   check_release.sh same EXE ZIP MSI               the zip's files are the MSI's, byte for byte, and its exe is EXE
#   check_release.sh again PRESET BUILD_DIR FILE...   the same sources built in a fresh folder give the same FILEs
set -uo pipefail
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
case $1 in
    same)
        unzip -q "$3" -d "$work/zip" && msiextract -C "$work/msi" "$4" >/dev/null || exit
        diff -r "$work/zip" "$(dirname "$(find "$work/msi" -name kestrum.exe)")" && cmp "$2" "$work/zip/kestrum.exe" &&
            [ "$(find "$work/msi" -type f | wc -l)" = "$(find "$work/zip" -type f | wc -l)" ] &&
            echo "$2, the files of $3 and those of $4 are the same bytes" ;;
    again)
        preset=$2 build=$3
        shift 3
        { cmake --preset "$preset" -B "$work" && cmake --build "$work" --target kestrum && (cd "$work" && cpack); } \
            >"$build/release-again.log" 2>&1 || { tail -n 20 "$build/release-again.log"; exit 1; }
        status=0
        for file; do cmp "$build/$file" "$work/$file" || status=1; done
        [ "$status" = 0 ] && echo "built again in $work: the same $*"
        exit "$status" ;;
esac
