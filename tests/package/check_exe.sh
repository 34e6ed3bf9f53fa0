#!/usr/bin/env bash
# What the shipped kestrum.exe is, without running it: check_exe.sh EXE PE32|PE32+ x86|amd64 OBJDUMP FILE-VERSION
# - its PE format, terminal-server aware, importing system DLLs only, its manifest naming the same architecture;
# - its manifest long-path aware and DPI-unaware;
# - its version resource's file version, company and copyright (LICENSE's); its message table's event IDs, and each
#   insertion there written with its format (%1!s!), so that a "%1" in a string an event carries is shown as written;
# - stripped, and at most 300 KB (307,200 bytes) without its signature.
# Ends with "N passed, N failed".
set -uo pipefail
exe=$1 objdump=$4
passed=0 failed=0
check() {  # NAME SEEN EXPECTED
    if [ "$2" = "$3" ]; then echo "PASS $1: $2"; passed=$((passed + 1)); else
        echo "FAIL $1: expected $3, seen $2"; failed=$((failed + 1)); fi
}
headers=$("$objdump" -p "$exe" 2>&1)
magic=$(awk '/^Magic/ { print $2 }' <<<"$headers")
case $magic in 010b) format=PE32 ;; 020b) format=PE32+ ;; *) format="no PE optional header ($magic)" ;; esac
check "PE format" "$format" "$2"
characteristics=$(awk '/^DllCharacteristics/ { print $2 }' <<<"$headers")
check "terminal-server aware (DllCharacteristics ${characteristics:-?} has 0x8000)" \
    $((0x${characteristics:-0} & 0x8000)) $((0x8000))
# DLLs every Windows carries; msvcrt.dll is the system's C library, which MinGW-w64 programs use.
imports=$(awk '/DLL Name:/ { print tolower($3) }' <<<"$headers" | sort -u)
foreign=$(grep -vxE '(advapi32|gdi32|kernel32|msvcrt|shell32|user32)\.dll' <<<"$imports" | paste -sd ' ')
check "imports beyond the system's ($(paste -sd ' ' <<<"$imports"))" "${foreign:-none}" none
# The manifest and the version resource (UTF-16, each name followed by its value) are text in the resources.
check "manifest architecture" "$(grep -ao 'name="Kestrum.Kestrum"[^>]*' "$exe" |
    sed -n 's/.*processorArchitecture="\([^"]*\)".*/\1/p')" "$3"
# Paths beyond 260 characters where Windows allows them (an element in the 2016 namespace); no DPI awareness.
settings=$(wrestool -x --raw --type=24 "$exe" 2>/dev/null | xmllint --xpath "concat('longPathAware ',
    //*[local-name()='longPathAware' and namespace-uri()='http://schemas.microsoft.com/SMI/2016/WindowsSettings'],
    ', dpiAware elements ', count(//*[starts-with(local-name(), 'dpiAware')]))" - 2>&1)
check "manifest's settings" "$settings" "longPathAware true, dpiAware elements 0"
version_string() { strings -el "$exe" | grep -A1 -x "$1" | sed -n 2p; }
check "file version" "$(version_string FileVersion)" "$5"
check "company name" "$(version_string CompanyName)" "the Kestrum developers"
check "copyright, as in LICENSE" "$(version_string LegalCopyright)" \
    "$(grep -m 1 '^Copyright' "$(dirname "$0")/../../LICENSE")"
# The events' message table (resource type 11): a count of blocks, then each block's lowest and highest ID and
# where its entries are.
event_ids() {
    local words i id
    read -r -a words <<<"$(wrestool -x --raw --type=11 "$exe" 2>/dev/null | od -An -v -t u4 | tr -s ' \n' ' ')"
    for ((i = 0; i < ${words[0]:-0}; i++)); do
        for ((id = words[1 + 3 * i]; id <= words[2 + 3 * i]; id++)); do echo "$id"; done
    done | paste -sd ' '
}
check "event IDs in the message table" "$(event_ids)" "1000 1001 1100 1200 1201 1202 1203 1204 1205 1206 1207 1208 1300"
# Its sentences (UTF-16): every %n followed by !s! (%% is a percent sign, no insertion).
insertions=$(wrestool -x --raw --type=11 "$exe" 2>/dev/null | strings -el | sed 's/%%//g' | grep -o '%[0-9]\+\(!s!\)\?')
bare=$(grep -v '!s!$' <<<"$insertions" | sort -u | paste -sd ' ')
check "insertions in the message table without !s! (of $(grep -c . <<<"$insertions"))" "${bare:-none}" none
check "symbols and debugging sections" "$("$objdump" -t "$exe" | grep -c '^\[') and \
$("$objdump" -h "$exe" | grep -c ' \.debug_')" "0 and 0"
# The size as built: a signature (the certificate table, at the end of the file) is left out.
signature=$(awk '/Security Directory/ { print $4 }' <<<"$headers")
bytes=$(($(stat -c %s "$exe") - 0x${signature:-0}))
check "at most 307200 bytes without a signature ($bytes)" $((bytes <= 307200)) 1
echo "$passed passed, $failed failed"
[ "$failed" = 0 ]
