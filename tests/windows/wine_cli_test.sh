#!/usr/bin/env bash
# torvaset-cli.exe under wine against the Linux simulator: one case per call.
#   com99     logo upload over COM99 (the simulator's pseudo-terminal), byte for byte the
#             stream the Linux command line sends; the settings file it writes (CR LF) is
#             read back by the Linux command line
#   tcp       logo upload over TCP to the simulator on 127.0.0.1
#   udp       net search against the simulator's responder on loopback UDP
#   korean    the Korean message table under ko_KR
#   com99_line  the serial back end's own tests (win32_tests.exe) with the simulator on COM99
# Usage: wine_cli_test.sh CASE WIN_BIN_DIR HOST_BIN_DIR GUARD WINE WORK_DIR
# Needs the environment of scripts/wine-tests.sh (WINEPREFIX, TORVA_COM99_LINK).
set -euo pipefail
case_name=$1 win_bin=$2 host_bin=$3 guard=$4 wine=$5 work=$6
exe=$win_bin/torvaset-cli.exe
sim=$host_bin/torva-printer-sim
cli=$host_bin/torvaset-cli
for f in "$exe" "$sim" "$cli"; do
  [ -x "$f" ] || { echo "missing $f (build the Linux simulator and command line first)"; exit 1; }
done
work=$work/$case_name
rm -rf "$work"
mkdir -p "$work"
cd "$work"

sim_pid=
sim_out=
stop_sim() {
  if [ -n "$sim_pid" ]; then
    kill "$sim_pid" 2>/dev/null || true
    wait "$sim_pid" 2>/dev/null || true
    sim_pid=
  fi
}
trap stop_sim EXIT

# Starts the simulator (in a session of its own, so that the wine server never takes its
# terminal) and waits until it printed "ready".
start_sim() {
  sim_out=$work/sim-$RANDOM.out
  setsid "$sim" "$@" >"$sim_out" 2>"$sim_out.err" &
  sim_pid=$!
  for _ in $(seq 100); do
    grep -q '^ready$' "$sim_out" 2>/dev/null && return 0
    kill -0 "$sim_pid" 2>/dev/null || break
    sleep 0.1
  done
  echo "the simulator did not come up:"; cat "$sim_out" "$sim_out.err"; exit 1
}
sim_line() { sed -n "s/^$1: //p" "$sim_out" | head -1; }

wine_cli() { "$guard" "$wine" "$exe" "$@"; }

fail() { echo "FAIL: $*"; exit 1; }

# Two small bitmaps: 24 bits per pixel, bottom-up, rows padded to four bytes.
make_bmp() {
  python3 - "$1" "$2" "$3" <<'PY'
import struct, sys
path, w, h = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
row = (w * 3 + 3) // 4 * 4
pixels = bytearray()
for y in range(h):
    line = bytearray()
    for x in range(w):
        v = 0 if (x // 4 + y // 4) % 2 else 255
        line += bytes([v, (x * 7) % 256, v])
    pixels += line + bytes(row - len(line))
header = struct.pack('<2sIHHI', b'BM', 54 + len(pixels), 0, 0, 54)
info = struct.pack('<IiiHHIIiiII', 40, w, h, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
open(path, 'wb').write(header + info + pixels)
PY
}

upload_args=(logo upload --model TORVA30 --yes a.bmp b.bmp)

case $case_name in
  com99)
    make_bmp a.bmp 40 24
    make_bmp b.bmp 17 9
    mkdir linux windows
    cp a.bmp b.bmp linux/
    cp a.bmp b.bmp windows/

    start_sim --link "$work/linux-tty" --capture "$work/linux.cap"
    (cd linux && "$cli" "${upload_args[@]}" --port "serial:$work/linux-tty") \
      >linux.out 2>&1 || { cat linux.out; fail "the Linux upload failed"; }
    stop_sim

    start_sim --link "$TORVA_COM99_LINK" --capture "$work/windows.cap"
    (cd windows && wine_cli "${upload_args[@]}" --port COM99) >windows.out 2>&1 ||
      { cat windows.out; fail "the upload over COM99 failed"; }
    stop_sim
    cmp linux.cap windows.cap || fail "COM99 sent other bytes than the Linux build"
    [ -s windows.cap ] || fail "nothing reached the simulator"
    echo "COM99: $(stat -c %s windows.cap) bytes, the same as the Linux build's"

    ini=windows/torvaset.INI
    [ -f "$ini" ] || fail "no settings file written"
    python3 - "$ini" <<'PY' || fail "the settings file is not CR LF throughout"
import sys
data = open(sys.argv[1], 'rb').read()
lines = data.split(b'\r\n')
assert data.endswith(b'\r\n') and all(b'\n' not in l and b'\r' not in l for l in lines), data
assert b'[LOGO]\r\nLogofile1=' in data and b'Logofile2=' in data, data
PY
    # The Linux build reads the Windows file: it records two images, so number 3 is noted.
    start_sim --link "$work/linux-tty"
    (cd windows && "$cli" logo print --model TORVA30 --yes --range 1-3 \
        --port "serial:$work/linux-tty") >print.out 2>&1 || { cat print.out; fail "print failed"; }
    stop_sim
    grep -q 'records 2 images written here; number 3 may hold no image' print.out ||
      { cat print.out; fail "the Linux build did not read the settings file written under wine"; }
    ;;
  tcp)
    make_bmp a.bmp 40 24
    make_bmp b.bmp 17 9
    start_sim --no-serial --tcp-port 0 --capture "$work/tcp.cap"
    port=$(sim_line tcp | sed 's/.*://')
    wine_cli "${upload_args[@]}" --port "tcp:127.0.0.1:$port" >windows.out 2>&1 ||
      { cat windows.out; fail "the upload over TCP failed"; }
    stop_sim
    start_sim --no-serial --tcp-port 0 --capture "$work/linux.cap"
    port=$(sim_line tcp | sed 's/.*://')
    "$cli" "${upload_args[@]}" --port "tcp:127.0.0.1:$port" >linux.out 2>&1 ||
      { cat linux.out; fail "the Linux upload over TCP failed"; }
    stop_sim
    [ -s tcp.cap ] || fail "nothing reached the simulator over TCP"
    cmp linux.cap tcp.cap || fail "TCP carried other bytes than the Linux build's"
    echo "TCP: $(stat -c %s tcp.cap) bytes, the same as the Linux build's"
    ;;
  udp|korean)
    listen=$((20000 + RANDOM % 20000))
    reply=$((listen + 1))
    start_sim --no-serial \
      --net-printer "ip=192.168.0.10,mask=255.255.255.0,gw=192.168.0.1,mac=00:2B:9E:00:00:0A,dhcp=1,port=6001" \
      --net-printer "ip=192.168.0.11,mask=255.255.0.0,gw=192.168.0.2,mac=00:2B:9E:00:00:0B,dhcp=0,port=9100" \
      --net-listen "127.0.0.1:$listen" --net-reply-port "$reply"
    lang=C.UTF-8
    [ "$case_name" = korean ] && lang=ko_KR.UTF-8
    LANG=$lang LC_ALL= wine_cli net search --json --broadcast 127.0.0.1 --port "$listen" \
      --listen-port "$reply" >search.out 2>search.err || { cat search.out search.err; fail "search failed"; }
    stop_sim
    tr -d '\r' <search.out >search.txt
    if [ "$case_name" = udp ]; then
      grep -qx '{"ip":"192.168.0.10","dhcp":true,"port":6001,"subnet":"255.255.255.0","gateway":"192.168.0.1","mac":"00:2B:9E:00:00:0A","source":"127.0.0.2"}' search.txt &&
        grep -qx '{"ip":"192.168.0.11","dhcp":false,"port":9100,"subnet":"255.255.0.0","gateway":"192.168.0.2","mac":"00:2B:9E:00:00:0B","source":"127.0.0.3"}' search.txt ||
        { cat search.txt; fail "the two printers were not listed"; }
      grep -q 'The printer has finished searching.' search.err || { cat search.err; fail "no end message"; }
    else
      grep -q '프린터 검색이 완료되었습니다.' search.err ||
        { cat search.err; fail "the end message is not the Korean one under ko_KR"; }
    fi
    echo "net search: $(wc -l <search.txt) printers, end message in $lang"
    ;;
  com99_line)
    start_sim --link "$TORVA_COM99_LINK"
    TORVA_SIM_ON_COM99=1 "$guard" "$wine" "$win_bin/win32_tests.exe" --gtest_filter='Com99Test.*' ||
      fail "the serial line tests failed"
    stop_sim
    ;;
  *)
    fail "unknown case $case_name"
    ;;
esac
