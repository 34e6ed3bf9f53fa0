#!/usr/bin/env bash
# The release files: for each Windows build, the package target must give
# Kestrum-<version>-<win32|win64>.zip holding exactly the exe, README.txt,
# LICENSE.txt, CHANGELOG.txt and the administrative templates, the exe
# stripped, of the build's architecture and the very bytes of the build
# folder's, and Kestrum-<version>-<win32|win64>.msi installing the same files
# and naming the exe's version; each with a .sha256 file beside it that
# sha256sum -c accepts. A second build of the same sources in a fresh build
# folder gives the same exe, zip and MSI, byte for byte. The templates are
# well-formed, define every text they use, and name the registry key and
# values the program reads (src/startup/policy_names.h). Built without a
# signing key, so nothing is signed and the build says so.
# Needs no Wine (scripts/suites/installer.sh installs the MSI under Wine).
# Ends with "N passed, N failed, N skipped".
set -uo pipefail
cd "$(dirname "$0")/../.." || exit 1

# shellcheck source=scripts/lib/summary.sh
source scripts/lib/summary.sh
unset KESTRUM_SIGN_CERT KESTRUM_SIGN_KEY KESTRUM_SIGN_TIMESTAMP_URL
# What each zip holds, in name order, and the MSI installs.
release_files="CHANGELOG.txt Kestrum.admx LICENSE.txt README.txt en-US/Kestrum.adml kestrum.exe"

# The administrative templates: well-formed XML; every text and presentation
# the .admx refers to defined in the .adml; and the key and value names, the
# ones the program reads, the same as in src/startup/policy_names.h.
admx=policy/Kestrum.admx adml=policy/en-US/Kestrum.adml
xmllint --noout "$admx" "$adml"
summary_result $? "policy templates: $admx and $adml are well-formed XML"
attributes() {
    xmllint --xpath "$2" "$1" 2>/dev/null | grep -o '"[^"]*"' | tr -d '"' | sort -u | paste -sd ' '
}
referred=$(grep -oE '(string|presentation)\.[A-Za-z_]+' "$admx" | sort -u | paste -sd ' ')
defined=$({
    attributes "$adml" '//*[local-name()="string"]/@id' | tr ' ' '\n' | sed 's/^/string./'
    attributes "$adml" '//*[local-name()="presentation"]/@id' | tr ' ' '\n' | sed 's/^/presentation./'
} | sort -u | paste -sd ' ')
[ -n "$referred" ] && [ "$referred" = "$defined" ]
summary_result $? "policy templates: the .adml defines exactly what the .admx refers to (referred: $referred; defined: $defined)"
header=src/startup/policy_names.h
header_key=$(sed -n 's/.*kPolicyKey = "\(.*\)";/\1/p' "$header" | sed 's/\\\\/\\/g')
header_values=$(grep -v kPolicyKey "$header" | sed -n 's/.*kPolicy[A-Za-z]* = "\(.*\)";/\1/p' | sort -u | paste -sd ' ')
template_keys=$(attributes "$admx" '//*[local-name()="policy"]/@key')
template_values=$(attributes "$admx" '//*[local-name()="policy"]/@valueName | //*[local-name()="elements"]/*/@valueName')
[ -n "$header_key" ] && [ "$template_keys" = "$header_key" ] && [ -n "$header_values" ] &&
    [ "$template_values" = "$header_values" ]
summary_result $? "policy templates: key $template_keys and values $template_values, as $header names them (key $header_key, values $header_values)"

for build in "windows win32 PE32 x86 i686" "windows64 win64 PE32+ amd64 x86_64"; do
    read -r preset suffix format arch prefix <<<"$build"
    dir=build/$preset
    mkdir -p "$dir"
    log=$dir/package.log
    rm -f "$dir"/Kestrum-*-"$suffix".zip* "$dir"/Kestrum-*-"$suffix".msi*
    { cmake --preset "$preset" && cmake --build --preset "$preset" --target package; } >"$log" 2>&1
    summary_result $? "$preset: the package target builds (see $log)"
    # The version as the build names it (project() in CMakeLists.txt).
    version=$(cat "$dir/version.txt" 2>/dev/null)
    zip=$dir/Kestrum-$version-$suffix.zip
    msi=$dir/Kestrum-$version-$suffix.msi
    [ -f "$zip" ] && [ -f "$zip.sha256" ]
    summary_result $? "$preset: $zip and $zip.sha256 exist"
    [ -f "$zip.sha256" ] && (cd "$dir" && sha256sum -c "$(basename "$zip").sha256" >/dev/null 2>&1)
    summary_result $? "$preset: sha256sum -c accepts the checksum file"

    contents=$(unzip -Z1 "$zip" 2>/dev/null | LC_ALL=C sort | paste -sd ' ')
    [ "$contents" = "$release_files" ]
    summary_result $? "$preset: the archive holds $release_files (seen: ${contents:-nothing})"

    unpacked=$(mktemp -d)
    unzip -q "$zip" -d "$unpacked" 2>/dev/null
    bash tests/package/check_exe.sh "$unpacked/kestrum.exe" "$format" "$arch" "$prefix-w64-mingw32-objdump" \
        >"$dir/package-exe.log" 2>&1
    summary_result $? "$preset: the archived exe is $format, imports system DLLs only, names $arch, is stripped"
    grep -q "^Exit status" "$unpacked/README.txt" 2>/dev/null && grep -q "/newsize=" "$unpacked/README.txt"
    summary_result $? "$preset: README.txt tells the options and the exit statuses"
    grep -qxF "## $version"$'\r' "$unpacked/CHANGELOG.txt" 2>/dev/null
    summary_result $? "$preset: CHANGELOG.txt has Windows line ends and a section for $version, the project's version"

    [ -f "$msi" ] && (cd "$dir" && sha256sum -c "$(basename "$msi").sha256" >/dev/null 2>&1)
    summary_result $? "$preset: $msi exists and sha256sum -c accepts its checksum file"
    # The MSI's files, extracted (where they go is the installer suite's
    # business), against the zip's: the same files, byte for byte, and the
    # exe the one in the build folder.
    msiextract -C "$unpacked/msi" "$msi" >/dev/null 2>&1
    differ=""
    for file in $release_files; do
        cmp -s "$unpacked/$file" "$(find "$unpacked/msi" -type f -path "*/Kestrum/$file" | head -n 1)" ||
            differ="$differ $file"
    done
    [ -z "$differ" ] && [ "$(find "$unpacked/msi" -type f | wc -l)" -eq "$(wc -w <<<"$release_files")" ]
    summary_result $? "$preset: the MSI holds exactly the zip's files (differing or missing:${differ:- none})"
    cmp -s "$dir/kestrum.exe" "$unpacked/kestrum.exe"
    summary_result $? "$preset: the exe in $dir, in the zip and in the MSI is the same"

    # The File table names the exe's version as its version resource does.
    file_version=$(msiinfo export "$msi" File 2>/dev/null | awk -F '\t' '$1 == "kestrum.exe" { print $5 }')
    resource_version=$(strings -el "$dir/kestrum.exe" | grep -A1 -x FileVersion | sed -n 2p)
    [ "$file_version" = "$version.0" ] && [ "$file_version" = "$resource_version" ]
    summary_result $? "$preset: the MSI's File table gives kestrum.exe the version $version.0 (seen: ${file_version:-none}; the exe's: ${resource_version:-none})"
    # The width the start at logon sets is checked before anything is
    # installed, with a message that says what is wanted.
    msiinfo export "$msi" LaunchCondition 2>/dev/null |
        grep -qF $'REMOVE~="ALL" OR (NEWSIZE >= 1 AND NEWSIZE <= 32767)\tNEWSIZE must be a whole number of pixels from 1 to 32767'
    summary_result $? "$preset: the MSI refuses a NEWSIZE outside 1..32767 with a message saying so"

    # Built again from the same sources in a fresh build folder: the same
    # exe (no time stamp, nothing of the folder's path) and, packaged
    # there, the same zip and MSI.
    again=$(mktemp -d)
    { cmake --preset "$preset" -B "$again" && cmake --build "$again" --target kestrum &&
        (cd "$again" && cpack); } >"$dir/package-again.log" 2>&1
    differ=""
    for file in kestrum.exe "$(basename "$zip")" "$(basename "$msi")"; do
        cmp -s "$dir/$file" "$again/$file" || differ="$differ $file"
    done
    [ -z "$differ" ]
    summary_result $? "$preset: a second build in a fresh folder gives the same exe, zip and MSI (differing or missing:${differ:- none}; see $dir/package-again.log)"
    rm -rf "$again"

    # Without a key: one line says so, and the exe carries no signature
    # (an empty certificate table in its PE header).
    certificates=$("$prefix-w64-mingw32-objdump" -p "$unpacked/kestrum.exe" 2>&1 | grep 'Security Directory')
    [ "$(grep -c 'are not signed' "$log")" -eq 1 ] &&
        [[ $certificates =~ Entry\ 4[[:space:]]+0+[[:space:]]+0+[[:space:]] ]]
    summary_result $? "$preset: unsigned without a key, and the build says so in one line"
    rm -rf "$unpacked"
done

summary_finish
