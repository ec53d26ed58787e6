#!/usr/bin/env bash
# The end-to-end test's damaged copies of the real program, read by
# load-check under the sanitizers: no damage may make a reader leave its bytes.
# check_damaged_loads.sh DAMAGE_IMAGE LOAD_CHECK PROGRAM COUNT
set -u
damage=$1 check=$2 program=$3 count=$4
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for n in $(seq 0 $((count - 1))); do
  "$damage" "$program" "$work/$n.exe" --nth "$n" > /dev/null || { echo "FAIL: damage $n not made"; exit 1; }
done
"$check" "$work"/*.exe > "$work/results" || { cat "$work/results"; echo "FAIL: a reader failed"; exit 1; }
echo "$count damaged copies, by the first stage that refused them:"
cut -d'|' -f2 "$work/results" | sed 's/:.*//' | sort | uniq -c | sort -rn
[ "$(wc -l < "$work/results")" -eq "$count" ] || { echo "FAIL: not every copy was read"; exit 1; }
echo PASS
