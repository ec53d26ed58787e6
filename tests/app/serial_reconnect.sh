# A line that ends without the user, with AutoConnect on: the cable pulled
# out and plugged back at the same place, with and without a Disconnect of
# the user's own, and with AutoConnect turned off while offline; then a
# handheld that stops taking data, which makes a text file fail at its first
# refused line with one message, the status line saying how much went out.
source "$LIB"
SIM_STOPPED=
trap '[ -n "$SIM_STOPPED" ] && kill -CONT "$SIM_STOPPED" 2>/dev/null; cleanup' EXIT

# status_within TEXT MS WHAT: waits for the status line to read TEXT and
# fails when that took more than MS (times SCALE, on a slow machine) since
# the call. The UI driver's own start counts in the figure printed; bench
# has exact ones.
status_within() {
  local start took limit=$(($2 * SCALE))
  start=$(date +%s%N)
  wait_status "$1"
  took=$((($(date +%s%N) - start) / 1000000))
  echo "$3 to $1: about $took ms"
  [ "$took" -le "$limit" ] || fail "$1 came $took ms after $3"
}

prefs_file "AutoConnect = 1" "Port = 1" "Baud = 13" "ShowInputView = 1"
plug_cable 'expect go1 60000' 'send one' "$HOLD"
start_app
wait_status "Listening"
receive go1 "one"

# --- pulled: Offline at once, what came before kept
pull_cable
status_within "Offline" 3000 "the pulled cable"
no_message_box
expect_eq "Writing Window after the pull" "$(writing_window)" "one"
menu_snapshot
expect_menu FileConnect 3 "&Connect"

# --- plugged back at the same place: Listening by itself, frames arrive
plug_cable 'expect go2 60000' 'send two' "$HOLD"
status_within "Listening" 5000 "the cable back"
no_message_box
receive go2 "onetwo"

# --- the user's own Disconnect is never undone
keys_wait ctrl+k "Offline"
pull_cable
plug_cable "$HOLD"
# Two reconnect periods and more (the program's own 2 s timer), stretched
# with the machine: nothing may happen. There is no event to wait for when
# nothing is to happen, so this is a window of time, not a wait.
sleep $((5 * SCALE))
expect_eq "status after the user's Disconnect" "$(status_text)" "Offline"

# --- pulled, then AutoConnect turned off while offline: the tries stop
keys_wait ctrl+k "Listening"
pull_cable
wait_status "Offline"
open_prefs
driver press ZBWindow "$PREFS_TITLE" "Connect on startup" >/dev/null || fail "no AutoConnect box"
wait_value "AutoConnect unticked" 0 control_value "$PREFS_TITLE" Button#2
close_prefs_with Save
expect_pref AutoConnect 0
plug_cable "$HOLD"
sleep $((5 * SCALE))  # as above
expect_eq "status with AutoConnect turned off" "$(status_text)" "Offline"

# --- a handheld that takes no more data: a text file of three lines, each
# far longer than the cable holds unread, is refused with one message at
# its first line, and the lines left are not tried (each would wait its own
# 2 s and say so again). (A refused Writing Window: send_pieces.sh.)
keys_wait ctrl+k "Listening"
kill -STOP "$SIM_PID"
SIM_STOPPED=$SIM_PID
for _ in 1 2 3; do head -c 100000 /dev/zero | tr '\0' 'y'; printf '\r\n'; done > "$WORK/long-lines.txt"
mark_tally
send_file long-lines.txt
message_box "$NOT_ACCEPTING"
sleep 5  # longer than two more lines' time limits: no second message may come
no_message_box
expect_stopped "status after the refused file" 300006
kill -CONT "$SIM_PID"
SIM_STOPPED=
quit_app
echo PASS
