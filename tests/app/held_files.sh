# Files another program holds (a backup, an indexer), and files that cannot
# be read: each preference file below is waited for, left alone, or kept
# aside, and never saved over or taken for an empty one; a text file is
# named in a message, and a send cut short says how much went.
source "$LIB"
HOLDER="$BUILD/tests/app/file-holder.exe"
WINDOWS_PREFS='C:\windows\Vellory Prefs'

# hold MS PATH: another program holds the file until MS have passed (a
# hold that must outlast the program's own steps stretches by SCALE; one
# shorter than the program's 2 s wait must not).
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
hold $((20000 * SCALE)) "$WINDOWS_PREFS"
start_app 'The preferences in C:\\windows\\Vellory Prefs could not be read (?*), so the program starts with the standard settings. The file is left as it is, and nothing will be saved over it.'
let_go
main_driver chars RICHEDIT "typed" >/dev/null
message_box "The preferences could not be saved to C:\\windows\\Vellory Prefs: it could not be read when the program started, so nothing is saved over it."
main_driver close >/dev/null
message_text >/dev/null
driver press '#32770' Message "Quit Without Saving" >/dev/null || fail "no Quit Without Saving button"
app_ends 150 "the program did not end without saving"
expect_eq "the held file" "$(md5sum < "$PREFS")" "$before"
[ -e "$PREFS.unreadable" ] && fail "the held file was moved aside"

# --- a file that cannot be read (a folder of that name), with an earlier
# one kept aside already: kept aside beside it, and a new file written
rm -f "$PREFS"
mkdir "$PREFS"
echo "older text" > "$PREFS.unreadable"
start_app 'The preferences in C:\\windows\\Vellory Prefs could not be read*kept as C:\\windows\\Vellory Prefs.unreadable 2.'
main_driver chars RICHEDIT "fresh" >/dev/null
wait_writing "fresh"
quit_app
[ -d "$PREFS.unreadable 2" ] || fail "the unreadable file was not kept aside"
expect_eq "the earlier unreadable file" "$(cat "$PREFS.unreadable")" "older text"
expect_eq "the new file's text" "$(pref_value InputView)" "fresh"

# --- a file whose reading fails: the program on its defaults, the file
# never saved over (this one cannot even be moved aside: the save on
# closing fails, and says so)
rm -rf "$PREFS" "$PREFS".unreadable*
ln -s /proc/self/mem "$PREFS"
start_app 'The preferences in C:\\windows\\Vellory Prefs could not be read (?*), so the program starts with the standard settings. *'
main_driver close >/dev/null
message_matching 'The preferences could not be saved to C:\\windows\\Vellory Prefs: ?*'
app_ends 150 "the program did not end"
[ -L "$PREFS" ] || fail "the file that could not be read was saved over"

# --- a file whose reading fails after its first kilobyte (as a network drive
# that goes away): nothing read before the failure is taken for a setting
rm -f "$PREFS"
{ printf 'ShowInputView = 1\r\nInputView = partial%%20text\r\n'
  for i in $(seq 40); do printf 'Pad%d = %040d\r\n' "$i" 0; done; } > "$PREFS"
export LD_PRELOAD="$BUILD/tests/app/read-fail/\$PLATFORM/read-fail.so" \
  VELLORY_READ_FAIL_PATH="$(realpath "$PREFS")" VELLORY_READ_FAIL_AT=1024
start_app 'The preferences in C:\\windows\\Vellory Prefs could not be read (?*), so the program starts with the standard settings. *'
unset LD_PRELOAD VELLORY_READ_FAIL_PATH VELLORY_READ_FAIL_AT
expect_eq "the Writing Window after a failed read" "$(writing_window)" ""
quit_app

# --- a text file held while it is sent: named in a message, nothing sent
rm -rf "$PREFS"
prefs_file "AutoConnect = 1" "Port = 1" "ShowInputView = 1"
start_connected "$HOLD"
printf 'one\r\ntwo\r\n' > "$WORK/held.txt"
hold $((15000 * SCALE)) "Z:$WORK/held.txt"
send_file held.txt
message_matching 'The file Z:*held.txt could not be opened: ?*'
expect_eq "the status after a file that could not be opened" "$(status_text)" "Listening"

# --- a text file whose reading fails while it is sent
ln -s /proc/self/mem "$WORK/unreadable.txt"
send_file unreadable.txt
message_matching 'The file Z:*unreadable.txt could not be read to its end: ?*'
expect_stopped "the status after the failed read" '[0-9]*' 0
quit_app
let_go
echo PASS
