#!/bin/sh
# Runs the serial-line unit tests over a virtual cable: socat joins two
# pseudo-terminals, and the Wine prefix's COM3 and COM4 are pointed at the
# two ends for the run (restored afterwards).
# Usage: run_serial_test.sh WINE_RUN TEST_EXE PREFIX
set -eu
wine_run=$1 exe=$2 prefix=$3
dir=$(mktemp -d)
socat pty,raw,echo=0,link="$dir/a" pty,raw,echo=0,link="$dir/b" &
cable=$!
devices="$prefix/dosdevices"
saved3=$(readlink "$devices/com3" 2>/dev/null || true)
saved4=$(readlink "$devices/com4" 2>/dev/null || true)
restore() {
  kill "$cable" 2>/dev/null || true
  rm -f "$devices/com3" "$devices/com4"
  [ -n "$saved3" ] && ln -s "$saved3" "$devices/com3"
  [ -n "$saved4" ] && ln -s "$saved4" "$devices/com4"
  rm -rf "$dir"
}
trap restore EXIT
for i in $(seq 50); do [ -e "$dir/a" ] && [ -e "$dir/b" ] && break; sleep 0.1; done
[ -e "$dir/a" ] || { echo "socat made no cable"; exit 1; }
mkdir -p "$devices"
ln -sfn "$(readlink -f "$dir/a")" "$devices/com3"
ln -sfn "$(readlink -f "$dir/b")" "$devices/com4"
VELLORY_SERIAL_PAIR=1 WINEDEBUG=-all "$wine_run" "$exe" --gtest_filter='SerialLine*:SerialSettings*' 2>&1 | tee "$dir/out"
grep -q "SKIPPED" "$dir/out" && { echo "serial tests were skipped although a cable was there"; exit 1; }
grep -q "^\[  PASSED  \]" "$dir/out" && ! grep -q "FAILED" "$dir/out"
