#!/usr/bin/env bash
# The add-in is a PE32 i386 DLL that imports only system DLLs and exports the
# five entry points under their plain names.
#   check_addin_file.sh ADDIN OBJDUMP
set -euo pipefail
addin="$1" objdump="$2"
fail() { echo "FAIL: $*" >&2; exit 1; }
headers=$("$objdump" -p "$addin")
grep -q 'file format pei-i386' <<<"$headers" || fail "not a PE32 i386 file"
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
echo "ok: PE32 i386 DLL; imports: $(echo $imports); exports: $(echo $exports)"
