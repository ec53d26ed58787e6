# Keeping the user's text and settings whatever happens: text received from
# the handheld survives a process killed 3 s later (saved within 2 s of
# arriving), and typed text survives a log-off that ends the process
# without closing a window. A preference file that cannot be read (here a
# folder of that name) is moved aside with a message, never overwritten. A
# save that cannot be made (a read-only file) leaves the old file byte for
# byte, names the file in one message, and is not told again.
source "$LIB"

# --- a frame arrives, then the process is killed
prefs_file "AutoConnect = 1" "Port = 1" "ShowInputView = 1"
start_connected 'expect go1 60000' 'send kept after a kill' 'expect go2 600000'
cable_say go1
wait_writing "kept after a kill"
sleep 3
kill_app
expect_eq "the saved text after a kill" "$(pref_value InputView)" "kept%20after%20a%20kill"
start_app
wait_writing "kept after a kill"

# --- log-off: the session ends and the process with it
main_driver chars RICHEDIT "!" >/dev/null
wait_writing "kept after a kill!"
expect_eq "the answer to the log-off question" "$(main_driver endsession | tr -d '\r')" "1"
kill_app
expect_eq "the saved text after a log-off" "$(pref_value InputView)" "kept%20after%20a%20kill!"

# --- a preference file that cannot be read
rm -f "$PREFS"
mkdir "$PREFS"
launch_app
read_message=$(message_text)
[[ $read_message == "The preferences in C:\\windows\\Vellory Prefs could not be read"*"kept as C:\\windows\\Vellory Prefs.unreadable." ]] \
  || fail "the message about the unreadable file: '$read_message'"
message_ok
driver wait "$MAIN_CLASS" "$MAIN_TITLE" 30000 >/dev/null || fail "no main window"
main_driver chars RICHEDIT "fresh" >/dev/null
wait_writing "fresh"
quit_app
[ -d "$PREFS.unreadable" ] || fail "the unreadable file was not kept aside"
expect_eq "the new file's text" "$(pref_value InputView)" "fresh"

# --- a file that cannot be saved over
rm -rf "$PREFS" "$PREFS.unreadable"
prefs_file "X = 30" "Y = 70" "InputView = old%20text"
chmod 444 "$PREFS"
before=$(md5sum < "$PREFS")
start_app
wait_writing "old text"
main_driver chars RICHEDIT " and new" >/dev/null
save_message=$(message_text)
[[ $save_message == "The preferences could not be saved to C:\\windows\\Vellory Prefs: "?*. ]] \
  || fail "the message about the failed save: '$save_message'"
message_ok
main_driver chars RICHEDIT "!" >/dev/null
wait_writing "old text and new!"
sleep 3
no_message_box
quit_app
expect_eq "the read-only file" "$(md5sum < "$PREFS")" "$before"
chmod 644 "$PREFS"
echo PASS
