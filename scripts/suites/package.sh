#!/usr/bin/env bash
# The release archives: for each Windows build, the package target must give
# Kestrum-<version>-<win32|win64>.zip holding exactly the exe, README.txt and
# LICENSE.txt, the exe stripped and of the build's architecture, and a
# .sha256 file beside it that sha256sum -c accepts. Needs no Wine.
# Ends with "N passed, N failed, N skipped".
set -uo pipefail
cd "$(dirname "$0")/../.." || exit 1

# shellcheck source=scripts/lib/summary.sh
source scripts/lib/summary.sh

version=$(sed -nE 's/^project\(Kestrum VERSION ([0-9.]+).*/\1/p' CMakeLists.txt)
for build in "windows win32 PE32 x86 i686" "windows64 win64 PE32+ amd64 x86_64"; do
    read -r preset suffix format arch prefix <<<"$build"
    dir=build/$preset
    zip=$dir/Kestrum-$version-$suffix.zip
    log=$dir/package.log
    mkdir -p "$dir"
    rm -f "$zip" "$zip.sha256"
    { cmake --preset "$preset" && cmake --build --preset "$preset" --target package; } >"$log" 2>&1
    summary_result $? "$preset: the package target builds (see $log)"
    [ -f "$zip" ] && [ -f "$zip.sha256" ]
    summary_result $? "$preset: $zip and $zip.sha256 exist"
    [ -f "$zip.sha256" ] && (cd "$dir" && sha256sum -c "$(basename "$zip").sha256" >/dev/null 2>&1)
    summary_result $? "$preset: sha256sum -c accepts the checksum file"

    contents=$(unzip -Z1 "$zip" 2>/dev/null | sort | paste -sd ' ')
    [ "$contents" = "LICENSE.txt README.txt kestrum.exe" ]
    summary_result $? "$preset: the archive holds LICENSE.txt README.txt kestrum.exe (seen: ${contents:-nothing})"

    unpacked=$(mktemp -d)
    unzip -q "$zip" -d "$unpacked" 2>/dev/null
    bash tests/package/check_exe.sh "$unpacked/kestrum.exe" "$format" "$arch" "$prefix-w64-mingw32-objdump" \
        >"$dir/package-exe.log" 2>&1
    summary_result $? "$preset: the archived exe is $format, imports system DLLs only, names $arch, is stripped"
    grep -q "^Exit status" "$unpacked/README.txt" 2>/dev/null && grep -q "/newsize=" "$unpacked/README.txt"
    summary_result $? "$preset: README.txt tells the options and the exit statuses"
    rm -rf "$unpacked"
done

summary_finish
