#!/usr/bin/env bash
# The MSIs, installed: installer.sh STEP BUILD NEXT SUFFIX [OTHER]
#   (build/<preset>, build/<preset>-next, win32 or win64, and the other architecture's build folder: the 64-bit suite
#   checks the two architectures' packages together)
# - next: the same sources as the next patch version (preset <preset>-next), signed with a throwaway key;
# - other: the other architecture's release files, unsigned (its program alone built, then packaged);
# - signatures: its exe (in the zip and the MSI) and its MSI verify against that authority, and fail once a byte changes;
# - tables: each architecture's package names both upgrade codes (removing the other architecture's package of its
#   version or an earlier one, refusing a later one), and its secure properties hold NEWSIZE and the Upgrade rows';
# - wine, on the installer's private desktop (a fresh prefix): widths refused; upgrades that keep the start at logon;
#   each architecture's package replacing the other's, keeping the start at logon; a silent install and its exe; an
#   upgrade; a refused downgrade, and the other architecture's package refused beside it; an uninstall leaving nothing
#   behind.
set -uo pipefail
step=$1 build=$2 next=$3 suffix=$4 other_build=${5:-}
keys=$build/installer/keys out=$build/installer
version=$(cat "$build/version.txt") later=$(cat "$next/version.txt" 2>/dev/null)
msi=$build/Kestrum-$version-$suffix.msi later_msi=$next/Kestrum-$later-$suffix.msi
other_msi=$(find "${other_build:-/nonexistent}" -maxdepth 1 -name "Kestrum-$version-win*.msi" 2>/dev/null)
failed=0
result() { if [ "$1" = 0 ]; then echo "PASS $2"; else echo "FAIL $2"; failed=1; fi; }

# A certificate authority and a code-signing certificate it issued, valid for two days.
make_keys() {
    rm -rf "$keys" && mkdir -p "$keys" && cd "$keys" &&
        openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=Kestrum test authority" \
            -addext "basicConstraints=critical,CA:TRUE" -addext "keyUsage=critical,keyCertSign" -keyout ca.key -out ca.pem &&
        openssl req -newkey rsa:2048 -nodes -subj "/CN=Kestrum test signer" -keyout sign.key -out sign.csr &&
        printf '%s\n' basicConstraints=CA:FALSE keyUsage=critical,digitalSignature extendedKeyUsage=codeSigning >ext &&
        openssl x509 -req -days 2 -in sign.csr -CA ca.pem -CAkey ca.key -CAcreateserial -extfile ext -out sign.pem
}
verifies() { osslsigncode verify -CAfile "$keys/ca.pem" -in "$1" >/dev/null 2>&1; }
# Flips a bit of the byte at offset $2 of file $1.
change_byte() {
    # shellcheck disable=SC2059  # the format is the byte, as an octal escape
    printf "$(printf '\\%03o' $(($(od -An -tu1 -j "$2" -N1 "$1") ^ 32)))" |
        dd of="$1" bs=1 seek="$2" conv=notrunc status=none
}

case $step in
    next)
        (make_keys) >"$out-keys.log" 2>&1 || { cat "$out-keys.log"; exit 1; }
        cmake --preset "$(basename "$next")" >/dev/null &&
            KESTRUM_SIGN_CERT=$keys/sign.pem KESTRUM_SIGN_KEY=$keys/sign.key \
                cmake --build --preset "$(basename "$next")" --target package
        exit ;;
    other)
        cmake --preset "$(basename "$other_build")" >/dev/null &&
            cmake --build --preset "$(basename "$other_build")" --target kestrum && (cd "$other_build" && cpack)
        exit ;;
    tables)
        [ -n "$other_msi" ] || { echo "FAIL no MSI of $version in $other_build"; exit 1; }
        property() { msiinfo export "$1" Property | tr -d '\r' | sed -n "s/^$2\t//p"; }
        # The Upgrade table's rows, each as "<upgrade code> <lowest> <highest> <attributes> <property>".
        upgrade_rows() { msiinfo export "$1" Upgrade | tr -d '\r' | tail -n +4 | awk -F '\t' '{ print $1, $2 "-" $3, $5, $7 }' | sort; }
        for pair in "$msi $other_msi" "$other_msi $msi"; do
            read -r this that <<<"$pair"
            own=$(property "$this" UpgradeCode) theirs=$(property "$that" UpgradeCode)
            # An earlier version of itself removed and its features migrated (1); the other architecture's of this
            # version or an earlier one too, both ends included (1 + 256 + 512); a later version of either detected
            # alone (2), which the launch condition refuses.
            expected=$(printf '%s\n' "$own -$version 1 WIX_UPGRADE_DETECTED" "$own $version- 2 WIX_DOWNGRADE_DETECTED" \
                "$theirs 0.0.0-$version 769 OTHERARCHITECTURE" "$theirs $version- 2 WIX_DOWNGRADE_DETECTED" | sort)
            [ -n "$theirs" ] && [ "$own" != "$theirs" ] && [ "$(upgrade_rows "$this")" = "$expected" ]
            result $? "$(basename "$this") names its own upgrade code ${own:-?} and the other's, ${theirs:-?} (rows: $(upgrade_rows "$this" | paste -sd ';'))"
            secure=";$(property "$this" SecureCustomProperties);" missing=''
            for name in NEWSIZE $(upgrade_rows "$this" | cut -d' ' -f4 | sort -u); do
                [[ $secure == *";$name;"* ]] || missing+=" $name"
            done
            [ -z "$missing" ]
            result $? "$(basename "$this")'s SecureCustomProperties ($secure) hold NEWSIZE and the Upgrade rows' properties (missing:${missing:- none})"
        done
        exit "$failed" ;;
    signatures)
        work=$out/signatures
        rm -rf "$work" && mkdir -p "$work/zip" "$work/msi" && unzip -q "$next/Kestrum-$later-$suffix.zip" kestrum.exe -d "$work/zip" &&
            msiextract -C "$work/msi" "$later_msi" >/dev/null
        verifies "$work/zip/kestrum.exe" && verifies "$(find "$work/msi" -name kestrum.exe)" && verifies "$later_msi"
        result $? "$later: the exe (in the zip and in the MSI) and the MSI verify against the test authority"
        cp "$work/zip/kestrum.exe" "$work/changed.exe" && change_byte "$work/changed.exe" $(($(stat -c %s "$work/changed.exe") / 2))
        ! verifies "$work/changed.exe"
        result $? "$later: the exe with one byte changed (mid-file) fails verification"
        # A byte of the MSI's own data: the first letter of its publisher's name.
        cp "$later_msi" "$work/changed.msi"
        offset=$(grep -obUa 'the Kestrum developers' "$work/changed.msi" | head -n 1 | cut -d: -f1)
        [ -n "$offset" ] && change_byte "$work/changed.msi" "$offset" && ! verifies "$work/changed.msi"
        result $? "$later: the MSI with one byte changed (at ${offset:-?}) fails verification"
        exit "$failed" ;;
esac

# shellcheck source=tests/e2e/desktop.sh
source "$(dirname "$0")/../e2e/desktop.sh"
reason=$("$WINE_RUN" --can-run "$build/kestrum.exe") || { echo "skipped: $reason"; exit 77; }
desktop_use "$out" "$build" || exit
if [ "$suffix" = win32 ]; then program_files="Program Files (x86)" other="Program Files" view=Wow6432Node\\ other_view=''
else program_files="Program Files" other="Program Files (x86)" view='' other_view=Wow6432Node\\; fi
folder=$WINEPREFIX/drive_c/$program_files/Kestrum exe_path="C:\\$program_files\\Kestrum\\kestrum.exe"
uninstall_key="HKLM\\Software\\${view}Microsoft\\Windows\\CurrentVersion\\Uninstall"
run_key="HKLM\\Software\\${view}Microsoft\\Windows\\CurrentVersion\\Run" width_key="HKLM\\Software\\${view}Kestrum"
one_entry="Kestrum $later by the Kestrum developers"
# msiexec's 1603 reaches us from Wine modulo 256.
refused=$((1603 % 256))

wine_tool() { "$WINE_RUN" "$@" </dev/null; }
reg_value() { wine_tool reg query "$1" /v "$2" 2>/dev/null | tr -d '\r' | sed -n "s/^ *$2 *REG_[A-Z_]* *//p"; }
# The Run value and the installed programs list's Kestrum entries (one line each: "<name> <version> by <publisher>"),
# of the package's registry view or of the one given ('' the 64-bit one, 'Wow6432Node\' the 32-bit one).
run_value() { reg_value "HKLM\\Software\\${1-$view}Microsoft\\Windows\\CurrentVersion\\Run" Kestrum; }
entries() {
    wine_tool reg query "HKLM\\Software\\${1-$view}Microsoft\\Windows\\CurrentVersion\\Uninstall" /s 2>/dev/null |
        tr -d '\r' | awk -F '    ' '
        /^HKEY/ { if (n == "Kestrum") print n, v, "by", p; n = v = p = "" }
        $2 == "DisplayName" { n = $4 } $2 == "DisplayVersion" { v = $4 } $2 == "Publisher" { p = $4 }
        END { if (n == "Kestrum") print n, v, "by", p }'
}
# HKLM\Software (a line per key, and per value with its key), the Program Files and Start menu folders and Windows
# Installer's cache, sorted.
snapshot() {
    wine_tool reg export 'HKLM\Software' "$1.reg" /y >/dev/null 2>&1 || return 1
    { iconv -f UTF-16 -t UTF-8 "$1.reg" | tr -d '\r' | awk '/^\[/ { key = $0; print; next } /./ { print key " " $0 }'
        (cd "$WINEPREFIX/drive_c" && find "Program Files" "Program Files (x86)" windows/Installer \
            "ProgramData/Microsoft/Windows/Start Menu" users/*/AppData/Roaming/Microsoft/Windows/Start\ Menu 2>/dev/null
            true)  # (C:\windows\Installer is made by the first install)
    } | sort >"$1.txt"
}
# The event source "Kestrum" (HKLM\SYSTEM is one key for both packages): its values, or "no key".
event_source() {
    wine_tool reg query 'HKLM\SYSTEM\CurrentControlSet\Services\EventLog\Application\Kestrum' \
        >"$out/event-source.txt" 2>/dev/null || { echo 'no key'; return; }
    tr -d '\r' <"$out/event-source.txt" | awk -F '    ' 'NF >= 4 { print $2, $3, $4 }' | sort | paste -sd ';'
}
# A path in the prefix, as Linux sees it.
unix_path() { local path=${1#[Cc]:\\}; echo "$WINEPREFIX/drive_c/${path//\\//}"; }

snapshot "$out/before" || result 1 "the prefix's registry exports"

# Widths the program would refuse, refused before anything is installed: 1603, the install's log ending at the
# launch conditions (Wine's log does not carry their message), nothing installed.
wrong=''
for value in 99999 abc 0 -5 2.5 ''; do
    wine_tool msiexec /i "$msi" /qn ADDLOCAL=AutoStart "NEWSIZE=$value" /l*v "$out/newsize.log"
    status=$?
    [ "$status" = "$refused" ] && grep -aq 'LaunchConditions. Return value 0' "$out/newsize.log" &&
        [ -z "$(entries)" ] && [ ! -e "$folder" ] || wrong+=" '$value' (status $status)"
done
[ -z "$wrong" ]
result $? "NEWSIZE=99999, abc, 0, -5, 2.5 and an empty one refused before anything is installed (not so:${wrong:- none})"

# Upgrades that name no features keep the start at logon and, NEWSIZE not given again, its width: over an install
# with the earlier versions' Run value (the release MSI with that value put back by msibuild), and over this version.
old_msi=$out/old-run-value.msi
cp "$msi" "$old_msi" && msibuild "$old_msi" -q "UPDATE \`Registry\` SET \`Value\` = \
'\"[INSTALLFOLDER]kestrum.exe\" /AUTO /wait=120 /quiet /newsize=[NEWSIZE]' WHERE \`Name\` = 'Kestrum'"
for case in "$old_msi|/AUTO /wait=120 /quiet /newsize=250||/watch /newsize=250" \
    "$msi|/watch /newsize=250|NEWSIZE=280|/watch /newsize=280"; do
    IFS='|' read -r earlier earlier_run given later_run <<<"$case"
    wine_tool msiexec /i "$earlier" /qn ADDLOCAL=AutoStart NEWSIZE=250 && [ "$(run_value)" = "\"$exe_path\" $earlier_run" ]
    result $? "$(basename "$earlier") ADDLOCAL=AutoStart NEWSIZE=250 writes the Run value \"$exe_path\" $earlier_run (seen: $(run_value))"
    # shellcheck disable=SC2086  # no property or one
    wine_tool msiexec /i "$later_msi" /qn $given && [ "$(run_value)" = "\"$exe_path\" $later_run" ] &&
        [ "$(entries)" = "$one_entry" ]
    result $? "$later over it (msiexec /i ... /qn${given:+ $given}): one entry and the Run value ... $later_run (seen: $(run_value))"
    wine_tool msiexec /x "$later_msi" /qn && [ -z "$(entries)$(run_value)$(reg_value "$width_key" NEWSIZE)" ]
    result $? "that install uninstalls, its Run value and the width kept for the next with it"
done

# Each architecture's package replaces the other's (where the other's is given: the 64-bit suite), both ways, keeping
# the start at logon and its width as an upgrade does: Kestrum then in one registry view and one Program Files folder,
# the event source naming that exe.
if [ -n "$other_msi" ]; then
    # Kestrum in each registry view, the 64-bit one then the 32-bit one ("<entry>|<Version value>|<Run value>|"), the
    # event source's message file, and the Program Files folders holding Kestrum.
    views() {
        local v
        for v in '' Wow6432Node\\; do
            printf '%s|' "$(entries "$v")" "$(reg_value "HKLM\\Software\\${v}Kestrum" Version)" "$(run_value "$v")"
        done
        printf '%s|' "$(reg_value 'HKLM\SYSTEM\CurrentControlSet\Services\EventLog\Application\Kestrum' EventMessageFile)"
        (cd "$WINEPREFIX/drive_c" && find . -maxdepth 2 -path './Program Files*/Kestrum' | sort | paste -sd ',')
    }
    # What views() shows with Kestrum installed into C:\$1\Kestrum alone, started at logon at 260 pixels.
    only() {
        local exe="C:\\$1\\Kestrum\\kestrum.exe" there
        there="Kestrum $version by the Kestrum developers|$version|\"$exe\" /watch /newsize=260|"
        if [ "$1" = 'Program Files' ]; then echo "$there|||$exe|./$1/Kestrum"; else echo "|||$there$exe|./$1/Kestrum"; fi
    }
    for case in "$other_msi|ADDLOCAL=AutoStart NEWSIZE=260|$other" "$msi||$program_files" "$other_msi||$other"; do
        IFS='|' read -r package given holder <<<"$case"
        # shellcheck disable=SC2086  # no property or two
        wine_tool msiexec /i "$package" /qn $given && [ "$(views)" = "$(only "$holder")" ]
        result $? "$(basename "$package")${given:+ $given}: Kestrum in C:\\$holder alone, started at logon at 260 pixels (seen: $(views))"
    done
    wine_tool msiexec /x "$other_msi" /qn && [ "$(views)" = '|||||||' ]
    result $? "that install uninstalls, leaving no Kestrum in either view (seen: $(views))"
fi

# A silent install: the files in the build's own Program Files folder, one entry showing the exe's icon, a Start menu
# shortcut to the exe (in all users' Start menu on Windows, the user's under Wine: the log's ProgramMenuFolder says),
# no Run value; the installed exe sets the stand-in client's pane.
wine_tool msiexec /i "$msi" /qn /l*v "$out/install.log"
result $? "msiexec /i $(basename "$msi") /qn succeeds"
(cd "$folder" && ls kestrum.exe README.txt LICENSE.txt CHANGELOG.txt Kestrum.admx en-US/Kestrum.adml >/dev/null) &&
    [ ! -e "$WINEPREFIX/drive_c/$other/Kestrum" ]
result $? "kestrum.exe, README.txt, LICENSE.txt, CHANGELOG.txt, Kestrum.admx, en-US\\Kestrum.adml in C:\\$program_files\\Kestrum, nothing in C:\\$other"
[ "$(entries)" = "Kestrum $version by the Kestrum developers" ] && [ -z "$(run_value)" ] &&
    [ "$(reg_value "$width_key" Version)" = "$version" ]
result $? "one entry in $uninstall_key (seen: $(entries)), $width_key\\Version $version (seen: $(reg_value "$width_key" Version)), no Run value"
programs=$(grep -a '^Property(S): ProgramMenuFolder = ' "$out/install.log" | head -n 1 | cut -d' ' -f4- | tr -d '\r')
shortcut=$(unix_path "${programs}Kestrum.lnk")
lnkinfo "$shortcut" 2>/dev/null | tr -d '\r' >"$out/shortcut.txt"
icon=$(sed -n 's/^\tIcon location\t*: //p' "$out/shortcut.txt")
grep -qxF $'\tLocal path\t\t\t: '"$exe_path" "$out/shortcut.txt" && ! grep -q 'Command line arguments' "$out/shortcut.txt" &&
    [ -n "$icon" ] && [ -f "$(unix_path "$icon")" ]
result $? "Start menu shortcut ${programs:-?}Kestrum.lnk opens $exe_path with no arguments, with the package's icon (see $out/shortcut.txt)"
product_code=$(msiinfo export "$msi" Property | tr -d '\r' | sed -n 's/^ProductCode\t//p')
display_icon=$(reg_value "$uninstall_key\\$product_code" DisplayIcon)
[ "$display_icon" = "$exe_path,0" ] && wrestool -l --type=14 "$folder/kestrum.exe" 2>/dev/null | grep -q group_icon
result $? "the entry's DisplayIcon is the installed exe, which carries an icon (seen: ${display_icon:-none})"
source_values="EventMessageFile REG_EXPAND_SZ $exe_path;TypesSupported REG_DWORD 0x7"
[ "$(event_source)" = "$source_values" ]
result $? "the event source Kestrum: $source_values (seen: $(event_source))"

pane_width() { local l r; read -r _ _ _ l _ r _ < <(client_ask report '^pane ') && echo $((r - l)); }
status=1 before='' width=''
if client_start "$out" --window Orders --pane 2,15,12,220,150; then
    before=$(pane_width)
    wine_tool "$folder/kestrum.exe" /AUTO /newsize=250
    status=$?
    for _ in $(seq 20); do width=$(pane_width) && [ "$width" = 250 ] && break; sleep 0.25; done
fi
[ "$status" = 0 ] && [ "$width" = 250 ] && [ "$before" != 250 ]
result $? "the installed kestrum.exe /AUTO /newsize=250 ends with 0 and sets the pane from ${before:-?} to ${width:-?} pixels"
client_stop

# The next version with the start at logon replaces this one; this one is then refused as a downgrade (by the launch
# condition on the later version found, whose message Windows shows and Wine's log does not carry).
wine_tool msiexec /i "$later_msi" /qn ADDLOCAL=AutoStart NEWSIZE=250 && [ "$(entries)" = "$one_entry" ] &&
    cmp -s "$folder/kestrum.exe" "$next/kestrum.exe" && [ "$(run_value)" = "\"$exe_path\" /watch /newsize=250" ]
result $? "$later with ADDLOCAL=AutoStart NEWSIZE=250 replaces $version: one entry (seen: $(entries)), the later exe in place, $run_key\\Kestrum \"$exe_path\" /watch /newsize=250 (seen: $(run_value))"
wine_tool msiexec /i "$msi" /qn /l*v "$out/downgrade.log"
status=$?
[ "$status" = "$refused" ] && [ "$(entries)" = "$one_entry" ] && grep -aq 'WIX_DOWNGRADE_DETECTED = {' "$out/downgrade.log"
result $? "$version over $later is refused as a downgrade (status $status), $later stays"
if [ -n "$other_msi" ]; then
    wine_tool msiexec /i "$other_msi" /qn
    status=$?
    [ "$status" = "$refused" ] && [ "$(entries)" = "$one_entry" ] && [ -z "$(entries "$other_view")" ]
    result $? "$(basename "$other_msi") beside $later is refused as a downgrade too (status $status), $later stays"
fi

# The uninstall removes what the installs made and leaves everything as it was before the first: nothing added,
# nothing taken away. Windows Installer's own bookkeeping (Software\Classes\Installer, ...\CurrentVersion\Installer,
# C:\windows\Installer, and the 32-bit view's installed programs list, which a fresh prefix lacks until the first 32-bit
# package), made on first use and kept, counts only when not empty. One thing may go: the Run key of
# the package's registry view when it held no value before, which Wine's installer deletes once it has deleted the
# key's last value (its trace of this uninstall says so: "removing empty key").
WINEDEBUG=+msi wine_tool msiexec /x "$later_msi" /qn 2>"$out/uninstall-trace.log"
result $? "msiexec /x $(basename "$later_msi") /qn succeeds"
[ ! -e "$folder" ] && [ -z "$(entries)$(run_value)$(reg_value "$width_key" Version)" ] && [ -n "$programs" ] &&
    [ ! -e "$shortcut" ]
result $? "the uninstall removes the folder, the Start menu shortcut, the entry, the Version value and the Run value"
[ "$(event_source)" = 'no key' ]
result $? "the uninstall removes the event source's key (seen: $(event_source))"
snapshot "$out/after"
comm -13 "$out/before.txt" "$out/after.txt" | grep -vE \
    '^(\[HKEY_LOCAL_MACHINE\\Software\\((Classes|Microsoft\\Windows\\CurrentVersion)\\Installer(\\[^]]*)?|Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall)\]|windows/Installer)$' \
    >"$out/left-behind.txt"
comm -23 "$out/before.txt" "$out/after.txt" >"$out/gone.txt"
run_line="[${run_key/HKLM/HKEY_LOCAL_MACHINE}]"
if [ "$(cat "$out/gone.txt")" = "$run_line" ] && ! grep -qF "$run_line " "$out/before.txt" &&
    grep -qF 'removing empty key L"Software\\Microsoft\\Windows\\CurrentVersion\\Run"' "$out/uninstall-trace.log"; then
    echo "Wine's installer removed the emptied key $run_key (its trace: removing empty key)"
    : >"$out/gone.txt"
fi
[ -s "$out/before.txt" ] && [ ! -s "$out/left-behind.txt" ] && [ ! -s "$out/gone.txt" ]
result $? "nothing left behind in HKLM\\Software, Program Files or the Start menu, and nothing else gone (see $out/left-behind.txt, $out/gone.txt)"
exit "$failed"
