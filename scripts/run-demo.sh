#!/usr/bin/env bash
# `make run`: starts the simulated printer (a serial line on a pseudo-terminal and TCP on
# 127.0.0.1:6001, its user settings kept in demo/run/printer-settings.json) and TORVASet in
# demo/run/, whose settings file lists the simulator's serial line. The simulator is stopped when the program ends.
#
#   scripts/run-demo.sh [BUILD_DIR]        (default build/default)
#
# Environment: TORVA_DEMO_TCP_PORT (default 6001); TORVA_DEMO_XVFB=1 starts a virtual
# display without asking when DISPLAY is not set.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${1:-build/default}
case $build in /*) ;; *) build=$root/$build ;; esac
sim=$build/bin/torva-printer-sim
app=$build/bin/torvaset
tcp_port=${TORVA_DEMO_TCP_PORT:-6001}
# Printer discovery stays on loopback: requests go to the simulator on 127.0.0.1 and its
# answers come back to the tool's listen port, which must differ on one host.
net_port=${TORVA_DEMO_NET_PORT:-29180}
net_listen_port=$((net_port + 1))
demo=$root/demo/run
link=$demo/torva-serial

for prog in "$sim" "$app"; do
  if [ ! -x "$prog" ]; then
    echo "run-demo: $prog is missing; build first (make build)." >&2
    exit 1
  fi
done

sim_pid=
xvfb_pid=
cleanup() {
  if [ -n "$sim_pid" ] && kill -0 "$sim_pid" 2>/dev/null; then
    kill "$sim_pid" 2>/dev/null || true
    wait "$sim_pid" 2>/dev/null || true
  fi
  if [ -n "$xvfb_pid" ] && kill -0 "$xvfb_pid" 2>/dev/null; then
    kill "$xvfb_pid" 2>/dev/null || true
    wait "$xvfb_pid" 2>/dev/null || true
  fi
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# The program is a desktop window: it needs a display.
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "run-demo: no display (DISPLAY is not set); TORVASet opens a window and needs one." >&2
  if ! command -v Xvfb >/dev/null 2>&1; then
    echo "  Run it from a desktop session, or install xvfb and use a virtual display." >&2
    exit 1
  fi
  answer=${TORVA_DEMO_XVFB:-}
  if [ -z "$answer" ] && [ -t 0 ]; then
    read -r -p "  Start a virtual display (Xvfb) for it? The window is then invisible unless you look at it with a screenshot or VNC tool. [y/N] " answer
  fi
  case $answer in
    y|Y|yes|1) ;;
    *)
      echo "  Start one yourself:  Xvfb :99 -screen 0 1024x768x24 -nolisten tcp &  DISPLAY=:99 make run" >&2
      echo "  (or set TORVA_DEMO_XVFB=1 to let this script start it)." >&2
      exit 1
      ;;
  esac
  n=99
  while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
  Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
  xvfb_pid=$!
  for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
  export DISPLAY=":$n"
  echo "run-demo: started Xvfb on DISPLAY=$DISPLAY (pid $xvfb_pid)."
fi

mkdir -p "$demo" "$demo/paper"
# Qt wants a private runtime folder; a shell without a desktop session has none.
if [ -z "${XDG_RUNTIME_DIR:-}" ]; then
  export XDG_RUNTIME_DIR=$demo/.runtime
  mkdir -m 700 -p "$XDG_RUNTIME_DIR"
fi
# The simulated printer's user settings live in printer-settings.json: what User Setup wrote
# in one run is read back in the next.
settings=$demo/printer-settings.json
settings_in=()
[ -s "$settings" ] && settings_in=(--settings "$settings")
"$sim" --link "$link" --tcp-port "$tcp_port" --capture "$demo/capture.bin" \
  --paper-dir "$demo/paper" "${settings_in[@]}" --settings-out "$settings" \
  --net-listen "127.0.0.1:$net_port" --net-reply-port "$net_listen_port" \
  --net-printer "ip=192.168.0.254,mask=255.255.255.0,gw=192.168.0.1,mac=00:2B:9E:10:20:30,dhcp=0,port=6001" \
  --net-printer "ip=192.168.0.77,mask=255.255.255.0,gw=192.168.0.1,mac=00:2B:9E:10:20:31,dhcp=1,port=9100" \
  >"$demo/sim.out" 2>"$demo/sim.err" &
sim_pid=$!
for _ in $(seq 50); do
  grep -q '^ready' "$demo/sim.out" 2>/dev/null && break
  kill -0 "$sim_pid" 2>/dev/null || break
  sleep 0.1
done
if ! grep -q '^ready' "$demo/sim.out" 2>/dev/null; then
  echo "run-demo: the simulated printer did not start:" >&2
  cat "$demo/sim.err" >&2
  echo "  (is TCP port $tcp_port or UDP port $net_port taken? set TORVA_DEMO_TCP_PORT or" >&2
  echo "   TORVA_DEMO_NET_PORT to another port)" >&2
  exit 1
fi
serial=$(sed -n 's/^serial: //p' "$demo/sim.out")

# The settings file is "<start directory>/<executable name>.INI". Our PORTLIST and NETWORK
# sections replace earlier ones; every other section the user changed stays.
ini=$demo/$(basename "$app").INI
tmp=$ini.tmp
if [ -f "$ini" ]; then
  awk 'BEGIN { skip = 0 }
       /^\[/ { skip = (toupper($0) ~ /^\[(PORTLIST|NETWORK|DEVICELIST)\]/) }
       !skip { print }' "$ini" | tr -d '\r' | sed 's/$/\r/' >"$tmp"
else
  : >"$tmp"
fi
printf '[PORTLIST]\r\nPort1=%s\r\n' "$link" >>"$tmp"
# The bundled sample logos, unless the user has a logo list of their own already.
if ! grep -qi '^\[LOGO\]' "$tmp"; then
  printf '[LOGO]\r\n' >>"$tmp"
  n=1
  for bmp in "$root"/demo/logos/*.bmp; do
    printf 'Logofile%d=%s\r\n' "$n" "$bmp" >>"$tmp"
    n=$((n + 1))
  done
fi
# The built-in models and a TORVA10 one, whose Firmware Download is the framed downloader;
# its raw flash image is made once, and the downloader starts with it chosen.
printf '[DEVICELIST]\r\n' >>"$tmp"
n=1
for model in "TORVA30/35U-I" "TORVA30/35U-II" "TORVA30/35S" "TORVA30/35P" "TORVA30/35E-II" \
    "TORVA30/35W" "TORVA40/45U-I" "TORVA40/45U-II" "TORVA40/45S" "TORVA40/45P" \
    "TORVA40/45E-II" "TORVA40/45W" "TORVA10S"; do
  printf 'Model%d=%s\r\n' "$n" "$model" >>"$tmp"
  n=$((n + 1))
done
torva10_image=$demo/torva10-flash.bin
if [ ! -f "$torva10_image" ]; then
  { yes "TORVA10 demo flash image " || true; } | head -c 2097152 >"$torva10_image"
fi
if ! grep -qi '^\[FWDN15\]' "$tmp"; then
  printf '[FWDN15]\r\nFOLDER=%s\r\nFILE=%s\r\n' "$torva10_image" "$(basename "$torva10_image")" >>"$tmp"
fi
# A sample 8 MB firmware image for the F/W Update dialog (never real firmware): filler text,
# boot version 1 and the end marker; the dialog starts with it chosen.
sample_image=$demo/sample-firmware.PXR
if [ ! -f "$sample_image" ]; then
  { { yes "TORVASet sample image, not printer firmware. " || true; } | head -c 8388603
    printf '\001ZELK'; } >"$sample_image"
fi
if ! grep -qi '^\[FWDN20\]' "$tmp"; then
  printf '[FWDN20]\r\nFOLDER=%s\r\nFILE=%s\r\n' "$sample_image" "$(basename "$sample_image")" >>"$tmp"
fi
printf '[NETWORK]\r\nBROADCAST=127.0.0.1\r\nPORT=%s\r\nLISTENPORT=%s\r\n' \
  "$net_port" "$net_listen_port" >>"$tmp"
mv "$tmp" "$ini"

cat <<INFO
TORVASet demo, in $demo
  simulated printer (pid $sim_pid): serial line $link -> $serial, TCP 127.0.0.1:$tcp_port
  over serial:   DEVICE "TORVA40/45S", PORT $link, OK
  over Ethernet: DEVICE "TORVA40/45E-II", OK, then IP 127.0.0.1 and PORT $tcp_port, OK
  network setting: in that dialog, "Network Setting", then "Search Printer" finds two
                 simulated printers on loopback (never on your LAN)
  logos:         "Logo Download" lists the sample logos of demo/logos; "&Upload" stores them
                 in the simulated printer, page 4 prints them back as PNG "paper" in
                 $demo/paper/
  user setup:    in the main menu, "User Setup": "Get Value" reads the simulated printer's
                 settings, "Set Value" writes the changed ones (its settings are in
                 $settings), "TEST" prints the test page into $demo/paper/
  TORVA10:       DEVICE "TORVA10S", PORT $link, OK, "Firmware Download", "&4.Font", OK:
                 the framed download of $(basename "$torva10_image"); the simulator keeps
                 what it flashed as $demo/paper/flash-font.bin with a receipt flash-font.png
  firmware:      DEVICE "TORVA40/45S", PORT $link, OK, "Firmware Download", "DOWNLOAD":
                 the Program Area of $(basename "$sample_image") goes to the simulated
                 printer, whose receipt $demo/paper/firmware-0001.png says
                 "firmware area Program received, checksum ... ok" (also in sim.err);
                 hold Ctrl while the dialog opens for the DOWNLOAD and Boot areas
  The printer's received bytes go to $demo/capture.bin; the tool's log is error.log there.
INFO

set +e
(cd "$demo" && "$app")
rc=$?
set -e
echo "run-demo: TORVASet ended (exit code $rc); stopping the simulated printer."
exit $rc
