#!/usr/bin/env bash
# Takes the screenshot of the connection dialog for the README: TORVASet on a private Xvfb
# display, captured with ImageMagick's import and trimmed to the window.
#
#   scripts/screenshot.sh [BUILD_DIR] [OUTPUT]     (defaults build/default, docs/connection-dialog.png)
#
# LANG=ko_KR.UTF-8 scripts/screenshot.sh build/default docs/connection-dialog-ko.png gives
# the Korean labels (needs a Korean font such as fonts-nanum).
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${1:-build/default}
case $build in /*) ;; *) build=$root/$build ;; esac
out=${2:-$root/docs/connection-dialog.png}
case $out in /*) ;; *) out=$PWD/$out ;; esac
app=$build/bin/torvaset

for tool in Xvfb import convert; do
  command -v "$tool" >/dev/null 2>&1 || { echo "screenshot: $tool is missing (xvfb, imagemagick)" >&2; exit 1; }
done
[ -x "$app" ] || { echo "screenshot: $app is missing; build first" >&2; exit 1; }

work=$(mktemp -d)
xvfb_pid=
app_pid=
cleanup() {
  for pid in "$app_pid" "$xvfb_pid"; do
    if [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null; then
      kill "$pid" 2>/dev/null || true
      wait "$pid" 2>/dev/null || true
    fi
  done
  rm -rf "$work"
}
trap cleanup EXIT

n=98
while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
Xvfb ":$n" -screen 0 800x600x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done

# A start directory of its own, so that no settings file of the user's changes the picture.
export XDG_RUNTIME_DIR=$work/runtime
mkdir -m 700 -p "$XDG_RUNTIME_DIR"
(cd "$work" && DISPLAY=":$n" QT_QPA_PLATFORM=xcb exec "$app") >"$work/app.log" 2>&1 &
app_pid=$!
sleep 3
kill -0 "$app_pid" 2>/dev/null || { echo "screenshot: torvaset ended early:" >&2; cat "$work/app.log" >&2; exit 1; }

mkdir -p "$(dirname "$out")"
DISPLAY=":$n" import -window root "$work/screen.png"
# The root window is black around the dialog; cut it away.
convert "$work/screen.png" -trim +repage "$out"
echo "screenshot: wrote $out"
