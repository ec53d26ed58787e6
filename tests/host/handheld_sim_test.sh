#!/bin/bash
# The simulator end to end on a pseudo-terminal cable, this script playing
# the desktop; then a failing expectation must fail.
set -u
sim=$1
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
cat > "$dir/good" <<'SCRIPT'
send-chunked 3 20 hello
expect ok\r\n 3000
SCRIPT
"$sim" --pty "$dir/cable" --script "$dir/good" > "$dir/log" 2>&1 &
pid=$!
for i in $(seq 50); do [ -e "$dir/cable" ] && break; sleep 0.1; done
exec 3<>"$dir/cable"
stty -F "$dir/cable" raw -echo
frame=$(timeout 5 head -c 7 <&3 | od -An -c | tr -s ' ')
printf 'ok\r\n' >&3
wait $pid; status=$?
exec 3>&-
[ "$frame" = " 002 h e l l o 003" ] || { echo "desktop side read: $frame"; cat "$dir/log"; exit 1; }
[ $status -eq 0 ] || { echo "simulator failed:"; cat "$dir/log"; exit 1; }
[ ! -e "$dir/cable" ] || { echo "the cable link was left behind"; exit 1; }

printf 'expect nope 300\n' > "$dir/bad"
"$sim" --pty "$dir/cable2" --script "$dir/bad" > "$dir/log2" 2>&1
status=$?
[ $status -eq 1 ] || { echo "a failed expectation gave status $status"; cat "$dir/log2"; exit 1; }
grep -q 'line 1: expected "nope", got ""' "$dir/log2" || { cat "$dir/log2"; exit 1; }
echo "handheld simulator: ok"
