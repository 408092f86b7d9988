#!/usr/bin/env bash
# Runs a Windows program under Wine in one of the build's own prefixes, win32 or
# win64, with the Arabic code page (1256), or the locale in QURAN_WINE_LC_ALL.
# Without a display it starts its own Xvfb.
#   wine-run.sh win32|win64 PREFIX PROGRAM [ARGS...]
set -euo pipefail
arch="$1" prefix="$2"
shift 2
# The loaders themselves: Debian's `wine` wrapper takes the 32-bit one whenever it is
# installed, even for a 64-bit prefix.
case "$arch" in
  win32) loader=/usr/lib/wine/wine ;;
  win64) loader=/usr/lib/wine/wine64 ;;
  *)
    echo "wine-run.sh: unknown architecture '$arch' (win32 or win64)" >&2
    exit 2
    ;;
esac
export WINEARCH="$arch" WINEPREFIX="$prefix" WINEDEBUG=-all WINELOADER="$loader"
# No Mono or Gecko installers: they would ask on a screen nobody sees. A test may
# take a library away with QURAN_WINE_DLLOVERRIDES ("msftedit=").
export WINEDLLOVERRIDES="mscoree,mshtml=${QURAN_WINE_DLLOVERRIDES:+;$QURAN_WINE_DLLOVERRIDES}"
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$arch" "$prefix" "$@"
fi
# Set for Wine only: the shell itself has no such locale installed.
exec env LC_ALL="${QURAN_WINE_LC_ALL:-ar_EG.UTF-8}" "$loader" "$@"
