#!/bin/sh
# One real broadcast to 255.255.255.255, inside a pair of network namespaces this script
# makes and removes: the simulated printer in one, `torvaset-cli net search` in the other.
# The printer must be listed and the tool's own broadcast (which its receiver also gets)
# must not. Nothing is sent outside the pair.
#
# usage: netns_broadcast_test.sh SIM CLI
#   SIM  torva-printer-sim
#   CLI  torvaset-cli
set -u

responder=$1
cli=$2
tag=torva$$
ns_printer=${tag}p
ns_tool=${tag}t
net=10.231.77
printer_ip=$net.1
tool_ip=$net.2
work=$(mktemp -d)
responder_pid=

cleanup() {
  [ -n "$responder_pid" ] && kill "$responder_pid" 2>/dev/null && wait "$responder_pid" 2>/dev/null
  ip netns del "$ns_printer" 2>/dev/null
  ip netns del "$ns_tool" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT INT TERM

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

[ -x "$responder" ] || fail "no simulator at $responder"
[ -x "$cli" ] || fail "no torvaset-cli at $cli"
command -v ip >/dev/null 2>&1 || fail "the ip command (iproute2) is missing"

ip netns add "$ns_printer" 2>"$work/err" ||
  fail "this machine refused to create a network namespace ($(cat "$work/err")); the test needs root and namespace support"
ip netns add "$ns_tool" 2>"$work/err" || fail "second namespace refused: $(cat "$work/err")"
ip link add vethp netns "$ns_printer" type veth peer name veth netns "$ns_tool" 2>"$work/err" ||
  fail "veth pair refused: $(cat "$work/err")"
ip -n "$ns_printer" addr add "$printer_ip/24" dev vethp || fail "address in $ns_printer"
ip -n "$ns_tool" addr add "$tool_ip/24" dev veth || fail "address in $ns_tool"
for n in "$ns_printer" "$ns_tool"; do ip -n "$n" link set lo up || fail "lo up in $n"; done
ip -n "$ns_printer" link set vethp up || fail "vethp up"
ip -n "$ns_tool" link set veth up || fail "veth up"
# 255.255.255.255 needs a route in the sending namespace; this one stays inside the pair.
ip -n "$ns_tool" route add default dev veth || fail "default route in $ns_tool"

ip netns exec "$ns_printer" "$responder" --no-serial --net-listen 0.0.0.0:2918 --net-reply-port 2918 \
  --net-printer "ip=$printer_ip,mask=255.255.255.0,gw=$net.254,mac=00:2B:9E:77:00:01,dhcp=1,port=6001" \
  >"$work/responder.out" 2>&1 &
responder_pid=$!

# Wait (bounded) until the simulator says its listeners are up.
i=0
until grep -q '^ready' "$work/responder.out" 2>/dev/null; do
  i=$((i + 1))
  [ $i -le 200 ] || fail "the simulator did not start: $(cat "$work/responder.out")"
  kill -0 "$responder_pid" 2>/dev/null || fail "the simulator ended: $(cat "$work/responder.out")"
  sleep 0.05
done

cd "$work" || fail "no work folder"
ip netns exec "$ns_tool" "$cli" net search --broadcast 255.255.255.255 --port 2918 \
  --listen-port 2918 --json --verbose >"$work/out" 2>"$work/err"
status=$?

echo "--- torvaset-cli stdout"; cat "$work/out"
echo "--- torvaset-cli stderr"; cat "$work/err"
[ $status -eq 0 ] || fail "torvaset-cli net search ended with status $status"
grep -q "\"ip\":\"$printer_ip\",\"dhcp\":true,\"port\":6001" "$work/out" ||
  fail "the printer at $printer_ip was not listed"
[ "$(wc -l <"$work/out")" -eq 1 ] || fail "expected exactly one printer line"
grep -q "\"source\":\"$tool_ip\"" "$work/out" && fail "the tool's own broadcast was listed"
grep -q '"ip":"0.0.0.0"' "$work/out" && fail "the tool's own broadcast was listed"
grep -q "The printer has finished searching." "$work/err" || fail "no end message"
# The receiver got the tool's own broadcast too, and left it out.
grep -q "received 2 datagrams: 1 own, 0 not 35 bytes, 1 listed" "$work/err" ||
  fail "the tool's own broadcast was not received and dropped as expected"
echo "PASS"
