#!/usr/bin/env bash
# Runs a window test application in a scratch copy of its folder, acts on
# its windows with the steps of a scenario file (through the UI driver, as a
# user would), and checks that the program ends by itself with status 0 and
# that its trace.log holds the expected event sequence.
#
# run_window_test.sh WINE_RUN UI_DRIVER FOLDER PROGRAM SCENARIO EXPECTED [SCREENSHOT]
#   SCENARIO: a bash file sourced after the program started; it calls
#   `drive VERB ARGS...` (the UI driver), `wait_trace LINE` and `fail MESSAGE`.
#   SCREENSHOT: where `screenshot` in the scenario saves the desktop.
set -u
wine_run=$1 driver=$2 folder=$3 program=$4 scenario=$5 expected=$6 screenshot=${7:-}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp -r "$folder"/. "$work"/
cd "$work"

drive() { "$wine_run" "$driver" "$@"; }
screenshot() { [ -n "$screenshot" ] && import -window root "$screenshot"; return 0; }
# wait_trace LINE: waits up to 10 s until trace.log holds LINE, so a step
# that posts or clicks can be known handled before the next one.
wait_trace() {
  for _ in $(seq 100); do
    [ -f trace.log ] && tr '\r' '\n' < trace.log | grep -qxF "$1" && return 0
    sleep 0.1
  done
  fail "no '$1' in the trace"
}
fail() {
  echo "FAIL: $*"
  [ -f trace.log ] && { echo "--- trace so far"; tr '\r' '\n' < trace.log; }
  kill "$pid" 2>/dev/null
  exit 1
}

"$wine_run" "./$program" &
pid=$!
# shellcheck source=/dev/null
source "$scenario"

for _ in $(seq 300); do
  kill -0 $pid 2>/dev/null || break
  sleep 0.1
done
if kill -0 $pid 2>/dev/null; then
  drive windows
  fail "the program did not end"
fi
wait $pid
status=$?
echo "exit status $status"
[ "$status" -eq 0 ] || fail "expected exit status 0"
[ -f trace.log ] || fail "no trace.log"
tr '\r' '\n' < trace.log > trace.txt
diff -u "$expected" trace.txt || fail "trace.log differs"
echo PASS
