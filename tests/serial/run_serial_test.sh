#!/bin/bash
# Runs the serial-line unit tests over a virtual cable: socat joins two
# pseudo-terminals, and the Wine prefix's COM3 (and COM12) and COM4 are
# pointed at the two ends for the run (restored afterwards). While the tests
# run, this script answers their requests for what only the host can do:
# report the pseudo-terminal's own settings, pull the cable and plug it in
# again.
# Usage: run_serial_test.sh WINE_RUN TEST_EXE PREFIX
set -u
wine_run=$1 exe=$2 prefix=$3
dir=$(mktemp -d)
devices="$prefix/dosdevices"
declare -A saved
for port in com3 com4 com12; do saved[$port]=$(readlink "$devices/$port" 2>/dev/null || true); done
cable=
restore() {
  [ -n "$cable" ] && kill "$cable" 2>/dev/null
  [ -n "${helper:-}" ] && kill "$helper" 2>/dev/null
  for port in com3 com4 com12; do
    rm -f "$devices/$port"
    [ -n "${saved[$port]}" ] && ln -s "${saved[$port]}" "$devices/$port"
  done
  rm -rf "$dir"
}
trap restore EXIT

plug() {
  rm -f "$dir/a" "$dir/b"
  socat pty,raw,echo=0,link="$dir/a" pty,raw,echo=0,link="$dir/b" > /dev/null 2>&1 &
  cable=$!
  for i in $(seq 50); do [ -e "$dir/a" ] && [ -e "$dir/b" ] && break; sleep 0.1; done
  [ -e "$dir/a" ] || { echo "socat made no cable"; exit 1; }
  mkdir -p "$devices"
  ln -sfn "$(readlink -f "$dir/a")" "$devices/com3"
  ln -sfn "$(readlink -f "$dir/b")" "$devices/com4"
  ln -sfn "$(readlink -f "$dir/a")" "$devices/com12"
}

# Answers requests until the tests end: NAME.request in, NAME.answer out
# whole. A cable it plugs in again is its own to remove.
serve() {
  trap 'kill "$cable" 2>/dev/null; exit 0' TERM
  while true; do
    for r in stty unplug plug; do
      [ -e "$dir/$r.request" ] || continue
      rm -f "$dir/$r.request"
      case $r in
        stty) stty -a -F "$(readlink -f "$devices/com3")" 2>&1 ;;
        unplug) kill "$cable"; wait "$cable"; echo -n unplugged ;;
        plug) plug; echo -n plugged ;;
      esac > "$dir/$r.tmp" 2>/dev/null
      mv "$dir/$r.tmp" "$dir/$r.answer"
    done
    sleep 0.05
  done
}

plug
serve > /dev/null 2>&1 &
helper=$!
windir=$(WINEPREFIX=$prefix winepath -w "$dir" 2>/dev/null)
VELLORY_SERIAL_PAIR="$windir" WINEDEBUG=-all "$wine_run" "$exe" --gtest_filter='SerialLine*:SerialSettings*' 2>&1 | tee "$dir/out"
grep -q "SKIPPED" "$dir/out" && { echo "serial tests were skipped although a cable was there"; exit 1; }
grep -q "^\[  PASSED  \]" "$dir/out" && ! grep -q "FAILED" "$dir/out"
