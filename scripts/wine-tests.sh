#!/usr/bin/env bash
# Runs the Windows build's tests under wine: a wine prefix inside the build folder, COM99
# registered as the simulator's link before the wine server starts, one persistent wine
# server for the whole run, stopped at the end.
# Usage: wine-tests.sh BUILD_DIR [ctest options...]
set -euo pipefail
build=$(cd "$1" && pwd)
shift
wine_dir=$build/wine
export WINEPREFIX=$wine_dir/prefix
export WINEDEBUG=-all
export WINEDLLOVERRIDES='winemenubuilder.exe=d;mscoree=d;mshtml=d'
export TORVA_COM99_LINK=$wine_dir/com99-link
unset DISPLAY WAYLAND_DISPLAY
mkdir -p "$wine_dir"

stop_server() {
  wineserver -k 2>/dev/null || true
  wineserver -w 2>/dev/null || true
}
trap stop_server EXIT

start=$SECONDS
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "wine-tests: creating the wine prefix in $WINEPREFIX"
  wine cmd /c exit >/dev/null 2>&1 || true
fi
# COM99 = the link the tests' simulator makes; read by the server at its next start.
wine reg add 'HKLM\Software\Wine\Ports' /v COM99 /t REG_SZ /d "$TORVA_COM99_LINK" /f >/dev/null 2>&1
stop_server
wineserver -p
wine cmd /c exit >/dev/null 2>&1
target=$(readlink "$WINEPREFIX/dosdevices/com99" || true)
if [ "$target" != "$TORVA_COM99_LINK" ]; then
  echo "wine-tests: COM99 points at '$target', not at $TORVA_COM99_LINK: not running any test" >&2
  exit 1
fi
echo "wine-tests: wine ready in $((SECONDS - start)) s (COM99 -> $TORVA_COM99_LINK)"
ctest --test-dir "$build" "$@"
