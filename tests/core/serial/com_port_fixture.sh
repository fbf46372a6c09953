#!/usr/bin/env bash
# The COM port of the Windows serial tests: zr8sim on a pseudo-terminal, mapped to a COM
# port of the Wine prefix the tests run in.
#   com_port_fixture.sh setup|cleanup STATE_DIR ZR8SIM COMNAME WINEPREFIX
# setup starts zr8sim with --link STATE_DIR/tty, and makes sure the prefix maps COMNAME to
# that link: Wine reads HKLM\Software\Wine\Ports ("COM8"="/path/tty") when the prefix's
# device manager starts, so when the value is new the prefix's wineserver is restarted
# (ctest runs this step alone). The link path stays the same from run to run, so that
# happens once per prefix. cleanup stops that zr8sim (and a wineserver setup started).
# ZR8SIM_OPTIONS replaces zr8sim's line options (default: --baud-model instant).
set -euo pipefail
[ $# -eq 5 ] || { echo "usage: $0 setup|cleanup STATE_DIR ZR8SIM COMNAME WINEPREFIX" >&2; exit 2; }
action=$1 state=$2 sim=$3 com=$4 prefix=$5
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../../.." && pwd)
. "$root/scripts/lib/wine.sh"
zr8_wine_env "$(realpath -m "$prefix")"

link=$state/tty
pidfile=$state/zr8sim.pid
serverfile=$state/own-wineserver
ports='HKLM\Software\Wine\Ports'
device=$WINEPREFIX/dosdevices/$(printf '%s' "$com" | tr '[:upper:]' '[:lower:]')

stop_sim() {
  if [ -f "$pidfile" ]; then
    local pid
    pid=$(cat "$pidfile")
    kill "$pid" 2>/dev/null || true
    for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
    rm -f "$pidfile"
  fi
  rm -f "$link"
}

mapped() { [ "$(readlink "$device" 2>/dev/null)" = "$link" ]; }

case $action in
setup)
  [ -x "$sim" ] || { echo "com fixture: no native zr8sim at $sim (build the native preset's zr8sim first, or set ZR8_NATIVE_ZR8SIM)" >&2; exit 1; }
  zr8_wine_prefix_ready
  mkdir -p "$state"
  stop_sim
  # Detached from ctest's pipes, or ctest would wait for it to end.
  # shellcheck disable=SC2086  # the options are words
  "$sim" ${ZR8SIM_OPTIONS:---baud-model instant} --link "$link" </dev/null >"$state/zr8sim.out" 2>"$state/zr8sim.err" &
  echo $! >"$pidfile"
  for _ in $(seq 100); do [ -L "$link" ] && break; sleep 0.1; done
  [ -L "$link" ] || { echo "com fixture: zr8sim did not come up:" >&2; cat "$state/zr8sim.err" >&2; stop_sim; exit 1; }
  echo "com fixture: zr8sim $(head -n1 "$state/zr8sim.out") as $link" >&2

  if ! mapped; then
    # Wine's server and services outlive the commands that start them: none of them may
    # hold ctest's pipes.
    log=$state/wine.log
    set +e
    wineserver -p </dev/null >>"$log" 2>&1; rc=$?  # 2: one runs already (a wine-session)
    set -e
    wine reg add "$ports" /v "$com" /d "$link" /f </dev/null >>"$log" 2>&1
    # The device manager reads the value when it starts: restart the prefix's server.
    wineserver -k </dev/null >>"$log" 2>&1 || true
    timeout 60 wineserver -w </dev/null >>"$log" 2>&1 || true
    wineserver -p </dev/null >>"$log" 2>&1 || true
    [ "$rc" = 0 ] && touch "$serverfile"
    for _ in $(seq 30); do
      wine reg query "$ports" /v "$com" </dev/null >>"$log" 2>&1 || true
      mapped && break
      sleep 0.5
    done
    mapped || { echo "com fixture: $device does not point at $link" >&2; stop_sim; exit 1; }
    echo "com fixture: $com mapped in $WINEPREFIX" >&2
  fi
  ;;
cleanup)
  stop_sim
  if [ -f "$serverfile" ]; then
    wineserver -k 2>/dev/null || true
    rm -f "$serverfile"
  fi
  ;;
*)
  echo "com fixture: unknown action $action" >&2
  exit 2
  ;;
esac
