# Sending never freezes the window: a long Writing Window goes out in
# pieces while the window keeps answering (probed 8 times within 250 ms
# each) though the handheld holds the line (it reads nothing); the held send
# ends after its time limit with the one message and the status back. A
# second held send is stopped with Escape: the status line says how much
# went out, and no message follows.
source "$LIB"
prefs_file "AutoConnect = 1" "Port = 1" "ShowInputView = 1"
sim_script "$HOLD"
start_sim --script "$WORK/handheld.script"
start_app
wait_status "Listening"
# 101,000 bytes in 1,000 lines: far more than the cable holds unread.
main_driver settext RICHEDIT "$(python3 -c 'print(("0123456789" * 10 + "\r") * 1000, end="")')" \
  || fail "settext"

keys ctrl+shift+t
wait_status "Sending..."
for probe in $(seq 8); do
  main_driver answers 250 >/dev/null || fail "the window did not answer within 250 ms (probe $probe)"
  sleep 0.2
done
message_box "The handheld is not accepting data. Check the cable and the flow-control settings in Preferences."
wait_status "Listening"

keys ctrl+shift+t
wait_status "Sending..."
keys esc
not_sending() { [ "$(status_text)" != "Sending..." ]; }
wait_for "the status after Escape" not_sending
stopped=$(status_text)
echo "status after Escape: $stopped"
case "$stopped" in
  "Stopped: "[0-9]*" of 10"[0-9][0-9][0-9][0-9]" bytes sent") ;;
  *) fail "the status after Escape: '$stopped'" ;;
esac
sleep 3
no_message_box
kill_app
echo PASS
