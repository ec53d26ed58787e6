# Keeping the user's text and settings whatever happens: text received from
# the handheld is saved with no edit after it and survives a process
# killed then, and typed text survives a log-off that ends the process
# without closing a window. A save that cannot be made (a read-only file)
# leaves the old file byte for byte and names the file in one message; it is
# made once the file can be written again, and the program does not end with
# its text unsaved without the user's word.
source "$LIB"

# --- a frame arrives, then the process is killed
prefs_file "AutoConnect = 1" "Port = 1" "ShowInputView = 1"
start_connected 'expect go1 60000' 'send kept after a kill' 'expect go2 600000'
receive go1 "kept after a kill"
wait_value "the received text saved without an edit" "kept%20after%20a%20kill" pref_value InputView
kill_app
expect_eq "the saved text after a kill" "$(pref_value InputView)" "kept%20after%20a%20kill"
start_app
wait_writing "kept after a kill"

# --- log-off: the session ends and the process with it; the text changes
# between the question and the end, as a frame arriving then would change it
main_driver chars RICHEDIT "!" >/dev/null
wait_writing "kept after a kill!"
expect_eq "the answer to the log-off question" "$(main_driver endsession RICHEDIT "kept after a log-off" | tr -d '\r')" "1"
kill_app
expect_eq "the saved text after a log-off" "$(pref_value InputView)" "kept%20after%20a%20log-off"

# --- steady typing, a key every half second for 10 s (well within the
# autosave's 2 s), does not put the save off: the text is saved while it
# goes on. One driver types them all, so its pace holds on a loaded machine.
start_app
wait_writing "kept after a log-off"
main_driver chars RICHEDIT abcdefghijklmnopqrst 500 >/dev/null &
typist=$!
saved_while_typing() {
  kill -0 "$typist" 2>/dev/null && [[ $(pref_value InputView) == kept%20after%20a%20log-off?* ]]
}
wait_for "a save while the typing goes on" saved_while_typing
wait "$typist"
kill_app

# --- a file that cannot be saved over: told once, the program goes on
# receiving while the message is up, and the text is saved, without another
# edit, as soon as the file can be written again
pull_cable
prefs_file "AutoConnect = 1" "Port = 1" "ShowInputView = 1" "X = 30" "Y = 70" "InputView = old%20text"
chmod 444 "$PREFS"
before=$(md5sum < "$PREFS")
start_connected 'expect go1 60000' 'send !' "$HOLD"
wait_writing "old text"
main_driver chars RICHEDIT " and new" >/dev/null
save_message=$(message_text)
[[ $save_message == "The preferences could not be saved to C:\\windows\\Vellory Prefs: "?*. ]] \
  || fail "the message about the failed save: '$save_message'"
receive go1 "old text and new!"
message_ok
# the autosave tries again every two seconds while the file stays read-only,
# and says nothing more
no_message_box 5000
expect_eq "the read-only file" "$(md5sum < "$PREFS")" "$before"
chmod 644 "$PREFS"
wait_value "the text saved once the file can be written" "old%20text%20and%20new!" pref_value InputView

# --- Close while the save fails: a question; Cancel keeps the program up,
# Try Again once the file can be written saves and ends it
chmod 444 "$PREFS"
main_driver chars RICHEDIT "?" >/dev/null
message_matching 'The preferences could not be saved to *' # told again after a success
close_to_question() {
  main_driver close >/dev/null
  local question
  question=$(message_text)
  [[ $question == "The preferences could not be saved to C:\\windows\\Vellory Prefs: "* && $question == *"

Try again, save the text of the Writing Window to another file, or quit without saving it?" ]] \
    || fail "the question on closing: '$question'"
}
close_to_question
driver press '#32770' Message Cancel >/dev/null || fail "no Cancel button"
driver waitgone '#32770' Message 10000 >/dev/null || fail "the question stayed"
main_driver wait 5000 >/dev/null || fail "Cancel let the program end"
close_to_question
chmod 644 "$PREFS"
driver press '#32770' Message "Try Again" >/dev/null || fail "no Try Again button"
app_ends 150 "the program did not end once its text was saved"
expect_pref InputView "old%20text%20and%20new!?"

# --- the text kept in a file of the user's choosing instead
chmod 444 "$PREFS"
before=$(md5sum < "$PREFS")
start_app
main_driver chars RICHEDIT " kept" >/dev/null
message_text >/dev/null
message_ok
close_to_question
driver press '#32770' Message "Save Text As..." >/dev/null || fail "no Save Text As button"
driver wait '#32770' "Save As" 10000 >/dev/null || fail "no save dialog"
driver settext '#32770' "Save As" Edit#0 "Z:${WORK//\//\\}\\kept.txt" || fail "no file name field"
driver press '#32770' "Save As" Save >/dev/null || fail "no Save button"
app_ends 150 "the program did not end once its text was kept elsewhere"
expect_eq "the text kept elsewhere" "$(tr -d '\r' < "$WORK/kept.txt")" "old text and new!? kept"
expect_eq "the read-only file" "$(md5sum < "$PREFS")" "$before"
chmod 644 "$PREFS"
echo PASS
