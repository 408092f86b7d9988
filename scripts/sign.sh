#!/usr/bin/env bash
# Signs a Windows program or add-in in place with Authenticode, SHA-256.
#   sign.sh CERT.pfx FILE
# The certificate's password comes from QURAN_SIGN_PASSWORD, never from the command
# line, where other users of the machine could read it. With QURAN_SIGN_TIMESTAMP set
# to a server's address the signature carries its RFC 3161 timestamp. The build and
# NSIS's finalize hooks call this.
set -euo pipefail
if [ $# -ne 2 ]; then
  echo "usage: sign.sh CERT.pfx FILE" >&2
  exit 2
fi
cert="$1" file="$2"
if [ -z "${QURAN_SIGN_PASSWORD+set}" ]; then
  echo "sign.sh: set QURAN_SIGN_PASSWORD to the password of $cert" >&2
  exit 2
fi
args=(sign -pkcs12 "$cert" -readpass /dev/stdin -h sha256 -n "Quran Verse Search")
if [ -n "${QURAN_SIGN_TIMESTAMP:-}" ]; then args+=(-ts "$QURAN_SIGN_TIMESTAMP"); fi
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
if ! printf '%s' "$QURAN_SIGN_PASSWORD" |
  osslsigncode "${args[@]}" -in "$file" -out "$work/signed" >"$work/log" 2>&1; then
  cat "$work/log" >&2
  echo "sign.sh: could not sign $file" >&2
  exit 1
fi
mv -f "$work/signed" "$file"
