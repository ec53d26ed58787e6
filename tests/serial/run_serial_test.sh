#!/bin/bash
# Runs the serial-line unit tests over a virtual cable: socat joins two
# pseudo-terminals, and the Wine prefix's COM3 (and COM12) and COM4 are
# pointed at the two ends for the run (restored afterwards). While the tests
# run, this script answers their requests for what only the host can do:
# report the pseudo-terminal's own settings, stop and continue the cable's
# process, pull the cable and plug it in again.
# Usage: run_serial_test.sh WINE_RUN TEST_EXE PREFIX
set -u
wine_run=$1 exe=$2 prefix=$3
dir=$(mktemp -d)
devices="$prefix/dosdevices"
saved3=$(readlink "$devices/com3" 2>/dev/null || true)
saved4=$(readlink "$devices/com4" 2>/dev/null || true)
saved12=$(readlink "$devices/com12" 2>/dev/null || true)
cable=
restore() {
  [ -n "$cable" ] && kill "$cable" 2>/dev/null
  [ -n "${helper:-}" ] && kill "$helper" 2>/dev/null
  rm -f "$devices/com3" "$devices/com4" "$devices/com12"
  [ -n "$saved3" ] && ln -s "$saved3" "$devices/com3"
  [ -n "$saved4" ] && ln -s "$saved4" "$devices/com4"
  [ -n "$saved12" ] && ln -s "$saved12" "$devices/com12"
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

answer() { echo -n "$2" > "$dir/$1.tmp"; mv "$dir/$1.tmp" "$dir/$1.answer"; }

# Answers requests until the tests end. A cable it plugs in again is its
# own to remove.
serve() {
  trap 'kill "$cable" 2>/dev/null; exit 0' TERM
  while true; do
    if [ -e "$dir/stty.request" ]; then
      rm -f "$dir/stty.request"
      stty -a -F "$(readlink -f "$devices/com3")" > "$dir/stty.tmp" 2>&1
      mv "$dir/stty.tmp" "$dir/stty.answer"
    fi
    if [ -e "$dir/unplug.request" ]; then
      rm -f "$dir/unplug.request"
      kill "$cable" 2>/dev/null; wait "$cable" 2>/dev/null
      echo -n unplugged > "$dir/unplug.tmp"; mv "$dir/unplug.tmp" "$dir/unplug.answer"
    fi
    if [ -e "$dir/stop.request" ]; then
      rm -f "$dir/stop.request"
      kill -STOP "$cable"
      answer stop stopped
    fi
    if [ -e "$dir/cont.request" ]; then
      rm -f "$dir/cont.request"
      kill -CONT "$cable"
      answer cont continued
    fi
    if [ -e "$dir/plug.request" ]; then
      rm -f "$dir/plug.request"
      plug
      echo -n plugged > "$dir/plug.tmp"; mv "$dir/plug.tmp" "$dir/plug.answer"
    fi
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
