# Files that another program holds (a backup, an indexer, a virus checker),
# and files that cannot be read: a preference file held for a moment at
# start is waited for; one held for longer is left as it is and never saved
# over in that run, even once it is free again. A preference file whose
# reading fails (an I/O error: here a link to memory that is not there) is
# never taken for an empty one, nor saved over; one that cannot be read is
# kept aside under a name that no earlier such file has. A text file held,
# or whose reading fails, while it is sent is named in a message, and a send
# cut short says how much went.
source "$LIB"
HOLDER="$BUILD/tests/app/file-holder.exe"
HOLDER_PID=
WINDOWS_PREFS='C:\windows\Vellory Prefs'

# hold MS PATH: another program holds the file until MS have passed.
hold() {
  "$WINE_RUN" "$HOLDER" "$2" "$1" > "$WORK/holder.out" 2>&1 &
  HOLDER_PID=$!
  wait_for "the file to be held" grep -q holding "$WORK/holder.out"
}
let_go() { wait "$HOLDER_PID"; HOLDER_PID=; }

# --- held for a moment as the program starts: waited for
prefs_file "ShowInputView = 1" "InputView = held%20briefly"
hold 1000 "$WINDOWS_PREFS"
start_app
wait_writing "held briefly"
no_message_box
quit_app
let_go

# --- held for longer: left as it is, and not saved over, also once free
prefs_file "ShowInputView = 1" "InputView = held%20long"
before=$(md5sum < "$PREFS")
hold 20000 "$WINDOWS_PREFS"
start_past_message 'The preferences in C:\\windows\\Vellory Prefs could not be read (?*), so the program starts with the standard settings. The file is left as it is, and nothing will be saved over it.'
let_go
main_driver chars RICHEDIT "typed" >/dev/null
refused=$(message_text)
expect_eq "the refused save" "$refused" \
  "The preferences could not be saved to C:\\windows\\Vellory Prefs: it could not be read when the program started, so nothing is saved over it."
message_ok
main_driver close >/dev/null
message_text >/dev/null
driver press '#32770' Message "Quit Without Saving" >/dev/null || fail "no Quit Without Saving button"
app_ends 150 "the program did not end without saving"
expect_eq "the held file" "$(md5sum < "$PREFS")" "$before"
[ -e "$PREFS.unreadable" ] && fail "the held file was moved aside"

# --- a file that cannot be read, with an earlier one kept aside already
rm -f "$PREFS"
mkdir "$PREFS"
echo "older text" > "$PREFS.unreadable"
start_past_message '*The file was kept as C:\\windows\\Vellory Prefs.unreadable 2.'
quit_app
[ -d "$PREFS.unreadable 2" ] || fail "the unreadable file was not kept aside"
expect_eq "the earlier unreadable file" "$(cat "$PREFS.unreadable")" "older text"

# --- a file whose reading fails: the program on its defaults, the file
# never saved over (this one cannot even be moved aside: the save on
# closing fails, and says so)
rm -rf "$PREFS" "$PREFS".unreadable*
ln -s /proc/self/mem "$PREFS"
start_past_message 'The preferences in C:\\windows\\Vellory Prefs could not be read (?*), so the program starts with the standard settings. *'
main_driver close >/dev/null
closing=$(message_text)
[[ $closing == "The preferences could not be saved to C:\\windows\\Vellory Prefs: "?* ]] \
  || fail "the message on closing: '$closing'"
message_ok
app_ends 150 "the program did not end"
[ -L "$PREFS" ] || fail "the file that could not be read was saved over"

# --- a text file held while it is sent: named in a message, nothing sent
rm -rf "$PREFS"
prefs_file "AutoConnect = 1" "Port = 1" "ShowInputView = 1"
start_connected "$HOLD"
printf 'one\r\ntwo\r\n' > "$WORK/held.txt"
hold 15000 "Z:$WORK/held.txt"
send_file held.txt
held=$(message_text)
[[ $held == "The file Z:"*"held.txt could not be opened: "?* ]] || fail "the message about the held text file: '$held'"
message_ok
expect_eq "the status after a file that could not be opened" "$(status_text)" "Listening"

# --- a text file whose reading fails while it is sent
ln -s /proc/self/mem "$WORK/unreadable.txt"
send_file unreadable.txt
failed=$(message_text)
[[ $failed == "The file Z:"*"unreadable.txt could not be read to its end: "?* ]] \
  || fail "the message about the text file that could not be read: '$failed'"
message_ok
[[ $(status_text) == "Stopped: 0 of "[0-9]*" bytes sent" ]] || fail "the status after the failed read: '$(status_text)'"
quit_app
let_go
echo PASS
