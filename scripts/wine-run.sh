#!/usr/bin/env bash
# Runs a Windows program under Wine in the build's own 32-bit prefix with the
# Arabic code page (1256), or the locale in QURAN_WINE_LC_ALL. Without a display
# it starts its own Xvfb.
#   wine-run.sh PREFIX PROGRAM [ARGS...]
set -euo pipefail
prefix="$1"
shift
export WINEARCH=win32 WINEPREFIX="$prefix" WINEDEBUG=-all
# No Mono or Gecko installers: they would ask on a screen nobody sees.
export WINEDLLOVERRIDES="mscoree,mshtml="
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$prefix" "$@"
fi
# Set for Wine only: the shell itself has no such locale installed.
exec env LC_ALL="${QURAN_WINE_LC_ALL:-ar_EG.UTF-8}" wine "$@"
