# One copy at a time: a second start, while the first copy is connected and
# minimised, brings the first copy's main window to the front, restored, and
# ends at once without touching the preference file; the first copy goes on
# receiving, and its text is what the file holds once it closes.
source "$LIB"
prefs_file "AutoConnect = 1" "Port = 1" "ShowInputView = 1"
start_connected 'expect go1 60000' 'send first' 'expect go2 60000' 'send second' "$HOLD"
receive go1 "first"
main_driver minimize >/dev/null || fail "minimize"
# The first copy saves its text and its window's state within two seconds.
settled() { [ "$(pref_value InputView)" = first ] && [ $(($(date +%s) - $(stat -c %Y "$PREFS"))) -ge 3 ]; }
wait_for "the first copy's save" settled
before=$(md5sum < "$PREFS")

(cd "$WORK" && exec timeout 120 "$WINE_RUN" ./vellory-server.exe) >/dev/null 2>&1
expect_eq "the second start's exit status" "$?" 0
main_driver waitactive 10000 >/dev/null || fail "the first copy's window did not come to the front"
style=$(window_field "$MAIN_TITLE" 6)
(( (style & 0x20000000) == 0 )) || fail "the first copy's window stayed minimised ($style)"
expect_eq "the preference file after the second start" "$(md5sum < "$PREFS")" "$before"

receive go2 "firstsecond"
quit_app
expect_prefs "InputView=firstsecond"
echo PASS
