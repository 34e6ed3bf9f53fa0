#!/usr/bin/env bash
# Checks what the shipped kestrum.exe is, without running it:
#   check_exe.sh EXE PE32|PE32+ x86|amd64 OBJDUMP
# its PE format (the build's architecture), terminal-server aware, that it imports system DLLs only,
# that its manifest names the same architecture, that its version resource
# names the company and the copyright of LICENSE, and that it is stripped.
# Ends with "N passed, N failed".
set -uo pipefail
exe=$1 format=$2 arch=$3 objdump=$4
passed=0
failed=0
check() {
    local name=$1 seen=$2 expected=$3
    if [ "$seen" = "$expected" ]; then
        echo "PASS $name: $seen"
        passed=$((passed + 1))
    else
        echo "FAIL $name: expected $expected, seen $seen"
        failed=$((failed + 1))
    fi
}

headers=$("$objdump" -p "$exe" 2>&1)
magic=$(awk '/^Magic/ { print $2 }' <<<"$headers")
case $magic in
    010b) seen_format=PE32 ;;
    020b) seen_format=PE32+ ;;
    *) seen_format="no PE optional header ($magic)" ;;
esac
check "PE format" "$seen_format" "$format"

# Terminal-server aware: Windows loads no compatibility layer into each session's copy.
characteristics=$(awk '/^DllCharacteristics/ { print $2 }' <<<"$headers")
check "terminal-server aware (DllCharacteristics ${characteristics:-?} has 0x8000)" \
    $((0x${characteristics:-0} & 0x8000)) $((0x8000))

# DLLs that every Windows installation carries; msvcrt.dll is the system's C
# library that MinGW-w64 programs use.
system_dlls=" advapi32.dll gdi32.dll kernel32.dll msvcrt.dll user32.dll "
foreign=""
imports=$(awk '/DLL Name:/ { print tolower($3) }' <<<"$headers" | sort -u | paste -sd ' ')
for dll in $imports; do
    [[ $system_dlls == *" $dll "* ]] || foreign="$foreign $dll"
done
check "imports beyond the system's ($imports)" "${foreign:- none}" " none"

# The manifest is plain text in the resource section.
manifest_arch=$(grep -a -o 'assemblyIdentity type="win32" name="Kestrum.Kestrum"[^>]*' "$exe" |
    grep -o 'processorArchitecture="[^"]*"' | cut -d'"' -f2)
check "manifest architecture" "${manifest_arch:-none}" "$arch"

# The version resource's strings, as the file's properties show them: UTF-16
# text in the resource section, each name followed by its value.
version_string() {
    strings -el "$exe" | grep -A1 -x "$1" | sed -n 2p
}
licence=$(grep -m 1 '^Copyright' "$(dirname "$0")/../../LICENSE")
check "company name" "$(version_string CompanyName)" "the Kestrum developers"
check "copyright, as in LICENSE" "$(version_string LegalCopyright)" "$licence"

symbols=$("$objdump" -t "$exe" | grep -c '^\[')
debug_sections=$("$objdump" -h "$exe" | grep -c ' \.debug_')
check "symbols and debugging sections" "${symbols:-?} and $debug_sections" "0 and 0"

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
