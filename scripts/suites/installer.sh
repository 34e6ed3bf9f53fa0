#!/usr/bin/env bash
# The MSIs, installed. For each Windows build, first without Wine: the same
# sources built as the next patch version (the <preset>-next preset),
# packaged with a throwaway code-signing key, whose exe and MSI must verify
# against the throwaway authority and fail to once a byte is changed. Then,
# where this host runs the build's architecture, in a Wine prefix made anew
# (build/installer/<preset>/wineprefix) on a private display: a width
# (NEWSIZE) the program would refuse is refused before anything is installed;
# an install that wrote the earlier versions' Run value (/AUTO /wait=120
# /quiet) is upgraded to the resident watch's (/watch); a silent install of
# the release MSI puts the files and the administrative templates into the
# right Program Files folder, an entry with the exe's icon into the installed
# programs list and a Start menu shortcut to the exe, and writes no Run value;
# the installed exe sets the stand-in client's pane; the later MSI with
# ADDLOCAL=AutoStart NEWSIZE=250 replaces it, leaving one entry, and writes
# the Run value; the earlier MSI is then refused; a silent uninstall removes
# the files, the shortcut, the entry and the Run value, and leaves HKLM\Software,
# the Program Files and Start menu folders as they were before the first
# install (nothing added, nothing taken away but what the installer's engine
# is seen to take). A build this host cannot run is reported as skipped, with
# the reason.
# Ends with "N passed, N failed, N skipped".
set -uo pipefail
cd "$(dirname "$0")/../.." || exit 1

out_root=build/installer
mkdir -p "$out_root"
keys=$(mktemp -d)

# shellcheck source=scripts/lib/summary.sh
source scripts/lib/summary.sh
# shellcheck source=tests/e2e/desktop.sh
source tests/e2e/desktop.sh
cleanup() {
    e2e_desktop_stop
    rm -rf "$keys"
}
trap cleanup EXIT
trap 'exit 130' INT TERM
# The release MSIs are checked as built without a key.
unset KESTRUM_SIGN_CERT KESTRUM_SIGN_KEY KESTRUM_SIGN_TIMESTAMP_URL

# Both versions, as their builds name them (build/<preset>/version.txt).
version='' later=''

# A certificate authority and a code-signing certificate it issued, for this
# run only (in a temporary folder, removed at the end).
make_keys() {
    openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=Kestrum test authority" \
        -addext "basicConstraints=critical,CA:TRUE" -addext "keyUsage=critical,keyCertSign" \
        -keyout "$keys/ca.key" -out "$keys/ca.pem" &&
        openssl req -newkey rsa:2048 -nodes -subj "/CN=Kestrum test signer" \
            -keyout "$keys/sign.key" -out "$keys/sign.csr" &&
        printf '%s\n' "basicConstraints=CA:FALSE" "keyUsage=critical,digitalSignature" \
            "extendedKeyUsage=codeSigning" >"$keys/signer.ext" &&
        openssl x509 -req -days 2 -in "$keys/sign.csr" -CA "$keys/ca.pem" -CAkey "$keys/ca.key" \
            -CAcreateserial -extfile "$keys/signer.ext" -out "$keys/sign.pem"
}

verifies() {
    osslsigncode verify -CAfile "$keys/ca.pem" -in "$1" >/dev/null 2>&1
}

# Changes the byte at offset $2 of file $1.
change_byte() {
    local byte
    byte=$(od -An -t u1 -j "$2" -N 1 "$1" | tr -d ' ')
    # shellcheck disable=SC2059  # the format is the byte itself, as an octal escape
    printf "$(printf '\\%03o' $((byte ^ 0x20)))" | dd of="$1" bs=1 seek="$2" conv=notrunc status=none
}

# The signatures of the later build's exe (in its zip and in its MSI) and MSI.
check_signatures() {
    local label=$1 zip=$2 msi=$3 work=$4 offset
    rm -rf "$work"
    mkdir -p "$work/zip" "$work/msi"
    unzip -q "$zip" kestrum.exe -d "$work/zip" 2>/dev/null
    msiextract -C "$work/msi" "$msi" >/dev/null 2>&1
    verifies "$work/zip/kestrum.exe" && verifies "$(find "$work/msi" -name kestrum.exe | head -n 1)" &&
        verifies "$msi"
    summary_result $? "signing, $label: the exe (in the zip and in the MSI) and the MSI verify against the test authority"

    cp "$work/zip/kestrum.exe" "$work/changed.exe"
    change_byte "$work/changed.exe" $(($(stat -c %s "$work/changed.exe") / 2))
    ! verifies "$work/changed.exe"
    summary_result $? "signing, $label: the exe with one byte changed (mid-file) fails verification"

    # A byte of the MSI's own data: the first letter of its publisher's name.
    cp "$msi" "$work/changed.msi"
    offset=$(grep -obUa 'the Kestrum developers' "$work/changed.msi" | head -n 1 | cut -d: -f1)
    [ -n "$offset" ] && change_byte "$work/changed.msi" "$offset" && ! verifies "$work/changed.msi"
    summary_result $? "signing, $label: the MSI with one byte changed (at ${offset:-?}) fails verification"
}

# Wine's tools, on the prefix of the build under test.
wine_tool() {
    "$E2E_WINE" "$@" </dev/null
}

# The installed programs list's Kestrum entries, one line each:
# "<name> <version> by <publisher>".
kestrum_entries() {
    wine_tool reg query "$uninstall_key" /s 2>/dev/null | tr -d '\r' | awk -F '    ' '
        function flush() { if (name == "Kestrum") print name, version, "by", publisher }
        /^HKEY/ { flush(); name = version = publisher = ""; next }
        $2 == "DisplayName" { name = $4 }
        $2 == "DisplayVersion" { version = $4 }
        $2 == "Publisher" { publisher = $4 }
        END { flush() }'
}

run_value() {
    wine_tool reg query "$run_key" /v Kestrum 2>/dev/null | tr -d '\r' | awk -F '    ' '$2 == "Kestrum" { print $4 }'
}

# What is in HKLM\Software (one line a key, and one a value with its key), in
# the Program Files folders, the Start menu folders (all users' and the
# user's) and Windows Installer's folder of cached packages and icons.
snapshot() {
    wine_tool reg export 'HKLM\Software' "$1.reg" /y >/dev/null 2>&1 || return 1
    {
        iconv -f UTF-16 -t UTF-8 "$1.reg" | tr -d '\r' |
            awk '/^\[/ { key = $0; print key; next } /./ { print key " " $0 }'
        # (C:\windows\Installer is made by the first install.)
        (cd "$WINEPREFIX/drive_c" || exit 1
            find "Program Files" "Program Files (x86)" windows/Installer "ProgramData/Microsoft/Windows/Start Menu" \
                users/*/AppData/Roaming/Microsoft/Windows/Start\ Menu 2>/dev/null
            true)
    } | sort >"$1.txt"
}

# The unix path of a path in the prefix's drive C: ("C:\users\..." ).
unix_path() {
    local path=${1#[Cc]:\\}
    echo "$WINEPREFIX/drive_c/${path//\\//}"
}

# The pane's width, from the stand-in client's report
# "pane <h> screen <l> <t> <r> <b> client ...".
pane_width() {
    local l r
    read -r _ _ _ l _ r _ < <(e2e_client_ask report '^pane ') || return 1
    echo $((r - l))
}

# The build under test, set by run_build for the steps below.
preset='' label='' folder='' msi='' later_msi='' out='' uninstall_key='' run_key='' product_code='' shortcut=''

# Both versions' release files: the release MSI unsigned, the next version's
# signed with the throwaway key (given at build time, in the environment).
build_packages() {
    { cmake --preset "$preset" && cmake --build --preset "$preset" --target package; } >"$out/build.log" 2>&1 &&
        { cmake --preset "$preset-next" &&
            KESTRUM_SIGN_CERT=$keys/sign.pem KESTRUM_SIGN_KEY=$keys/sign.key \
                cmake --build --preset "$preset-next" --target package; } >"$out/later.log" 2>&1
}

# Widths the program would refuse or replace, each refused by the installer
# on the fresh prefix before it changes anything: msiexec's 1603 (as Wine
# reports it, modulo 256), the install's log ending at the launch conditions
# (Wine's log does not carry their message, which the package check reads in
# the MSI), and nothing installed. NEWSIZE=250 installs in the steps below.
check_newsize_refused() {
    local value status wrong=''
    for value in 99999 abc 0 -5 2.5; do
        wine_tool msiexec /i "$msi" /qn ADDLOCAL=AutoStart "NEWSIZE=$value" /l*v "$out/newsize.log"
        status=$?
        [ "$status" -eq $((1603 % 256)) ] && grep -aq 'LaunchConditions. Return value 0' "$out/newsize.log" &&
            [ -z "$(kestrum_entries)" ] && [ ! -e "$folder" ] || wrong="$wrong $value (status $status)"
    done
    [ -z "$wrong" ]
    summary_result $? "installer, $label: NEWSIZE=99999, abc, 0, -5, 2.5 refused before anything is installed (not so:${wrong:- none})"
}

# An install that wrote the earlier versions' Run value (the release MSI
# with that value put back into its Registry table by msibuild), upgraded:
# the start at logon stays, as the watch. (The feature is named again: Wine's
# installer does not carry it over from the version it replaces.)
check_upgrade_over_old_run_value() {
    local program_files=$1 old_msi=$out/old-run-value.msi old_run new_run
    old_run="\"C:\\$program_files\\Kestrum\\kestrum.exe\" /AUTO /wait=120 /quiet /newsize=250"
    new_run="\"C:\\$program_files\\Kestrum\\kestrum.exe\" /watch /newsize=250"
    cp "$msi" "$old_msi" &&
        msibuild "$old_msi" -q "UPDATE \`Registry\` SET \`Value\` = '\"[INSTALLFOLDER]kestrum.exe\" /AUTO /wait=120 /quiet /newsize=[NEWSIZE]' WHERE \`Name\` = 'Kestrum'" &&
        wine_tool msiexec /i "$old_msi" /qn ADDLOCAL=AutoStart NEWSIZE=250 && [ "$(run_value)" = "$old_run" ]
    summary_result $? "installer, $label: with the earlier Run value, msiexec /i ... ADDLOCAL=AutoStart NEWSIZE=250 writes $old_run (seen: $(run_value))"
    wine_tool msiexec /i "$later_msi" /qn ADDLOCAL=AutoStart NEWSIZE=250 && [ "$(run_value)" = "$new_run" ] &&
        [ "$(kestrum_entries)" = "Kestrum $later by the Kestrum developers" ]
    summary_result $? "installer, $label: $later over it leaves one entry and the Run value $new_run (seen: $(run_value))"
    wine_tool msiexec /x "$later_msi" /qn && [ -z "$(kestrum_entries)" ] && [ -z "$(run_value)" ]
    summary_result $? "installer, $label: that install uninstalls, the Run value with it"
}

# A silent install: the files and the administrative templates in the build's
# own Program Files folder, one entry in the installed programs list showing
# the exe's icon, a Start menu shortcut to the exe, no Run value.
check_fresh_install() {
    local program_files=$1 other_program_files=$2 entries exe_path programs icon display_icon
    wine_tool msiexec /i "$msi" /qn /l*v "$out/install.log"
    summary_result $? "installer, $label: msiexec /i $(basename "$msi") /qn succeeds"
    [ -f "$folder/kestrum.exe" ] && [ -f "$folder/README.txt" ] && [ -f "$folder/LICENSE.txt" ] &&
        [ -f "$folder/CHANGELOG.txt" ] && [ -f "$folder/Kestrum.admx" ] && [ -f "$folder/en-US/Kestrum.adml" ] &&
        [ ! -e "$WINEPREFIX/drive_c/$other_program_files/Kestrum" ]
    summary_result $? "installer, $label: kestrum.exe, README.txt, LICENSE.txt, CHANGELOG.txt, Kestrum.admx, en-US\\Kestrum.adml in C:\\$program_files\\Kestrum, nothing in C:\\$other_program_files"
    entries=$(kestrum_entries)
    [ "$entries" = "Kestrum $version by the Kestrum developers" ]
    summary_result $? "installer, $label: one entry in $uninstall_key (seen: ${entries:-none})"
    [ -z "$(run_value)" ]
    summary_result $? "installer, $label: a default install writes no Run value"

    # The shortcut, where the installer put the Programs folder: Windows, in a
    # per-machine install, puts it in all users' Start menu; Wine 8 in the
    # user's (the log's ProgramMenuFolder says which).
    exe_path="C:\\$program_files\\Kestrum\\kestrum.exe"
    programs=$(grep -a '^Property(S): ProgramMenuFolder = ' "$out/install.log" | head -n 1 | cut -d' ' -f4- | tr -d '\r')
    shortcut=$(unix_path "${programs}Kestrum.lnk")
    lnkinfo "$shortcut" 2>/dev/null | tr -d '\r' >"$out/shortcut.txt"
    icon=$(awk -F '\t+: ' '/Icon location/ { print $2 }' "$out/shortcut.txt")
    grep -qxF $'\tLocal path\t\t\t: '"$exe_path" "$out/shortcut.txt" &&
        ! grep -q 'Command line arguments' "$out/shortcut.txt" && [ -n "$icon" ] && [ -f "$(unix_path "$icon")" ]
    summary_result $? "installer, $label: Start menu shortcut ${programs:-?}Kestrum.lnk opens $exe_path with no arguments, with the package's icon (see $out/shortcut.txt)"
    display_icon=$(wine_tool reg query "$uninstall_key\\$product_code" /v DisplayIcon 2>/dev/null | tr -d '\r' |
        awk -F '    ' '$2 == "DisplayIcon" { print $4 }')
    [ "$display_icon" = "$exe_path,0" ] && wrestool -l --type=14 "$folder/kestrum.exe" 2>/dev/null | grep -q group_icon
    summary_result $? "installer, $label: the entry's DisplayIcon is the installed exe, which carries an icon (seen: ${display_icon:-none})"
}

# The installed exe, unattended, against the stand-in client.
check_installed_exe() {
    local status=1 before='' width=''
    if e2e_client_start "$out" --window Orders --pane 2,15,12,220,150; then
        before=$(pane_width)
        wine_tool "$folder/kestrum.exe" /AUTO /newsize=250
        status=$?
        for _ in $(seq 20); do
            width=$(pane_width) && [ "$width" = 250 ] && break
            sleep 0.25
        done
    fi
    [ "$status" -eq 0 ] && [ "$width" = 250 ] && [ "$before" != 250 ]
    summary_result $? "installer, $label: the installed kestrum.exe /AUTO /newsize=250 ends with 0 and sets the pane from ${before:-?} to ${width:-?} pixels"
    e2e_client_stop
}

# The next version with the start at logon replaces this one.
check_upgrade() {
    local program_files=$1 entries expected_run
    wine_tool msiexec /i "$later_msi" /qn ADDLOCAL=AutoStart NEWSIZE=250
    summary_result $? "installer, $label: msiexec /i $(basename "$later_msi") /qn ADDLOCAL=AutoStart NEWSIZE=250 succeeds"
    entries=$(kestrum_entries)
    [ "$entries" = "Kestrum $later by the Kestrum developers" ] && cmp -s "$folder/kestrum.exe" "$out/signatures/zip/kestrum.exe"
    summary_result $? "installer, $label: $later replaces $version: one entry (seen: ${entries:-none}), the later exe in place"
    expected_run="\"C:\\$program_files\\Kestrum\\kestrum.exe\" /watch /newsize=250"
    [ "$(run_value)" = "$expected_run" ]
    summary_result $? "installer, $label: $run_key\\Kestrum is $expected_run (seen: $(run_value))"
}

# The earlier version over the later one: refused by the launch condition on
# the detected later version (whose message Windows shows; Wine's log does not
# carry it). msiexec's 1603 arrives from Wine modulo 256.
check_downgrade_refused() {
    local status entries
    wine_tool msiexec /i "$msi" /qn /l*v "$out/downgrade.log"
    status=$?
    entries=$(kestrum_entries)
    [ "$status" -ne 0 ] && [ "$entries" = "Kestrum $later by the Kestrum developers" ] &&
        grep -aq 'WIX_DOWNGRADE_DETECTED = {' "$out/downgrade.log"
    summary_result $? "installer, $label: $version over $later is refused as a downgrade (status $status, $((1603 % 256)) expected), $later stays"
}

# A silent uninstall removes what the installs made, and leaves everything as
# it was before the first of them: nothing added, nothing taken away.
# Windows Installer's own bookkeeping (the keys Software\Classes\Installer and
# ...\CurrentVersion\Installer, the folder C:\windows\Installer), which it
# makes on first use and keeps, is left out when empty; anything in it
# counts. One thing may go: the Run key of the package's registry view, when
# it held no value before. The package neither removes nor creates that key
# (its Registry table has the one value, no RemoveRegistry table); Wine's
# installer, once it has deleted a key's last value, deletes the key too,
# which its trace of this uninstall must show ("removing empty key").
check_uninstall() {
    local run_line removed
    WINEDEBUG=+msi wine_tool msiexec /x "$later_msi" /qn 2>"$out/uninstall-trace.log"
    summary_result $? "installer, $label: msiexec /x $(basename "$later_msi") /qn succeeds"
    [ ! -e "$folder" ] && [ -z "$(kestrum_entries)" ] && [ -z "$(run_value)" ] &&
        [ -n "$shortcut" ] && [ ! -e "$shortcut" ]
    summary_result $? "installer, $label: the uninstall removes the folder, the Start menu shortcut, the entry and the Run value"
    snapshot "$out/after"
    comm -13 "$out/before.txt" "$out/after.txt" |
        grep -vE '^(\[HKEY_LOCAL_MACHINE\\Software\\(Classes|Microsoft\\Windows\\CurrentVersion)\\Installer(\\[^]]*)?\]|windows/Installer)$' \
            >"$out/left-behind.txt"
    run_line="[${run_key/HKLM/HKEY_LOCAL_MACHINE}]"
    removed=$(grep -cF 'removing empty key L"Software\\Microsoft\\Windows\\CurrentVersion\\Run"' "$out/uninstall-trace.log")
    comm -23 "$out/before.txt" "$out/after.txt" >"$out/gone.txt"
    if [ "$(cat "$out/gone.txt")" = "$run_line" ] && [ "$removed" -gt 0 ] &&
        ! grep -qF "$run_line " "$out/before.txt"; then
        echo "installer, $label: Wine's installer removed the emptied key $run_key (its trace: removing empty key)"
        : >"$out/gone.txt"
    fi
    [ -s "$out/before.txt" ] && [ ! -s "$out/left-behind.txt" ] && [ ! -s "$out/gone.txt" ]
    summary_result $? "installer, $label: nothing left behind in HKLM\\Software, Program Files or the Start menu, and nothing else gone (see $out/left-behind.txt, $out/gone.txt)"
}

# PRESET ARCH LABEL SUFFIX PROGRAM-FILES OTHER-PROGRAM-FILES REGISTRY-VIEW
run_build() {
    local arch=$2 suffix=$4 program_files=$5 other_program_files=$6 view=$7 reason
    preset=$1 label=$3 out=$out_root/$1
    echo "=== installer, $label build"
    mkdir -p "$out"
    if ! build_packages; then
        summary_result 1 "installer, $label: both versions build and package (see $out/build.log, $out/later.log)"
        return
    fi
    version=$(cat "build/$preset/version.txt")
    later=$(cat "build/$preset-next/version.txt")
    msi=build/$preset/Kestrum-$version-$suffix.msi
    later_msi=build/$preset-next/Kestrum-$later-$suffix.msi
    check_signatures "$label" "build/$preset-next/Kestrum-$later-$suffix.zip" "$later_msi" "$out/signatures"

    if ! reason=$(cmake/wine-run.sh --can-run "$arch"); then
        summary_skip "installer, $label build under Wine" "$reason"
        return
    fi
    rm -rf "$out/wineprefix"
    if ! e2e_desktop_start "$out/wineprefix"; then
        summary_result 1 "installer, $label: a private desktop and a fresh Wine prefix start"
        return
    fi
    # No Linux menu entries for the shortcut (Wine's menu builder would write
    # them outside the prefix).
    export WINEDLLOVERRIDES="$WINEDLLOVERRIDES;winemenubuilder.exe=d"
    E2E_BIN=build/$preset
    product_code=$(msiinfo export "$msi" Property | tr -d '\r' | awk -F '\t' '$1 == "ProductCode" { print $2 }')
    uninstall_key="HKLM\\Software\\${view}Microsoft\\Windows\\CurrentVersion\\Uninstall"
    run_key="HKLM\\Software\\${view}Microsoft\\Windows\\CurrentVersion\\Run"
    folder=$WINEPREFIX/drive_c/$program_files/Kestrum
    snapshot "$out/before" || summary_result 1 "installer, $label: the prefix's registry exports"

    check_newsize_refused
    check_upgrade_over_old_run_value "$program_files"
    check_fresh_install "$program_files" "$other_program_files"
    check_installed_exe
    check_upgrade "$program_files"
    check_downgrade_refused
    check_uninstall
    e2e_desktop_stop
}

if make_keys >"$out_root/keys.log" 2>&1; then
    run_build windows i686 32-bit win32 "Program Files (x86)" "Program Files" "Wow6432Node\\"
    run_build windows64 x86_64 64-bit win64 "Program Files" "Program Files (x86)" ''
else
    summary_result 1 "a throwaway signing key is made (see $out_root/keys.log)"
fi

summary_finish
