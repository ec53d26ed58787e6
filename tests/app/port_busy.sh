# A serial port that cannot be opened: with AutoConnect the program says so
# and stays "Offline"; once the port is free, Connect (Ctrl+K) succeeds. The
# port is held by another program (port-holder.exe opens COM2 for exclusive
# use). Wine, unlike Windows, lets a second program open a held port, which a
# second port-holder --try shows: COM2 then points at a device that does not
# exist, which no program can open.
source "$LIB"
HOLDER_PID=
trap '[ -n "$HOLDER_PID" ] && kill "$HOLDER_PID" 2>/dev/null; cleanup' EXIT
HOLDER="$BUILD/tests/app/port-holder.exe"

prefs_file "AutoConnect = 1" "Port = 1" "ShowInputView = 1"
start_handheld 'expect go1 3600000'
"$WINE_RUN" "$HOLDER" COM2 > "$WORK/holder.log" 2>&1 &
HOLDER_PID=$!
wait_for "the other program to hold COM2" grep -q held "$WORK/holder.log"
if second=$("$WINE_RUN" "$HOLDER" --try COM2 | tr -d '\r'); then
  echo "COM2 held by another program opens once more ($second): the system shares serial ports;"
  echo "COM2 now points at a device that does not exist"
  kill "$HOLDER_PID"; wait "$HOLDER_PID" 2>/dev/null; HOLDER_PID=
  ln -sfn "$WORK/no-such-device" "$DEVICES/com2"
  free_port() { ln -sfn "$(readlink -f "$WORK/cable")" "$DEVICES/com2"; }
else
  echo "COM2 held by another program: $second"
  free_port() { kill "$HOLDER_PID"; wait "$HOLDER_PID" 2>/dev/null; HOLDER_PID=; }
fi

launch_app
message_box "The serial port could not be open. It may be in use by another application."
driver wait "$MAIN_CLASS" "$MAIN_TITLE" 30000 >/dev/null || fail "no main window"
wait_status "Offline"

free_port
keys_wait ctrl+k "Listening"
no_message_box
cable_say go1
wait_sim
quit_app
echo PASS
