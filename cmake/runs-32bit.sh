#!/usr/bin/env bash
# Succeeds where the kernel runs 32-bit programs; otherwise prints what it answered. It runs a minimal 32-bit
# program (an ELF header, one segment, and exit(0)), so it needs nothing installed.
set -uo pipefail
elf32='\x7fELF\x01\x01\x01\0\0\0\0\0\0\0\0\0\x02\0\x03\0\x01\0\0\0\x54\x80\x04\x08\x34\0\0\0\0\0\0\0\0\0\0\0'
elf32+='\x34\0\x20\0\x01\0\0\0\0\0\0\0\x01\0\0\0\0\0\0\0\0\x80\x04\x08\0\x80\x04\x08\x5b\0\0\0\x5b\0\0\0\x05\0\0\0\0\x10\0\0'
elf32+='\x31\xdb\x31\xc0\x40\xcd\x80'
elf=$(mktemp) && printf '%b' "$elf32" >"$elf" && chmod +x "$elf" || exit 1
answer=$("$elf" 2>&1)
status=$?
rm -f "$elf"
[ "$status" -eq 0 ] || echo "a 32-bit program ends with status $status: ${answer##*: }"
exit "$status"
