#!/usr/bin/env bash
# Runs one program of an image test in a scratch copy of its folder and checks
# what a user would see: the message box it shows (read and dismissed through
# the UI driver) and its exit status.
#
# run_image_test.sh WINE_RUN UI_DRIVER FOLDER PROGRAM STATUS [DAMAGE] [MESSAGE]
#   DAMAGE: --truncate N (cut N bytes off PROGRAM), --remove FILE,
#           --truncate-file FILE N
set -u
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
esac
message=${1:-}

fail() { echo "FAIL: $*"; exit 1; }

"$wine_run" "./$program" &
pid=$!

if [ -n "$message" ]; then
  "$wine_run" "$driver" wait '#32770' Message 60000 || { kill $pid; fail "no message box"; }
  shown=$("$wine_run" "$driver" texts '#32770' Message)
  echo "$shown"
  "$wine_run" "$driver" press '#32770' Message OK || fail "could not press OK"
  grep -qxF "Static|$message" <<<"$shown" || { wait $pid; fail "expected message: $message"; }
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
echo PASS
