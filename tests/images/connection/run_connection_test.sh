#!/bin/bash
# Runs the connection test application against the handheld simulator: the
# simulator makes the cable, the prefix's COM2 points at it for the run (COM1
# Wine points at the machine's first serial port whenever it starts), and
# the program traces the game key it recorded. (The frames' way into the
# Writing Window is the application's test, app/conn_receive.sh.)
# Usage: run_connection_test.sh WINE_RUN UI_DRIVER SIMULATOR FOLDER PROGRAM SCRIPT PREFIX
set -u
wine_run=$1 driver=$2 sim=$3 folder=$4 program=$5 script=$6 prefix=$7
work=$(mktemp -d)
devices=$prefix/dosdevices
saved=$(readlink "$devices/com2" 2>/dev/null || true)
cleanup() {
  [ -n "${pid:-}" ] && kill "$pid" 2>/dev/null
  [ -n "${simpid:-}" ] && kill "$simpid" 2>/dev/null
  rm -f "$devices/com2"
  [ -n "$saved" ] && ln -s "$saved" "$devices/com2"
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*"; cat "$work/sim.log" 2>/dev/null; exit 1; }
cp -r "$folder"/. "$work"/
cd "$work"
"$sim" --pty "$work/cable" --script "$script" > sim.log 2>&1 &
simpid=$!
for _ in $(seq 50); do [ -e "$work/cable" ] && break; sleep 0.1; done
[ -e "$work/cable" ] || fail "the simulator made no cable"
mkdir -p "$devices"
ln -sfn "$(readlink -f "$work/cable")" "$devices/com2"
"$wine_run" "./$program" &
pid=$!
wait $simpid || fail "the handheld's expectations failed ($?)"
"$wine_run" "$driver" close ZBWindow "Vellory Server"
trace=$(tr '\r' '\n' < trace.log 2>/dev/null)
expected=$(printf 'game mode on\nlast game key K\ngame mode off\ndisconnected with late')
[ "$trace" = "$expected" ] || fail "the trace reads '$trace'"
for _ in $(seq 100); do kill -0 $pid 2>/dev/null || break; sleep 0.1; done
kill -0 $pid 2>/dev/null && fail "the program did not end"
echo PASS
