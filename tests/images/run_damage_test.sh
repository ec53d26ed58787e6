#!/usr/bin/env bash
# The real program damaged at COUNT places (damage-image --nth), each copy run
# by the UI driver's "run", which answers its "Message" box and closes its
# windows (only its own: JOBS copies run at a time). Each must end within 10 s
# (times VELLORY_TIME_SCALE; a copy that fails is given a second run, with
# three times as long) with status 0 (harmless) or 1 after the box; never
# crash or hang. The preference file the program may write is put back.
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

# attempt N LIMIT: runs copy N (made already) for at most LIMIT ms and prints
# "N|outcome|damage|what was shown".
attempt() {
  local n=$1 dir="$work/$1" out status shown what
  out=$("$wine_run" "$driver" run "Z:${dir//\//\\}\\damaged.exe" ZBWindow "$2" | tr -d '\r')
  status=$(sed -n 's/^exit //p' <<< "$out")
  shown=$(sed -n 's/^message: //p' <<< "$out" | head -1)
  what=$(< "$dir/what")
  if [ "$status" = 0 ]; then echo "$n|harmless|$what|$shown"
  elif [ "$status" = 1 ] && [ -n "$shown" ]; then echo "$n|refused|$what|$shown"
  elif grep -qx hang <<< "$out"; then echo "$n|failed: did not end within $(($2 / 1000)) s|$what|$shown"
  else echo "$n|failed: ${status:-no status}${shown:+ after the message}|$what|$shown"
  fi
}
# one N: damages copy N and runs it. A copy that fails is run once more,
# with three times as long and no other second run beside it: a machine
# busy with other work makes a start slow once, a hang or a crash happens
# again.
one() {
  local n=$1 dir="$work/$1" result
  mkdir -p "$dir"
  "$damage" "$program" "$dir/damaged.exe" --nth "$n" > "$dir/what" || { echo "$n|failed|no damage made|"; return; }
  result=$(attempt "$n" "$limit")
  if [[ $result == "$n|failed"* ]]; then
    result=$(flock "$work/alone" bash -c 'attempt "$1" "$2"' _ "$n" $((limit * 3)))
    [[ $result == "$n|failed"* ]] || echo "copy $n failed once, then passed: $result" >&2
  fi
  echo "$result"
  rm -rf "$dir"
}
export -f attempt one

seq 0 $((count - 1)) | xargs -P "$jobs" -I{} bash -c 'one {}' | sort -n -t'|' -k1 > "$work/results"
harmless=$(grep -c '|harmless|' "$work/results")
refused=$(grep -c '|refused|' "$work/results")
echo "$count damages: $harmless harmless (exit 0), $refused refused with the message (exit 1)," \
  "$((count - harmless - refused)) failed"
grep '|failed' "$work/results"
[ "$((harmless + refused))" -eq "$count" ] || { echo FAIL; exit 1; }
echo PASS
