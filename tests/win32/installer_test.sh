#!/usr/bin/env bash
# The installer as a Windows user meets it, in throw-away 32-bit prefixes: silent
# install, the stand-in Word loading the add-in from the startup folder, uninstall,
# installing twice, a running Word, and the first page of the wizard.
#   installer_test.sh INSTALLER WORDHOST_EXE WORK_FOLDER
set -uo pipefail
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$@"
fi
installer="$1" wordhost="$2" work="$3"
rm -rf "$work"
mkdir -p "$work/screenshots"
export WINEARCH=win32 WINEPREFIX="$work/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
# Wine's code page 1256; the shell itself has no such locale installed.
wine() { LC_ALL=ar_EG.UTF-8 command wine "$@"; }
user="$(id -un)"
startup="$WINEPREFIX/drive_c/users/$user/AppData/Roaming/Microsoft/Word/STARTUP"
local_app="$WINEPREFIX/drive_c/users/$user/AppData/Local/Quran Verse Search"
system="$WINEPREFIX/drive_c/windows/system32"
files=("$startup/QuranAddin.wll" "$system/msdata64.qdt" "$system/msdata32.qdt"
  "$system/VUDEV-IRAZ.HLP" "$local_app/uninstall.exe")
passed=0 failed=0

check() {
  local what="$1"
  shift
  if "$@"; then passed=$((passed + 1)); else failed=$((failed + 1)); echo "FAILED: $what"; fi
}
all_there() { local f; for f in "${files[@]}"; do [ -f "$f" ] || return 1; done; }
none_there() { local f; for f in "${files[@]}"; do [ ! -e "$f" ] || return 1; done; }
# The registry reaches its file when the server stops.
settle() { wineserver -w; }
listed() { grep -q 'Uninstall\\\\QuranVerseSearch\]' "$WINEPREFIX/system.reg"; }
not_listed() { ! listed; }
settings_kept() { grep -q 'kivo\\\\velnora\\\\2.0\\\\Options\]' "$WINEPREFIX/user.reg"; }
install() { wine "$installer" /S; local status=$?; settle; return $status; }
uninstall() { wine "C:\\users\\$user\\AppData\\Local\\Quran Verse Search\\uninstall.exe" /S; settle; }

wine wineboot -i >/dev/null 2>&1
settle

install
check "silent install puts the add-in and its three files in place" all_there
check "the installed-programs list has the entry" listed
grep -A6 'Uninstall\\\\QuranVerseSearch\]' "$WINEPREFIX/system.reg"

wine "$wordhost" --log "Z:$work/wordhost.log" --exit >/dev/null 2>&1
settle
check "the stand-in Word loads the add-in from the startup folder" \
  grep -q "wdAutoOpen 1 => 1" "$work/wordhost.log"

wine reg add 'HKCU\Software\kivo\velnora\2.0\Options' /v Options /t REG_BINARY /d e9030000 \
  /f >/dev/null 2>&1
uninstall
check "uninstall removes every file" none_there
check "uninstall removes the entry" not_listed
check "uninstall keeps the user's settings" settings_kept

install
install
uninstall
check "installing twice, then uninstalling, leaves nothing" none_there
check "... and no entry" not_listed

# A running Word is reported, and a silent install then fails instead of going on.
install
wine "$wordhost" >/dev/null 2>&1 &
sleep 5
wine "$installer" /S
status=$?
check "an install while Word runs fails (status $status)" test "$status" -ne 0
wineserver -k
settle

# The wizard's first page, to look at.
wine "$installer" >/dev/null 2>&1 &
sleep 5
import -window root "$work/screenshots/installer_first_page.png"
wineserver -k
settle
check "the first page was photographed" test -s "$work/screenshots/installer_first_page.png"

echo "installer: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
