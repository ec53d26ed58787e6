#!/bin/bash
# Runs serial-bench over a virtual cable: socat joins two pseudo-terminals and
# the build's Wine prefix points COM3 and COM4 at them for the run. Also
# prints the processor time of the process as Linux counts it.
# Usage: bench/run_serial_bench.sh BUILD_DIR
set -u
build=$(cd "$1" && pwd)
prefix=$build/wineprefix
dir=$(mktemp -d)
devices=$prefix/dosdevices
saved3=$(readlink "$devices/com3" 2>/dev/null || true)
saved4=$(readlink "$devices/com4" 2>/dev/null || true)
socat pty,raw,echo=0,link="$dir/a" pty,raw,echo=0,link="$dir/b" > /dev/null 2>&1 &
cable=$!
trap 'kill $cable 2>/dev/null; rm -f "$devices/com3" "$devices/com4"; [ -n "$saved3" ] && ln -s "$saved3" "$devices/com3"; [ -n "$saved4" ] && ln -s "$saved4" "$devices/com4"; rm -rf "$dir"' EXIT
for i in $(seq 50); do [ -e "$dir/b" ] && break; sleep 0.1; done
ln -sfn "$(readlink -f "$dir/a")" "$devices/com3"
ln -sfn "$(readlink -f "$dir/b")" "$devices/com4"
"$build/wine-run" "$build/bench/serial-bench.exe" &
runner=$!
# Linux's count of the process's processor time, sampled until it ends.
ticks=0
while kill -0 $runner 2>/dev/null; do
  pid=$(pgrep -f 'serial-bench.exe' | head -1)
  [ -n "$pid" ] && ticks=$(awk '{print $14+$15}' /proc/$pid/stat 2>/dev/null || echo "$ticks")
  sleep 0.5
done
wait $runner
status=$?
echo "processor time as Linux counts it: $((ticks * 1000 / $(getconf CLK_TCK))) ms"
exit $status
