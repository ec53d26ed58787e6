#!/usr/bin/env bash
# Runs one test program in a scratch copy of its folder and checks what a
# user would see: the message box it shows (read and dismissed through the UI
# driver), its exit status and the events it wrote to trace.log.
# run_image_test.sh WINE_RUN UI_DRIVER FOLDER PROGRAM STATUS [OPTION...] [MESSAGE]
#   --truncate FILE N (cut N bytes off FILE), --remove FILE,
#   --damage TOOL KIND (damage PROGRAM's image with damage-image),
#   --file PATH TEXT (PATH, outside FOLDER, holds TEXT, printf's escapes
#     taken, during the run, and is put back as it was when the test ends),
#   --arg ARG (pass ARG on PROGRAM's command line),
#   --cable SIMULATOR SCRIPT PREFIX (the handheld simulator runs SCRIPT at the
#     far end of a cable on the prefix's COM2, put back when the test ends;
#     COM1 Wine points at the machine's first serial port whenever it starts),
#   --scenario FILE (a bash file sourced once PROGRAM started: it calls
#     `drive VERB ARGS...` (the UI driver), `wait_trace LINE`, `fail MESSAGE`,
#     `screenshot`, which saves the desktop as FOLDER.png, and `wait_sim`),
#   --trace EXPECTED (after the run, trace.log must hold the lines of EXPECTED).
#   MESSAGE: a carriage return in the shown text is matched as \r.
set -u
wine_run=$1 driver=$2 folder=${3%/} program=$4 expected=$5
shift 5
args=() cable=() scenario= expected_trace= pid= file= sim= com2= com2_was=
work=$(mktemp -d)
saved=$(mktemp -d)
restore_file() {
  [ -n "$file" ] || return 0
  rm -f "$file"
  [ -e "$saved/file" ] && cp "$saved/file" "$file"
  return 0
}
restore_com2() {
  [ -n "$com2" ] || return 0
  [ -n "$sim" ] && kill "$sim" 2>/dev/null
  rm -f "$com2"
  [ -n "$com2_was" ] && ln -s "$com2_was" "$com2"
  return 0
}
trap 'restore_file; restore_com2; rm -rf "$work" "$saved"' EXIT
cp -r "$folder"/. "$work"/
cd "$work"
while [ $# -gt 0 ]; do
  case $1 in
    --truncate) truncate -s "-$3" "$2"; shift 3 ;;
    --remove) rm -f "$2"; shift 2 ;;
    --damage) "$2" "$program" "$program.damaged" "$3" && mv "$program.damaged" "$program" ||
                { echo "FAIL: no damage $3 made"; exit 1; }
              shift 3 ;;
    --file) file=$2; [ -e "$file" ] && cp "$file" "$saved/file"
            # shellcheck disable=SC2059
            printf "$3" > "$file"; shift 3 ;;
    --arg) args=("$2"); shift 2 ;;
    --cable) cable=("$2" "$3" "$4"); shift 4 ;;
    --scenario) scenario=$2; shift 2 ;;
    --trace) expected_trace=$2; shift 2 ;;
    *) break ;;
  esac
done
message=${1:-}

drive() { "$wine_run" "$driver" "$@"; }
screenshot() { import -window root "$folder.png"; return 0; }
fail() {
  echo "FAIL: $*"
  [ -f trace.log ] && { echo "--- trace so far"; tr '\r' '\n' < trace.log; }
  [ -f sim.log ] && { echo "--- simulator"; cat sim.log; }
  [ -n "$pid" ] && kill "$pid" 2>/dev/null
  exit 1
}
# wait_sim: the simulator's script ends and passes.
wait_sim() { wait "$sim" || fail "the handheld's script failed"; sim=; }
# wait_trace LINE: waits up to 10 s until trace.log holds LINE, so a step
# that posts or clicks can be known handled before the next one.
wait_trace() {
  for _ in $(seq 100); do
    [ -f trace.log ] && tr '\r' '\n' < trace.log | grep -qxF "$1" && return 0
    sleep 0.1
  done
  fail "no '$1' in the trace"
}

if [ ${#cable[@]} -gt 0 ]; then
  com2_was=$(readlink "${cable[2]}/dosdevices/com2")
  com2=${cable[2]}/dosdevices/com2
  "${cable[0]}" --pty "$work/cable" --script "${cable[1]}" > sim.log 2>&1 &
  sim=$!
  for _ in $(seq 50); do [ -e "$work/cable" ] && break; sleep 0.1; done
  [ -e "$work/cable" ] || fail "the simulator made no cable"
  mkdir -p "$(dirname "$com2")"
  ln -sfn "$(readlink -f "$work/cable")" "$com2"
fi
"$wine_run" "./$program" "${args[@]}" &
pid=$!
if [ -n "$message" ]; then
  shown=$(drive waittext '#32770' Message Static 60000) || fail "no message box"
  shown=${shown//$'\r'/'\r'}  # a line break in the text, written as the test names it
  echo "message: $shown"
  drive press '#32770' Message OK || fail "could not press OK"
  [ "$shown" = "$message" ] || fail "expected message: $message"
fi
# shellcheck source=/dev/null
[ -n "$scenario" ] && source "$scenario"

# The program must end by itself; a stray message box would keep it waiting.
for _ in $(seq 600); do
  kill -0 $pid 2>/dev/null || break
  sleep 0.1
done
if kill -0 $pid 2>/dev/null; then
  drive texts '#32770' '*' 2>/dev/null
  drive windows
  fail "the program did not end"
fi
wait $pid
status=$?
pid=
echo "exit status $status"
[ "$status" -eq "$expected" ] || fail "expected exit status $expected"
if [ -n "$expected_trace" ]; then
  [ -f trace.log ] || fail "no trace.log"
  tr '\r' '\n' < trace.log > trace.txt
  diff -u "$expected_trace" trace.txt || fail "trace.log differs"
fi
echo PASS
