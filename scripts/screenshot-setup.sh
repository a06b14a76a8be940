#!/usr/bin/env bash
# Takes the screenshot of the User Setup dialog for the README: the simulated printer on a
# pseudo-terminal, TORVASet on a private Xvfb display, driven with xdotool through the
# connection dialog (the remembered serial connection, OK), the main menu (User Setup) and
# Get Value; the dialog's window is captured with ImageMagick's import.
#
#   scripts/screenshot-setup.sh [BUILD_DIR] [OUTPUT]   (defaults build/default, docs/user-setup.png)
#
# LANG=ko_KR.UTF-8 scripts/screenshot-setup.sh build/default docs/user-setup-ko.png gives the
# Korean labels (needs a Korean font such as fonts-nanum).
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${1:-build/default}
case $build in /*) ;; *) build=$root/$build ;; esac
out=${2:-$root/docs/user-setup.png}
case $out in /*) ;; *) out=$PWD/$out ;; esac
app=$build/bin/torvaset
sim=$build/bin/torva-printer-sim

for tool in Xvfb import xdotool; do
  command -v "$tool" >/dev/null 2>&1 || { echo "screenshot: $tool is missing (xvfb, imagemagick, xdotool)" >&2; exit 1; }
done
for prog in "$app" "$sim"; do
  [ -x "$prog" ] || { echo "screenshot: $prog is missing; build first" >&2; exit 1; }
done

work=$(mktemp -d)
xvfb_pid=
app_pid=
sim_pid=
cleanup() {
  for pid in "$app_pid" "$sim_pid" "$xvfb_pid"; do
    if [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null; then
      kill "$pid" 2>/dev/null || true
      wait "$pid" 2>/dev/null || true
    fi
  done
  [ -n "${KEEP_WORK:-}" ] || rm -rf "$work"
}
trap cleanup EXIT

n=97
while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
export DISPLAY=":$n"

# A printer with a few settings away from the defaults, so that the picture shows a read.
link=$work/torva-serial
printf '{"3": 2, "116": 257, "246": 16, "250": 24}\n' >"$work/state-in.json"
"$sim" --link "$link" --tcp-port 0 --settings "$work/state-in.json" \
  >"$work/sim.out" 2>"$work/sim.err" &
sim_pid=$!
for _ in $(seq 50); do grep -q '^ready' "$work/sim.out" 2>/dev/null && break; sleep 0.1; done
grep -q '^ready' "$work/sim.out" || { echo "screenshot: the simulator did not start:" >&2; cat "$work/sim.err" >&2; exit 1; }

# The connection dialog pre-selects the connection remembered in the settings file.
printf '[PORTLIST]\r\nPort1=%s\r\n[LASTCONNECTION]\r\nModel=TORVA40/45S\r\nPort=%s\r\nBaudrate=115200\r\nDataBits=8\r\nParity=0\r\nStopBits=0\r\nFlowControl=3\r\n' \
  "$link" "$link" >"$work/torvaset.INI"
export XDG_RUNTIME_DIR=$work/runtime
mkdir -m 700 -p "$XDG_RUNTIME_DIR"
(cd "$work" && QT_QPA_PLATFORM=xcb exec "$app") >"$work/app.log" 2>&1 &
app_pid=$!

# Waits for a window whose title matches the pattern; prints its id.
# The connection dialog searches for USB printers first (a few seconds).
window() {
  for _ in $(seq 300); do
    id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | tail -1 || true)
    [ -n "$id" ] && { echo "$id"; return 0; }
    kill -0 "$app_pid" 2>/dev/null || break
    sleep 0.1
  done
  echo "screenshot: no window titled $1:" >&2
  cat "$work/app.log" >&2
  return 1
}

main=$(window '^TORVASet [0-9]')
xdotool windowfocus --sync "$main" key Return
menu=$(window '^TORVASet$')
# The second button, User Setup (its Korean label has no shortcut letter).
xdotool windowfocus --sync "$menu" key Tab space
setup=$(window '^TORVASet : User Setup$')
sleep 1
# Get Value is the first button of the bottom row.
eval "$(xdotool getwindowgeometry --shell "$setup")"
xdotool mousemove --window "$setup" 60 $((HEIGHT - 24)) click 1
sleep 3

mkdir -p "$(dirname "$out")"
import -window "$setup" "$out"
echo "screenshot: wrote $out"
