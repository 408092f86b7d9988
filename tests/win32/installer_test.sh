#!/usr/bin/env bash
# The installer as a Windows user meets it, in throw-away prefixes: x64 is the 64-bit
# installer on 64-bit Windows, x86 the 32-bit one on 32-bit Windows. Word is the
# stand-in of the same architecture, installed as WINWORD.EXE where App Paths names
# it; like Word it loads the add-ins of its own STARTUP folder and of the user's.
# Each install is first shown to have happened (status, files, entry), then what its
# removal leaves. A second user of the machine has an own HKCU (Wine's user.reg), name
# and profile folder, and shares HKLM and the disk.
#   installer_test.sh x64|x86 INSTALLER WORDHOST_EXE HOLDER_EXE WORK_FOLDER
# Exits 77 where this machine cannot run that architecture's Wine.
set -uo pipefail
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$@"
fi
arch="$1" installer="$2" wordhost="$3" holder="$4" work="$5"
case "$arch" in
  x64) export WINEARCH=win64 && loader=/usr/lib/wine/wine64 ;;
  x86) export WINEARCH=win32 && loader=/usr/lib/wine/wine ;;
  *) echo "usage: installer_test.sh x64|x86 INSTALLER WORDHOST_EXE HOLDER_EXE WORK_FOLDER" >&2 &&
    exit 2 ;;
esac
if ! why=$("$loader" --version 2>&1); then
  echo "skipped: $loader cannot run on this machine: $why"
  exit 77
fi
rm -rf "$work"
mkdir -p "$work/screenshots"
export WINEPREFIX="$work/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINELOADER="$loader"
# Wine's code page 1256; the shell itself has no such locale installed.
wine() { LC_ALL=ar_EG.UTF-8 "$loader" "$@"; }
user="$(id -un)"
drive="$WINEPREFIX/drive_c"
user_startup="$drive/users/$user/AppData/Roaming/Microsoft/Word/STARTUP"
user_uninstaller="$drive/users/$user/AppData/Local/Quran Verse Search/uninstall.exe"
machine_startup="$drive/Program Files/Microsoft Office/root/Office16/STARTUP"
machine_uninstaller="$drive/Program Files/Quran Verse Search/uninstall.exe"
second_startup="$drive/users/other/AppData/Roaming/Microsoft/Word/STARTUP"
second_uninstaller="$drive/users/other/AppData/Local/Quran Verse Search/uninstall.exe"
system="$drive/windows/system32"
wow="$drive/windows/syswow64"
office='C:\Program Files\Microsoft Office\root\Office16'
word="$drive/Program Files/Microsoft Office/root/Office16/WINWORD.EXE"
app_paths='HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\App Paths\Winword.exe'
install_root='HKLM\SOFTWARE\Microsoft\Office\16.0\Word\InstallRoot'
entry_key='Software\Microsoft\Windows\CurrentVersion\Uninstall\QuranVerseSearch'
entry='Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Uninstall\\\\QuranVerseSearch'
passed=0 failed=0
# scope machine|user: where the next install is to put the add-in and uninstaller.
scope() {
  install_scope="$1"
  if [ "$1" = machine ]; then
    startup="$machine_startup" uninstaller="$machine_uninstaller"
  else
    startup="$user_startup" uninstaller="$user_uninstaller"
  fi
}

check() {
  local what="$1"
  shift
  if "$@"; then passed=$((passed + 1)); else failed=$((failed + 1)); echo "FAILED: $what"; fi
}
# The registry reaches its files when the server stops.
settle() { wineserver -w; }
reg() { wine reg "$@" >/dev/null 2>&1; settle; }

# The machine type of a PE file: x86, x64 or what its header holds.
pe_arch() {
  local at machine
  at=$(od -An -tu4 -j60 -N4 "$1" 2>/dev/null | tr -d ' ') || return 1
  machine=$(od -An -tx2 -j$((at + 4)) -N2 "$1" | tr -d ' ')
  case "$machine" in 014c) echo x86 ;; 8664) echo x64 ;; *) echo "$machine" ;; esac
}
# The entry's value NAME: the user's own entry, else the machine's.
entry_value() {
  sed -sn "/^\\[$entry\\]/,/^\$/p" "$WINEPREFIX/user.reg" "$WINEPREFIX/system.reg" |
    sed -n "s/^\"$1\"=\"\\(.*\\)\"\$/\\1/p" | head -1
}
listed() { grep -q "^\\[$entry\\]" "$WINEPREFIX/user.reg" "$WINEPREFIX/system.reg"; }
data_files=(msdata64.qdt msdata32.qdt VUDEV-IRAZ.chm VUDEV-IRAZ.HLP)
data_in() { for f in "${data_files[@]}"; do [ -f "$1/$f" ] || return 1; done; }
no_data_in() { for f in "${data_files[@]}"; do [ ! -e "$1/$f" ] || return 1; done; }
settings_kept() { grep -q 'kivo\\\\velnora\\\\2.0\\\\Options\]' "$WINEPREFIX/user.reg"; }

# install_status [ARGS...]: a silent install; prints its exit status.
install_status() {
  wine "$installer" /S "$@" >/dev/null 2>&1
  local status=$?
  settle
  echo "$status"
}
uninstall() { wine "$uninstaller" /S >/dev/null 2>&1; settle; }

# expect_installed WHAT ADDIN_ARCH DATA_FOLDER STATUS: the install happened, for that add-in.
expect_installed() {
  check "$1: exit status 0 (was $4)" test "$4" -eq 0
  installed_in_place "$1" "$2" "$3"
}
# files_in_place WHAT ADDIN_ARCH DATA_FOLDER: the install's files are there.
files_in_place() {
  local what="$1" want="$2" folder="$3"
  check "$what: the $want add-in in the startup folder" test "$(pe_arch "$startup/QuranAddin.wll")" = "$want"
  check "$what: the data and help files in ${folder#"$drive"/}" data_in "$folder"
  check "$what: the uninstaller" test -f "$uninstaller"
}
# installed_in_place WHAT ADDIN_ARCH DATA_FOLDER: the install's files and entry, and no
# other add-in.
installed_in_place() {
  local what="$1" want="$2"
  files_in_place "$@"
  check "$what: listed among the installed programs, for $want" test "$(entry_value AddinArch)" = "$want"
  check "$what: listed as installed for the $install_scope" test "$(entry_value InstallScope)" = "$install_scope"
  local other="$machine_startup"
  [ "$install_scope" = machine ] && other="$user_startup"
  check "$what: no add-in in the other startup folder" test ! -e "$other/QuranAddin.wll"
}

# expect_nothing_left WHAT
expect_nothing_left() {
  local what="$1"
  check "$what: no add-in left" test ! -e "$user_startup/QuranAddin.wll" -a \
    ! -e "$machine_startup/QuranAddin.wll"
  check "$what: no data left in system32" no_data_in "$system"
  [ -d "$wow" ] && check "$what: no data left in syswow64" no_data_in "$wow"
  check "$what: no uninstaller left" test ! -e "$user_uninstaller" -a ! -e "$machine_uninstaller"
  check "$what: no entry left" eval '! listed'
}

wine wineboot -i >/dev/null 2>&1
settle
cp "$WINEPREFIX/user.reg" "$work/second-user.reg"
# Word, where Office puts it, named by App Paths.
mkdir -p "$(dirname "$word")"
cp "$wordhost" "$word"
reg add "$app_paths" /ve /t REG_SZ /d "$office\\WINWORD.EXE" /f

# word_loads WHAT / word_loads_none WHAT: Word, started now, loads the add-in and
# wdAutoOpen answers 1 / loads none.
run_word() {
  rm -f "$work/word.log"
  wine "$word" --log "Z:$work/word.log" --exit >/dev/null 2>&1
  settle
}
word_loads() { run_word && check "$1" grep -q "wdAutoOpen 1 => 1" "$work/word.log"; }
word_loads_none() { run_word && check "$1" eval '! grep -q wdAutoOpen "$work/word.log"'; }
# as_second_user COMMAND...: as the second user, with its own registry file and a name
# that gives it its own profile folder; its registry starts as a new user's.
as_second_user() {
  local status
  settle
  mv "$WINEPREFIX/user.reg" "$work/first-user.reg"
  mv "$work/second-user.reg" "$WINEPREFIX/user.reg"
  USER=other "$@"
  status=$?
  settle
  mv "$WINEPREFIX/user.reg" "$work/second-user.reg"
  mv "$work/first-user.reg" "$WINEPREFIX/user.reg"
  return $status
}

scope machine
status=$(install_status)
expect_installed "Word found by App Paths: for every user" "$arch" "$system" "$status"
word_loads "Word loads the add-in from its own startup folder and wdAutoOpen answers 1"
as_second_user word_loads "... also for a second user"

# A user's own install where everyone's stands changes nothing: the others keep it.
status=$(install_status /CURRENTUSER)
check "/CURRENTUSER over it stops: exit status 6 (was $status)" test "$status" -eq 6
installed_in_place "... everyone's install stays" "$arch" "$system"
as_second_user word_loads "... still for a second user"
uninstall
expect_nothing_left "everyone's uninstalled"
scope user
status=$(install_status /CURRENTUSER)
expect_installed "/CURRENTUSER alone" "$arch" "$system" "$status"
word_loads "Word loads the add-in from the user's startup folder and wdAutoOpen answers 1"
as_second_user word_loads_none "... and not for a second user"
uninstall
expect_nothing_left "/CURRENTUSER uninstalled"

# photograph_second_page NAME WHAT: the wizard's page after Next, to look at.
photograph_second_page() {
  wine "$installer" >/dev/null 2>&1 &
  sleep 6
  xdotool key Return
  sleep 2
  import -window root "$work/screenshots/$1.png"
  wineserver -k
  settle
  check "$2 was photographed" test -s "$work/screenshots/$1.png"
}
# Word found: the wizard asks for whom.
photograph_second_page installer_asks_for_whom "the question for whom"

scope machine
status=$(install_status)
check "for every user again (status $status)" test "$status" -eq 0

reg add 'HKCU\Software\kivo\velnora\2.0\Options' /v Options /t REG_BINARY /d e9030000 /f
uninstall
expect_nothing_left "uninstalled"
check "uninstall keeps the user's settings" settings_kept

status=$(install_status)
check "a first install of two (status $status)" test "$status" -eq 0
status=$(install_status)
expect_installed "installed twice" "$arch" "$system" "$status"
uninstall
expect_nothing_left "installed twice, then uninstalled"

# An MSI Word that only Office's InstallRoot names, in either registry view.
views=("")
[ "$arch" = x64 ] && views=(/reg:64 /reg:32)
reg delete "$app_paths" /f
for view in "${views[@]}"; do
  reg add "$install_root" /v Path /t REG_SZ /d "$office\\" /f ${view:+"$view"}
  status=$(install_status)
  expect_installed "Word found by InstallRoot $view: for every user" "$arch" "$system" "$status"
  uninstall
  expect_nothing_left "Word found by InstallRoot $view, uninstalled"
  reg delete "$install_root" /f ${view:+"$view"}
done
reg add "$app_paths" /ve /t REG_SZ /d "$office\\WINWORD.EXE" /f

# An earlier add-in that Word holds in another user's session, where this session
# sees no Word window: the install stops as for a running Word and changes nothing.
scope user
status=$(install_status /CURRENTUSER)
check "an install for the user (status $status)" test "$status" -eq 0
wine "$holder" "Z:$startup/QuranAddin.wll" >"$work/holder.log" 2>&1 &
for _ in $(seq 30); do grep -q held "$work/holder.log" && break; sleep 1; done
# No settling while the holder runs.
wine "$installer" /S >/dev/null 2>&1
status=$?
wineserver -k
settle
check "that add-in held: an install for every user stops with status 2 (was $status)" \
  test "$status" -eq 2
installed_in_place "... and leaves the earlier install as it was" "$arch" "$system"
check "... with no uninstaller for every user" test ! -e "$machine_uninstaller"

# Uninstallers that no entry names: one whose entry is gone, then a stray copy.
status=$(install_status /CURRENTUSER)
check "an install for the user (status $status)" test "$status" -eq 0
reg delete "HKCU\\$entry_key" /f
reg delete "HKLM\\$entry_key" /f
uninstall
files_in_place "an uninstaller whose entry is gone removes nothing" "$arch" "$system"
install_status /CURRENTUSER >/dev/null
mkdir -p "$drive/stray"
cp "$uninstaller" "$drive/stray/uninstall.exe"
wine "$drive/stray/uninstall.exe" /S >/dev/null 2>&1
settle
installed_in_place "a stray copy of the uninstaller removes nothing" "$arch" "$system"

# A second user's own install, and its removal, leave the first user's add-in and the
# data it reads in place; a machine install then takes over both.
status=$(as_second_user install_status /CURRENTUSER)
check "a second user's own install (status $status)" test "$status" -eq 0
check "... gives that user the add-in" test -f "$second_startup/QuranAddin.wll"
installed_in_place "... and leaves the first user's install" "$arch" "$system"
as_second_user wine "$second_uninstaller" /S >/dev/null 2>&1
check "the second user's uninstall takes that user's add-in" \
  test ! -e "$second_startup/QuranAddin.wll"
installed_in_place "... and leaves the first user's install" "$arch" "$system"
as_second_user install_status /CURRENTUSER >/dev/null
scope machine
status=$(install_status)
expect_installed "for every user over two users' own installs" "$arch" "$system" "$status"
check "... the second user's add-in taken over too" test ! -e "$second_startup/QuranAddin.wll"
uninstall
expect_nothing_left "for every user over two users' own, uninstalled"

# A running Word is reported, and a silent install then fails instead of going on.
scope machine
status=$(install_status)
check "before Word runs, installed (status $status)" test "$status" -eq 0
wine "$word" >/dev/null 2>&1 &
sleep 5
# No settling here: the server would wait for Word.
wine "$installer" /S >/dev/null 2>&1
status=$?
check "an install while Word runs fails (status $status)" test "$status" -ne 0
wineserver -k
settle
uninstall
expect_nothing_left "after Word ran"

status=$(install_status /ARCH=arm64)
check "/ARCH=arm64 is refused with status 4 (was $status)" test "$status" -eq 4
expect_nothing_left "refused"

if [ "$arch" = x86 ]; then
  status=$(install_status /ARCH=x64)
  check "a 64-bit add-in on 32-bit Windows is refused with status 5 (was $status)" \
    test "$status" -eq 5
  expect_nothing_left "refused on 32-bit Windows"
else
  # An earlier installer's entry (32-bit registry, the user's folder): a machine
  # install takes it over and removes that add-in, or Word would load two.
  legacy='HKLM\SOFTWARE\Wow6432Node\Microsoft\Windows\CurrentVersion\Uninstall\QuranVerseSearch'
  mkdir -p "$user_startup"
  cp "$wordhost" "$user_startup/QuranAddin.wll"
  reg add "$legacy" /v DisplayName /t REG_SZ /d "Quran Verse Search" /f
  reg add "$legacy" /v InstallLocation /t REG_SZ \
    /d "C:\\users\\$user\\AppData\\Roaming\\Microsoft\\Word\\STARTUP" /f
  scope machine
  status=$(install_status)
  expect_installed "over an earlier installer's install" "$arch" "$system" "$status"
  legacy_entry='Software\\\\Wow6432Node\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Uninstall\\\\QuranVerseSearch'
  check "... its entry taken over" eval '! grep -qi "^\\[$legacy_entry\\]" "$WINEPREFIX/system.reg"'
  uninstall
  expect_nothing_left "over an earlier install, uninstalled"

  # Without a Word that App Paths names: Click-to-Run's platform, an MSI Office's
  # bitness, /ARCH, or nothing to go on.
  reg delete "$app_paths" /f
  scope user
  status=$(install_status)
  check "no Word found: a silent install fails with status 3 (was $status)" test "$status" -eq 3
  expect_nothing_left "no Word found"

  status=$(install_status /ARCH=x86)
  expect_installed "/ARCH=x86 on 64-bit Windows" x86 "$wow" "$status"
  check "... nothing of it in system32" no_data_in "$system"
  reg add 'HKLM\SOFTWARE\Microsoft\Office\ClickToRun\Configuration' /v Platform /t REG_SZ /d x64 /f
  status=$(install_status)
  expect_installed "Click-to-Run x64 over the 32-bit install" x64 "$system" "$status"
  check "... the 32-bit install's data removed from syswow64" no_data_in "$wow"
  uninstall
  expect_nothing_left "Click-to-Run x64 uninstalled"

  # found_by WHAT ARCH FOLDER KEY VALUE DATA: Word's bitness in that registry value
  # alone leads to that add-in and folder.
  found_by() {
    reg add "$4" /v "$5" /t REG_SZ /d "$6" /f
    status=$(install_status)
    expect_installed "$1" "$2" "$3" "$status"
    uninstall
    expect_nothing_left "$1, uninstalled"
    reg delete "$4" /f
  }
  found_by "Click-to-Run x86" x86 "$wow" \
    'HKLM\SOFTWARE\Microsoft\Office\ClickToRun\Configuration' Platform x86
  found_by "an MSI Office's bitness x64" x64 "$system" \
    'HKLM\SOFTWARE\Microsoft\Office\16.0\Outlook' Bitness x64
  found_by "an MSI Office's bitness x86" x86 "$wow" \
    'HKLM\SOFTWARE\Microsoft\Office\16.0\Outlook' Bitness x86

  photograph_second_page installer_asks_which_word "the question which Word"
fi

# The wizard's first page, to look at.
scope machine
wine "$installer" >/dev/null 2>&1 &
sleep 5
import -window root "$work/screenshots/installer_first_page.png"
wineserver -k
settle
check "the first page was photographed" test -s "$work/screenshots/installer_first_page.png"

echo "installer ($arch): $passed passed, $failed failed"
[ "$failed" -eq 0 ]
