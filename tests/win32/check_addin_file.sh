#!/usr/bin/env bash
# The add-in is a DLL of its architecture (PE32 i386 or PE32+ x86-64) that imports
# only system DLLs, exports the five entry points under their plain names and
# carries its four dialogs and two bitmaps. Needs no Wine.
#   check_addin_file.sh ADDIN x86|x64 OBJDUMP WINDRES
set -euo pipefail
addin="$1" arch="$2" objdump="$3" windres="$4"
fail() { echo "FAIL: $*" >&2; exit 1; }
case "$arch" in
  x86) format=pei-i386 magic=PE32 ;;
  x64) format=pei-x86-64 magic=PE32+ ;;
  *) fail "unknown architecture $arch" ;;
esac
headers=$("$objdump" -p "$addin")
grep -q "file format $format\$" <<<"$headers" || fail "not a $format file"
grep -E "^Magic" <<<"$headers" | grep -qF "($magic)" || fail "not $magic"
grep -Eq '^Characteristics .*' <<<"$headers" && grep -q 'DLL' <<<"$headers" || fail "not a DLL"

imports=$(sed -n 's/^\tDLL Name: //p' <<<"$headers" | tr 'A-Z' 'a-z' | sort -u)
[ -n "$imports" ] || fail "no imports found"
for dll in $imports; do
  case "$dll" in
    kernel32.dll | user32.dll | gdi32.dll | advapi32.dll | shell32.dll | comdlg32.dll | \
      comctl32.dll | msvcrt.dll | ole32.dll | oleaut32.dll | api-ms-win-*.dll) ;;
    *) fail "imports a non-system DLL: $dll" ;;
  esac
done

exports=$(sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' <<<"$headers" |
  sed -n 's/^\s*\[ *[0-9]*\] //p' | sort)
want=$(printf '%s\n' ConfigurationTab DevedUrazuda FileProcess wdAutoOpen wdAutoRemove | sort)
[ "$exports" = "$want" ] || fail "exports are: $(echo $exports)"

# The search window (121), the splash (101), About (204) and the citation settings
# (300); the splash picture
# (132) and the emblem (226).
resources=$("$windres" -i "$addin" -O rc 2>/dev/null)
for id in 121 101 204 300; do
  grep -Eq "^$id DIALOGEX" <<<"$resources" || fail "no dialog $id"
done
for id in 132 226; do
  grep -Eq "^$id 2 /\* RT_BITMAP" <<<"$resources" || fail "no bitmap $id"
done
echo "ok: $magic $format DLL; imports: $(echo $imports); exports: $(echo $exports);" \
  "dialogs 121 101 204 300, bitmaps 132 226"
