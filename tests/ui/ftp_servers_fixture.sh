#!/usr/bin/env bash
# FTP servers on 127.0.0.1 for the copy dialog's tests under Wine, one per kind of
# server, each on a free port (tests/firmware/ftp_test_server.py, python3-pyftpdlib):
#   ftp_servers_fixture.sh setup|cleanup STATE_DIR
# setup writes STATE_DIR/<kind>.port for every kind, and refused.port, a port nothing
# listens on; each server logs to STATE_DIR/<kind>.log. cleanup stops them.
#   newer      115, 117, 118 in that order and the release notes
#   notesonly  the release notes alone
#   older      the release notes, 115 and 116
#   nodir      no firmware directory, and a reply of its own to every CWD
#   hostile    hostile names in the listing, then 117
#   drop       117, and the connection dropped after 20000 bytes of it
#   slow       a 4 MB 117 at 64 KB a second
#   corrupt    117 and a 118 that is no Intel HEX
#   untouched  117; the tests that must not connect look at its log
set -euo pipefail
[ $# -eq 2 ] || { echo "usage: $0 setup|cleanup STATE_DIR" >&2; exit 2; }
action=$1 state=$2
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
server=$here/../firmware/ftp_test_server.py

stop_all() {
  local pidfile
  for pidfile in "$state"/*.pid; do
    [ -e "$pidfile" ] || continue
    kill "$(cat "$pidfile")" 2>/dev/null || true
    rm -f "$pidfile"
  done
}

# A tiny valid Intel HEX file: one data record and the end record.
valid_hex() { printf ':0400000001020304F2\r\n:00000001FF\r\n' >"$1"; }

start() {  # kind [server options...]
  local kind=$1
  shift
  /usr/bin/python3 "$server" --root "$state/$kind" --port-file "$state/$kind.port" --log "$state/$kind.log" "$@" \
    </dev/null >/dev/null 2>&1 &
  echo $! >"$state/$kind.pid"
}

case $action in
  cleanup) stop_all; exit 0 ;;
  setup) ;;
  *) echo "$0: setup or cleanup" >&2; exit 2 ;;
esac

stop_all
rm -rf "$state"
mkdir -p "$state"
for kind in newer notesonly older nodir hostile drop slow corrupt untouched; do
  mkdir -p "$state/$kind"
  [ "$kind" = nodir ] || mkdir -p "$state/$kind/ZR8/firmware"
done
fw() { echo "$state/$1/ZR8/firmware"; }

for v in 0115 0117 0118; do valid_hex "$(fw newer)/zr8_$v.hex"; done
printf '{\\rtf1 notes}' >"$(fw newer)/zr8fwnotes.rtf"
printf 'zr8_0115.hex\nzr8_0117.hex\nzr8_0118.hex\nzr8fwnotes.rtf\n' >"$state/newer.listing"
printf '{\\rtf1 notes}' >"$(fw notesonly)/zr8fwnotes.rtf"
printf '{\\rtf1 notes}' >"$(fw older)/zr8fwnotes.rtf"
for v in 0115 0116; do valid_hex "$(fw older)/zr8_$v.hex"; done
valid_hex "$(fw hostile)/zr8_0117.hex"
long="zr8_$(printf 'a%.0s' $(seq 288))0999.hex"
printf '%s\n' '../zr8_0999.hex' 'sub/zr8_0999.hex' '..\zr8_0999.hex' 'C:zr8_0999.hex' 'CON.hex' "$long" \
  'zr8_0117.hex' >"$state/hostile.listing"
head -c 200000 /dev/zero | tr '\0' 'x' >"$(fw drop)/zr8_0117.hex"
head -c 4194304 /dev/zero | tr '\0' 'x' >"$(fw slow)/zr8_0117.hex"
valid_hex "$(fw corrupt)/zr8_0117.hex"
printf ':10000000GG\r\nno end record\r\n' >"$(fw corrupt)/zr8_0118.hex"
valid_hex "$(fw untouched)/zr8_0117.hex"

start newer --listing "$state/newer.listing"
start notesonly
start older
start nodir --cwd-reply "550 ZR8/firmware is not on this server (nodir)."
start hostile --listing "$state/hostile.listing"
start drop --drop-after 20000
start slow --rate 65536
start corrupt
start untouched
/usr/bin/python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])' \
  >"$state/refused.port"

for kind in newer notesonly older nodir hostile drop slow corrupt untouched; do
  for _ in $(seq 100); do [ -s "$state/$kind.port" ] && break; sleep 0.1; done
  [ -s "$state/$kind.port" ] || { echo "$0: the $kind server did not start" >&2; stop_all; exit 1; }
done
