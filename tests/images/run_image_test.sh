#!/usr/bin/env bash
# Runs one program of an image test in a scratch copy of its folder and checks
# what a user would see: the message box it shows (read and dismissed through
# the UI driver) and its exit status.
#
# run_image_test.sh WINE_RUN UI_DRIVER FOLDER PROGRAM STATUS [OPTION] [MESSAGE]
#   OPTION: --truncate N (cut N bytes off PROGRAM), --remove FILE,
#           --truncate-file FILE N, --trace EXPECTED (after the run, the
#           program's trace.log must hold the lines of file EXPECTED),
#           --arg ARG (pass ARG on PROGRAM's command line),
#           --damage TOOL KIND (damage PROGRAM's image with damage-image)
#   MESSAGE: a carriage return in the shown text is matched as \r.
set -u
program_args=()
wine_run=$1 driver=$2 folder=$3 program=$4 expected=$5
shift 5
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp -r "$folder"/. "$work"/
cd "$work"

case "${1:-}" in
  --truncate) truncate -s "-$2" "$program"; shift 2 ;;
  --remove) rm -f "$2"; shift 2 ;;
  --truncate-file) truncate -s "-$3" "$2"; shift 3 ;;
  --trace) expected_trace=$2; shift 2 ;;
  --arg) program_args=("$2"); shift 2 ;;
  --damage) "$2" "$program" "$program.damaged" "$3" && mv "$program.damaged" "$program"; shift 3 ;;
esac
message=${1:-}

fail() { echo "FAIL: $*"; exit 1; }

"$wine_run" "./$program" "${program_args[@]}" &
pid=$!

if [ -n "$message" ]; then
  shown=$("$wine_run" "$driver" waittext '#32770' Message Static 60000) || { kill $pid; fail "no message box"; }
  shown=${shown//$'\r'/'\r'}  # a line break in the text, written as the test names it
  echo "message: $shown"
  "$wine_run" "$driver" press '#32770' Message OK || fail "could not press OK"
  [ "$shown" = "$message" ] || { wait $pid; fail "expected message: $message"; }
fi

# The program must end by itself; a stray message box would keep it waiting.
for _ in $(seq 600); do
  kill -0 $pid 2>/dev/null || break
  sleep 0.1
done
if kill -0 $pid 2>/dev/null; then
  "$wine_run" "$driver" texts '#32770' '*' 2>/dev/null
  kill $pid
  fail "the program did not end"
fi
wait $pid
status=$?
echo "exit status $status"
[ "$status" -eq "$expected" ] || fail "expected exit status $expected"
if [ -n "${expected_trace:-}" ]; then
  [ -f trace.log ] || fail "no trace.log"
  tr '\r' '\n' < trace.log > trace.txt
  diff -u "$expected_trace" trace.txt || fail "trace.log differs"
fi
echo PASS
