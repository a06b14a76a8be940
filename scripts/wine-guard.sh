#!/usr/bin/env bash
# Runs a Windows test program under wine only when the wine prefix is the build's own and
# its COM99 is the simulator's link. Wine gives this machine's real serial devices the
# numbers COM1, COM2, ...: a test must never reach them, so COM99 is the only serial port a
# test opens, and this wrapper refuses to start anything while COM99 points elsewhere.
# Usage: wine-guard.sh WINE PROGRAM [ARGS...] (the environment comes from wine-tests.sh).
set -euo pipefail
fail() {
  echo "wine-guard: $*; run the Windows tests through scripts/wine-tests.sh (make test-windows)" >&2
  exit 125
}
[ -n "${WINEPREFIX:-}" ] || fail "WINEPREFIX is not set"
[ -n "${TORVA_COM99_LINK:-}" ] || fail "TORVA_COM99_LINK is not set"
case "$WINEPREFIX" in
  "$HOME"/.wine | "$HOME"/.wine/) fail "refusing the default wine prefix" ;;
esac
target=$(readlink "$WINEPREFIX/dosdevices/com99" 2>/dev/null || true)
[ "$target" = "$TORVA_COM99_LINK" ] ||
  fail "$WINEPREFIX/dosdevices/com99 points at '${target}', not at $TORVA_COM99_LINK"
exec "$@"
