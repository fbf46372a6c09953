#!/usr/bin/env bash
# zr8.exe under Wine reaching zr8sim through Debian's ser2net on 127.0.0.1: info over a
# telnet(rfc2217) accepter and over a raw one, and a refused connection with its advice.
#   zr8_exe_network_test.sh ZR8_EXE ZR8SIM
set -uo pipefail
zr8=$1 zr8sim=$2
work=$(mktemp -d)
sim_pid= server_pid=
cleanup() {
  [ -n "$server_pid" ] && kill "$server_pid" 2>/dev/null && wait "$server_pid" 2>/dev/null
  [ -n "$sim_pid" ] && kill "$sim_pid" 2>/dev/null && wait "$sim_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*"; echo "$out"; exit 1; }
free_port() { python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])'; }

"$zr8sim" --baud-model instant --link "$work/tty" >"$work/sim.out" &
sim_pid=$!
for _ in $(seq 100); do [ -e "$work/tty" ] && break; sleep 0.05; done
telnet_port=$(free_port) raw_port=$(free_port)
cat >"$work/ser2net.yaml" <<YAML
connection: &rfc2217
    accepter: telnet(rfc2217),tcp,127.0.0.1,$telnet_port
    connector: serialdev,$work/tty,9600n81,local
connection: &raw
    accepter: tcp,127.0.0.1,$raw_port
    connector: serialdev,$work/tty,9600n81,local
YAML
/usr/sbin/ser2net -n -d -c "$work/ser2net.yaml" -P "$work/pid" >"$work/ser2net.log" 2>&1 &
server_pid=$!
for _ in $(seq 200); do
  python3 -c "import socket; socket.create_connection(('127.0.0.1', $raw_port), 1)" 2>/dev/null && break
  sleep 0.05
done

for url in "rfc2217://127.0.0.1:$telnet_port" "socket://127.0.0.1:$raw_port"; do
  out=$(wine "$zr8" --port "$url" --timeout 8 info 2>&1)
  rc=$?
  [ $rc = 0 ] || fail "$url: exit $rc"
  grep -q "Serial number: 12345" <<<"$out" || fail "$url: no serial number"
done

refused=$(free_port)
out=$(wine "$zr8" --port "rfc2217://127.0.0.1:$refused" info 2>&1)
rc=$?
[ $rc = 1 ] || fail "refused: exit $rc"
grep -q "Error code 0x0000274D: " <<<"$out" || fail "refused: no 10061"
grep -q "Nothing listens at rfc2217://127.0.0.1:$refused" <<<"$out" || fail "refused: no advice"
echo "zr8.exe through ser2net: info over rfc2217:// and socket://, a refused connection with its advice"
