# Sending never freezes the window: a long Writing Window goes out in
# pieces while the window keeps answering (probed 8 times within 250 ms
# each) though the handheld reads only a little now and then; once the
# handheld stops reading, the send ends after its time limit with the one
# message and the status back. A second slow send is stopped with Escape:
# the status line says how much went out, and no message follows.
source "$LIB"
prefs_file "AutoConnect = 1" "Port = 1" "ShowInputView = 1"
# The handheld reads 8,000 bytes every 1.5 s (a send waits 2 s for a line
# that takes nothing; and a pseudo-terminal lets the writer on only once its
# reader has emptied its 4 KB buffer): for about 15 s, long enough to be
# watched on any machine; then nothing for 3 s, which refuses the first
# send; then slowly again for the second.
slowly() { for _ in $(seq "$1"); do echo 'wait 1500'; echo 'take 8000 600000'; done; }
{
  echo 'take 8000 600000'
  slowly 10
  echo 'wait 3000'
  slowly 40
  echo "$HOLD"
} > "$WORK/handheld.script"
start_connected
# 252,500 bytes in 2,500 lines: far more than the cable holds unread (a
# pseudo-terminal takes about 100 KB).
python3 -c 'print(("0123456789" * 10 + "\r") * 2500, end="")' > "$WORK/long.txt"
writing_from long.txt

keys ctrl+shift+t
wait_status "Sending..."
main_driver answers 250 8 200 >/dev/null || fail "the window did not answer within 250 ms"
driver wait '#32770' Message 60000 >/dev/null || fail "the refused send gave no message"
message_box "$NOT_ACCEPTING"
wait_status "Listening"

keys ctrl+shift+t
wait_status "Sending..."
keys esc
not_sending() { [ "$(status_text)" != "Sending..." ]; }
wait_for "the status after Escape" not_sending
stopped=$(status_text)
[[ $stopped == "Stopped: "[0-9]*" of 25"[0-9][0-9][0-9][0-9]" bytes sent" ]] \
  || fail "the status after Escape: '$stopped'"
sleep 3
no_message_box
kill_app
echo PASS
