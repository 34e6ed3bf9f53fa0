#!/usr/bin/env bash
# The administrative templates: the .adml defines exactly the texts and presentations the .admx uses, and the .admx
# names the registry key and values the program reads (src/startup/policy_names.h).
set -uo pipefail
cd "$(dirname "$0")/../.." || exit 1
admx=policy/Kestrum.admx adml=policy/en-US/Kestrum.adml header=src/startup/policy_names.h
values() { xmllint --xpath "$2" "$1" | grep -o '"[^"]*"' | tr -d '"' | sort -u | paste -sd ' '; }
referred=$(grep -oE '(string|presentation)\.[A-Za-z_]+' "$admx" | sort -u | paste -sd ' ')
defined=$(for kind in string presentation; do
    values "$adml" "//*[local-name()='$kind']/@id" | tr ' ' '\n' | sed "s/^/$kind./"; done | sort -u | paste -sd ' ')
echo "referred to: $referred; defined: $defined"
key=$(sed -n 's/.*kPolicyKey = "\(.*\)";/\1/p' "$header" | sed 's/\\\\/\\/g')
names=$(grep -v kPolicyKey "$header" | sed -n 's/.*kPolicy[A-Za-z]* = "\(.*\)";/\1/p' | sort -u | paste -sd ' ')
template_key=$(values "$admx" "//*[local-name()='policy']/@key")
template_names=$(values "$admx" "//*[local-name()='policy']/@valueName | //*[local-name()='elements']/*/@valueName")
echo "the templates' key $template_key, values $template_names; the program's key $key, values $names"
[ -n "$referred" ] && [ "$referred" = "$defined" ] && [ -n "$key" ] && [ "$template_key" = "$key" ] &&
    [ -n "$names" ] && [ "$template_names" = "$names" ]
