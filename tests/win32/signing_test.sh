#!/usr/bin/env bash
# Signing as `./quran release --sign` does it, with a throw-away self-signed
# certificate: the add-ins, the installer and the uninstaller it writes out each
# verify against that certificate; a signed file changed afterwards does not verify;
# without the password nothing is signed.
#   signing_test.sh SIGN_SCRIPT MAKENSIS NSI_SCRIPT STAGE_FOLDER WORK_FOLDER
set -uo pipefail
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$@"
fi
sign="$1" makensis="$2" nsi="$3" stage="$4" work="$5"
rm -rf "$work"
mkdir -p "$work"
cd "$work" || exit 1
passed=0 failed=0
check() {
  local what="$1"
  shift
  if "$@"; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
    echo "FAILED: $what"
  fi
}
verifies() { osslsigncode verify -CAfile cert.pem -in "$1" >"$work/verify.log" 2>&1; }
fails_to_verify() { ! verifies "$1"; }
refuses() { ! "$@" 2>/dev/null; }

export QURAN_SIGN_PASSWORD="test-$RANDOM$RANDOM"
openssl req -x509 -newkey rsa:2048 -nodes -keyout key.pem -out cert.pem -days 1 \
  -subj "/CN=Quran Verse Search test" -addext extendedKeyUsage=codeSigning >/dev/null 2>&1 &&
  openssl pkcs12 -export -inkey key.pem -in cert.pem -out test.pfx \
    -passout env:QURAN_SIGN_PASSWORD || { echo "could not make a certificate" && exit 1; }

cp -r "$stage" stage
for addin in stage/x86/QuranAddin.wll stage/x64/QuranAddin.wll; do
  check "signing $addin" "$sign" test.pfx "$addin"
  check "$addin verifies" verifies "$addin"
done
"$makensis" -V2 -DVERSION=2.0 -DSTAGE="$work/stage" -DOUTFILE="$work/setup-x64.exe" \
  -DTARGET=amd64-unicode "-DSIGN=\"$sign\" \"$work/test.pfx\"" "$nsi" >makensis.log 2>&1 ||
  { cat makensis.log && exit 1; }
check "the installer verifies" verifies setup-x64.exe

cp stage/x64/QuranAddin.wll changed.wll
printf 'x' | dd of=changed.wll bs=1 seek=4096 conv=notrunc 2>/dev/null
check "an add-in changed after signing does not verify" fails_to_verify changed.wll
check "an unsigned add-in does not verify" fails_to_verify "$stage/x64/QuranAddin.wll"
cp "$stage/x64/QuranAddin.wll" nopassword.wll
check "without the password sign.sh refuses" \
  refuses env -u QURAN_SIGN_PASSWORD "$sign" test.pfx nopassword.wll
check "and leaves the file as it was" cmp -s nopassword.wll "$stage/x64/QuranAddin.wll"

# The uninstaller exists only once the installer has run: a silent install in a
# throw-away 64-bit prefix writes it out.
export WINEARCH=win64 WINEPREFIX="$work/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
LC_ALL=ar_EG.UTF-8 /usr/lib/wine/wine64 setup-x64.exe /S /ARCH=x64 >wine.log 2>&1
check "the signed installer installs" test $? -eq 0
uninstaller="$WINEPREFIX/drive_c/users/$(id -un)/AppData/Local/Quran Verse Search/uninstall.exe"
check "the uninstaller it wrote verifies" verifies "$uninstaller"
wineserver -k 2>/dev/null

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
