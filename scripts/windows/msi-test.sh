#!/usr/bin/env bash
# Tests Velmora's MSI under Wine as a Windows administrator and user meet
# it, in the fresh Wine prefix $WINEPREFIX on the X display $DISPLAY: a
# silent install, what the installation holds and does, a silent uninstall
# and what it leaves; then an upgrade over an older version. One line per
# row, then "N passed, N failed"; exits 1 when a row failed.
#
#   msi-test.sh MSI OLDER_MSI INSTALL_TREE VERSION GHOSTSCRIPT_BIN
#
# MSI is the package to test, OLDER_MSI the same program as an older
# version, INSTALL_TREE the files MSI was made from, VERSION its version and
# GHOSTSCRIPT_BIN a folder holding gswin64c.exe.
set -uo pipefail
msi=$1
older=$2
tree=$3
version=$4
ghostscript=$5
: "${WINEPREFIX:?set WINEPREFIX to a folder of its own}"
export WINEDEBUG=-all
# Wine would copy the Start-menu shortcut and its icons into this machine's
# own desktop menus; the test keeps to its prefix.
export WINEDLLOVERRIDES=winemenubuilder.exe=d

installed="$WINEPREFIX/drive_c/Program Files/Velmora"
program='C:\Program Files\Velmora\velmora.exe'
convert='C:\Program Files\Velmora\velmora-convert.exe'
classes='HKLM\Software\Classes'
uninstall='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall'
settings='HKCU\Software\Dravik\Dravik\Velmora'
# A program that shows a box instead of answering waits for ever.
patience=120
work=$(mktemp -d)
trap 'wineserver -k 2>/dev/null; rm -rf "$work"' EXIT

passed=0
failed=0
# row REASON COMMAND...: runs the command, which fails the row by failing.
row() {
    local reason=$1
    shift
    if "$@" >"$work/row.log" 2>&1; then
        passed=$((passed + 1))
        echo "ok     $reason"
    else
        failed=$((failed + 1))
        echo "FAILED $reason"
        sed 's/^/       /' "$work/row.log"
    fi
}

win() { winepath -w "$1" 2>/dev/null; }
msiexec() { timeout "$patience" wine msiexec "$@"; }
# The data of a registry value ("" for the key's default), or a failure.
value() {
    local key=$1 name=$2
    local line
    if [ -z "$name" ]; then
        line=$(wine reg query "$key" /ve 2>/dev/null | tr -d '\r' | grep -m1 'REG_')
    else
        line=$(wine reg query "$key" /v "$name" 2>/dev/null | tr -d '\r' | grep -m1 "^ *$name ")
    fi
    [ -n "$line" ] || return 1
    sed -E 's/^ *[^ ].*REG_[A-Z_]+ *//' <<<"$line"
}
is_value() {
    local data
    data=$(value "$1" "$2") || { echo "$1 [$2] is missing"; return 1; }
    [ "$data" = "$3" ] || { echo "$1 [$2] is '$data', not '$3'"; return 1; }
}
no_key() { ! wine reg query "$1" >/dev/null 2>&1 || { echo "$1 is left"; return 1; }; }
no_value() { ! value "$1" "$2" >/dev/null || { echo "$1 [$2] is left"; return 1; }; }
# The "Apps & features" entries of Velmora, one key a line.
entries() {
    wine reg query "$uninstall" /s 2>/dev/null | tr -d '\r' |
        awk '/^HKEY/ { key = $0 } /^ +DisplayName +REG_SZ +Velmora$/ { print key }'
}
shortcuts() { find "$WINEPREFIX/drive_c" -path '*/Start Menu/Programs/Velmora.lnk'; }

installs() { msiexec /i "$(win "$1")" /qn; }
uninstalls() { msiexec /x "$(win "$msi")" /qn; }

holds_the_tree() {
    diff <(cd "$tree" && find . -type f | LC_ALL=C sort) \
        <(cd "$installed" && find . -type f | LC_ALL=C sort)
}
has_a_shortcut() { [ "$(shortcuts | wc -l)" -eq 1 ]; }

# Started from its shortcut, the program shows its window and nothing else:
# a box of any kind would be a second visible window of the same process.
shortcut_starts_the_window_alone() {
    local shortcut window pid count
    shortcut=$(shortcuts)
    wine start /unix "$shortcut" &
    # Searched again until it shows: Wine makes and drops windows of its own
    # meanwhile, and a search that meets one as it goes fails (BadWindow).
    local deadline=$((SECONDS + patience))
    window=
    while [ -z "$window" ] && [ "$SECONDS" -lt "$deadline" ]; do
        window=$(xdotool search --onlyvisible --name '^Velmora$' 2>/dev/null | head -1) || true
        [ -n "$window" ] || sleep 1
    done
    if [ -z "$window" ]; then
        echo "no window titled Velmora; the windows shown:"
        for w in $(xdotool search --onlyvisible --name . 2>/dev/null); do
            xdotool getwindowname "$w" 2>/dev/null
        done
        # A program still starting would hold its files through the rows after.
        wineserver -k 2>/dev/null || true
        wait
        return 1
    fi
    pid=$(xdotool getwindowpid "$window")
    # Whatever the program opens at start is open once its window is.
    xdotool sleep 2
    count=$(xdotool search --onlyvisible --pid "$pid" | wc -l)
    kill "$pid"
    wait
    [ "$count" -eq 1 ] || {
        echo "$count windows:"
        for w in $(xdotool search --onlyvisible --pid "$pid"); do xdotool getwindowname "$w"; done
        return 1
    }
}

# Through a pipe, without a console: the version on standard output.
says_its_version_to_a_pipe() {
    local out
    out=$(timeout "$patience" wine "$convert" --version </dev/null | tr -d '\r')
    [ "$out" = "velmora-convert $version" ] || { echo "said: '$out'"; return 1; }
}

converts_a_page() {
    mkdir -p "$work/out"
    printf '%%!PS\n<< /PageSize [200 100] >> setpagedevice\n10 10 moveto 90 90 lineto stroke showpage\n' \
        >"$work/page.ps"
    WINEPATH=$(win "$ghostscript") timeout "$patience" wine "$convert" \
        --output-dir "$(win "$work/out")" "$(win "$work/page.ps")" </dev/null
    [ -s "$work/out/page-001.jpg" ]
}

opens_postscript_on_request() {
    is_value "$classes\\Velmora.PostScript\\shell\\open\\command" "" "\"$program\" \"%1\"" &&
        is_value "$classes\\Velmora.PostScript\\DefaultIcon" "" "$program,0" &&
        value "$classes\\.ps\\OpenWithProgids" Velmora.PostScript &&
        value "$classes\\.eps\\OpenWithProgids" Velmora.PostScript
}
leaves_the_default_program() {
    for extension in .ps .eps; do
        [ "$(value "$classes\\$extension" "")" != Velmora.PostScript ] ||
            { echo "$extension opens with Velmora by default"; return 1; }
    done
}
is_in_apps_and_features() {
    local key
    key=$(entries)
    [ "$(wc -l <<<"$key")" -eq 1 ] || { echo "entries: $key"; return 1; }
    is_value "$key" DisplayName Velmora && is_value "$key" Publisher Dravik &&
        is_value "$key" DisplayVersion "$version"
}
has_its_icon_there() {
    local icon
    icon=$(wine reg query 'HKLM\Software\Classes\Installer\Products' /s /v ProductIcon 2>/dev/null |
        tr -d '\r' | sed -nE 's/^ *ProductIcon +REG_SZ +//p')
    [ -n "$icon" ] && [ -s "$(winepath -u "$icon" 2>/dev/null)" ]
}
user_has_settings() { wine reg add "$settings" /v Extension /d eps /f; }

leaves_no_file() { [ ! -e "$installed" ] || { find "$installed"; return 1; }; }
leaves_no_shortcut() { [ -z "$(shortcuts)" ]; }
leaves_no_file_type() {
    no_key "$classes\\Velmora.PostScript" && no_value "$classes\\.ps\\OpenWithProgids" Velmora.PostScript &&
        no_value "$classes\\.eps\\OpenWithProgids" Velmora.PostScript
}
leaves_no_entry() { [ -z "$(entries)" ]; }
keeps_the_users_settings() { is_value "$settings" Extension eps; }

wineboot -i >/dev/null 2>&1
wineserver -w

row "installs silently (msiexec /i /qn)" installs "$msi"
row "holds exactly the files the build runs with" holds_the_tree
row "a Start-menu shortcut \"Velmora\"" has_a_shortcut
row "the shortcut starts the window, and no box with it" shortcut_starts_the_window_alone
row "velmora-convert.exe --version answers through a pipe" says_its_version_to_a_pipe
row "velmora-convert.exe converts a page with Ghostscript on PATH" converts_a_page
row "\"Open with\" offers Velmora for .ps and .eps" opens_postscript_on_request
row "the default program of .ps and .eps stays" leaves_the_default_program
row "one \"Apps & features\" entry: Velmora, Dravik, $version" is_in_apps_and_features
row "the entry has the program's icon" has_its_icon_there
row "the user's own settings are written" user_has_settings
row "uninstalls silently (msiexec /x /qn)" uninstalls
row "no file is left" leaves_no_file
row "no shortcut is left" leaves_no_shortcut
row "no file-type entry is left" leaves_no_file_type
row "no \"Apps & features\" entry is left" leaves_no_entry
row "the user's settings stay" keeps_the_users_settings
row "an older version installs" installs "$older"
row "this version installs over it" installs "$msi"
row "one installed copy is left, this version" is_in_apps_and_features
row "uninstalling it leaves nothing" uninstalls
row "no file after the upgrade" leaves_no_file
row "no entry after the upgrade" leaves_no_entry

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
