#!/usr/bin/env bash
# The real program damaged at COUNT places (damage-image --nth, the seeded
# sequence SEED), each copy run by the UI driver's "run", which answers its
# "Message" boxes and closes its windows (only its own: JOBS copies run at a
# time). Each must end within 10 s (times VELLORY_TIME_SCALE; a copy that
# fails is given a second run, with three times as long) in one of two ways:
# status 0 after its main window appeared and was closed, with no message;
# or status 1 after exactly one message, and that one naming the damage.
# Never a crash, a hang or a second box. The preference file the program may
# write is put back.
# run_damage_test.sh UI_DRIVER DAMAGE_IMAGE PROGRAM PREFIX COUNT JOBS [SEED]
set -u
export driver=$1 damage=$2 program=$3
prefix=$4 count=$5 jobs=$6
export seed=${7:-1}
export limit=$((10000 * ${VELLORY_TIME_SCALE:-1}))
export work
work=$(mktemp -d)
prefs="$prefix/drive_c/windows/Vellory Prefs"
saved=
if [ -e "$prefs" ]; then saved="$work/saved-prefs"; cp "$prefs" "$saved"; fi
cleanup() {
  for slot in $(seq 0 $((jobs - 1))); do WINEPREFIX="$work/prefix-$slot" wineserver -k 2>/dev/null; done
  rm -f "$prefs"
  [ -n "$saved" ] && cp "$saved" "$prefs"
  rm -rf "$work"
}
trap cleanup EXIT

# The program lets one copy run in a session (a later one hands over to it
# and ends at once), so each of the JOBS slots runs its copies under a
# wineserver of its own: a prefix of its own that shares the drive.
for slot in $(seq 0 $((jobs - 1))); do
  mkdir "$work/prefix-$slot"
  for f in "$prefix"/.update-timestamp "$prefix"/*.reg "$prefix"/dosdevices; do cp -a "$f" "$work/prefix-$slot/"; done
  ln -s "$prefix/drive_c" "$work/prefix-$slot/drive_c"
done

# attempt N LIMIT: runs copy N (made already) for at most LIMIT ms and prints
# "N|outcome|damage|what was shown".
attempt() {
  local n=$1 dir="$work/$1" out status shown what
  out=$(WINEPREFIX="$work/prefix-$((n % jobs))" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" \
        wine "$driver" run "Z:${dir//\//\\}\\damaged.exe" ZBWindow "$2" | tr -d '\r')
  status=$(sed -n 's/^exit //p' <<< "$out")
  shown=$(sed -n 's/^message: //p' <<< "$out" | head -1)
  boxes=$(grep -c '^message: ' <<< "$out")
  what=$(< "$dir/what")
  if grep -qx hang <<< "$out"; then echo "$n|failed: did not end within $(($2 / 1000)) s|$what|$shown"
  elif [ "$boxes" -gt 1 ]; then echo "$n|failed: $boxes message boxes|$what|$shown"
  elif [ "$status" = 0 ] && [ "$boxes" = 0 ] && grep -q '^closing: ' <<< "$out"; then
    echo "$n|harmless|$what|"
  elif [ "$status" = 1 ] && names_damage "$shown"; then echo "$n|refused|$what|$shown"
  else echo "$n|failed: ${status:-no status}${shown:+ after a message}|$what|$shown"
  fi
}
# names_damage TEXT: whether TEXT is one of the messages that say the
# program file is damaged or its image cannot be loaded.
names_damage() {
  [[ $1 == "The application image could not be read: "* || $1 == "The application could not be loaded because "* ]]
}
# one N: damages copy N and runs it in its slot (copies of one slot take
# turns). A copy that fails is run once more, with three times as long and
# no other second run beside it: a machine busy with other work makes a
# start slow once, a hang or a crash happens again.
one() {
  local n=$1 dir="$work/$1" result
  mkdir -p "$dir"
  "$damage" "$program" "$dir/damaged.exe" --nth "$n" "$seed" > "$dir/what" || { echo "$n|failed|no damage made|"; return; }
  result=$(flock "$work/slot-$((n % jobs))" bash -c 'attempt "$1" "$2"' _ "$n" "$limit")
  if [[ $result == "$n|failed"* ]]; then
    result=$(flock "$work/alone" flock "$work/slot-$((n % jobs))" bash -c 'attempt "$1" "$2"' _ "$n" $((limit * 3)))
    [[ $result == "$n|failed"* ]] || echo "copy $n failed once, then passed: $result" >&2
  fi
  echo "$result"
  rm -rf "$dir"
}
export -f attempt one names_damage
export jobs

seq 0 $((count - 1)) | xargs -P "$jobs" -I{} bash -c 'one {}' | sort -n -t'|' -k1 > "$work/results"
harmless=$(grep -c '|harmless|' "$work/results")
refused=$(grep -c '|refused|' "$work/results")
echo "$count damages (seed $seed): $harmless harmless (exit 0), $refused refused with the message (exit 1)," \
  "$((count - harmless - refused)) failed"
# By part of the image: harmless, refused, failed.
awk -F'|' '{ split($3, p, ":"); part = $3 ~ /^cut/ ? "cut" : p[1]; n[part]++;
             if ($2 == "harmless") h[part]++; else if ($2 == "refused") r[part]++; else f[part]++ }
           END { for (k in n) printf "  %-20s %3d: %3d harmless, %3d refused, %3d failed\n", k, n[k], h[k], r[k], f[k] }' \
  "$work/results" | sort
grep '|failed' "$work/results"
[ "$((harmless + refused))" -eq "$count" ] || { echo FAIL; exit 1; }
echo PASS
