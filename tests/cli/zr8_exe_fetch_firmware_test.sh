#!/usr/bin/env bash
# zr8.exe fetch-firmware under Wine against the FTP servers of ftp_servers_fixture.sh:
# the newer files arrive, a dropped connection and a refused one end with one error line
# each and leave nothing behind.
#   zr8_exe_fetch_firmware_test.sh ZR8_EXE SERVERS_STATE
set -uo pipefail
zr8=$1 state=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
win() { printf 'Z:%s' "${1//\//\\}"; }
fail() { echo "FAIL: $*"; echo "$out"; exit 1; }

mkdir "$work/fw"
printf ':0400000001020304F2\r\n:00000001FF\r\n' >"$work/fw/zr8_0116.hex"
out=$(wine "$zr8" fetch-firmware --folder "$(win "$work/fw")" --server "127.0.0.1:$(cat "$state/newer.port")" 2>&1)
rc=$?
[ $rc = 0 ] || fail "newer: exit $rc"
[ "$(ls "$work/fw" | tr '\n' ' ')" = "zr8_0116.hex zr8_0117.hex zr8_0118.hex zr8fwnotes.rtf " ] || fail "newer: $(ls "$work/fw")"
grep -q "Copied 3 files from Orvandel to" <<<"$out" || fail "newer: no summary line"

for case in drop:FtpGetFile refused:InternetConnect; do
  kind=${case%%:*} operation=${case#*:}
  rm -rf "$work/fw" && mkdir "$work/fw"
  out=$(wine "$zr8" fetch-firmware --folder "$(win "$work/fw")" --server "127.0.0.1:$(cat "$state/$kind.port")" 2>&1)
  rc=$?
  [ $rc = 1 ] || fail "$kind: exit $rc"
  [ "$(grep -c "completed with error 0x" <<<"$out")" = 1 ] || fail "$kind: not one error line"
  grep -q "$operation completed with error 0x" <<<"$out" || fail "$kind: no $operation line"
  [ -z "$(ls "$work/fw")" ] || fail "$kind: left $(ls "$work/fw")"
done
echo "zr8.exe fetch-firmware: newer files, dropped and refused connections as expected"
