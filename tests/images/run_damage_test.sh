#!/usr/bin/env bash
# The real program damaged at COUNT places (damage-image --nth), each copy run
# by the UI driver's "run", which answers its "Message" box and closes its
# windows (only its own: JOBS copies run at a time). Each must end within 10 s
# (times VELLORY_TIME_SCALE) with status 0 (harmless) or 1 after the box;
# never crash or hang. The preference file the program may write is put back.
# run_damage_test.sh WINE_RUN UI_DRIVER DAMAGE_IMAGE PROGRAM PREFIX COUNT JOBS
set -u
export wine_run=$1 driver=$2 damage=$3 program=$4
prefix=$5 count=$6 jobs=$7
export limit=$((10000 * ${VELLORY_TIME_SCALE:-1}))
export work
work=$(mktemp -d)
prefs="$prefix/drive_c/windows/Vellory Prefs"
saved=
if [ -e "$prefs" ]; then saved="$work/saved-prefs"; cp "$prefs" "$saved"; fi
cleanup() {
  rm -f "$prefs"
  [ -n "$saved" ] && cp "$saved" "$prefs"
  rm -rf "$work"
}
trap cleanup EXIT

# one N: damages copy N, runs it and prints "N|outcome|damage|what was shown".
one() {
  local n=$1 dir="$work/$1" what out status shown
  mkdir -p "$dir"
  what=$("$damage" "$program" "$dir/damaged.exe" --nth "$n") || { echo "$n|failed|no damage made|"; return; }
  out=$("$wine_run" "$driver" run "Z:${dir//\//\\}\\damaged.exe" ZBWindow "$limit" | tr -d '\r')
  status=$(sed -n 's/^exit //p' <<< "$out")
  shown=$(sed -n 's/^message: //p' <<< "$out" | head -1)
  rm -rf "$dir"
  if [ "$status" = 0 ]; then echo "$n|harmless|$what|$shown"
  elif [ "$status" = 1 ] && [ -n "$shown" ]; then echo "$n|refused|$what|$shown"
  elif grep -qx hang <<< "$out"; then echo "$n|failed: did not end within $((limit / 1000)) s|$what|$shown"
  else echo "$n|failed: ${status:-no status}${shown:+ after the message}|$what|$shown"
  fi
}
export -f one

seq 0 $((count - 1)) | xargs -P "$jobs" -I{} bash -c 'one {}' | sort -n -t'|' -k1 > "$work/results"
harmless=$(grep -c '|harmless|' "$work/results")
refused=$(grep -c '|refused|' "$work/results")
echo "$count damages: $harmless harmless (exit 0), $refused refused with the message (exit 1)," \
  "$((count - harmless - refused)) failed"
grep '|failed' "$work/results"
[ "$((harmless + refused))" -eq "$count" ] || { echo FAIL; exit 1; }
echo PASS
