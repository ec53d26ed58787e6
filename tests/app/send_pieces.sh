# Sending never freezes the window: a long Writing Window goes out in
# pieces while the window answers (8 probes, each within 250 ms) and a frame
# received meanwhile does not hide the send. A refused send says how much
# went out, and what the driver held never reaches the handheld: the next
# send comes after at most the 4 KB a pseudo-terminal holds itself. A send
# stopped with Escape, or by a pulled cable, says how much went out too;
# each count is held against what the handheld received.
source "$LIB"
prefs_file "AutoConnect = 1" "Port = 1" "ShowInputView = 1"
# The handheld reads 8,000 bytes every second (a send waits 2 s for a line
# that takes nothing, on any machine: the pace keeps a second in hand for a
# busy one; and a pseudo-terminal lets the writer on only once its reader
# has emptied its 4 KB buffer): for about 15 s, long enough to be watched;
# then nothing for 3 s, which refuses the first send; then the short second
# send, and slowly again for the others.
slowly() { for _ in $(seq "$1"); do echo 'wait 1000'; echo 'take 8000 600000'; done; }
{
  echo 'take 8000 600000'
  echo 'send hi'
  slowly 15
  echo 'wait 3000'
  echo 'skip-to second\stext\r 4096 600000'
  echo 'send !'
  slowly 80
  echo "$HOLD"
} > "$WORK/handheld.script"
start_connected
# 252,500 bytes in 2,500 lines: far more than the cable holds unread
# (CABLE_HOLDS in lib.sh).
python3 -c 'print(("0123456789" * 10 + "\r") * 2500, end="")' > "$WORK/long.txt"
writing_from long.txt

keys ctrl+shift+t
wait_status "Sending..."
main_driver answers 250 8 200 >/dev/null || fail "the window did not answer within 250 ms"
frame_in() { [[ $(writing_window) == *hi ]]; }
wait_for "the frame received during the send" frame_in
sleep 1.5  # a frame's busy display ends after a second
expect_eq "the status a second after a frame, still sending" "$(status_text)" "Sending..."
driver wait '#32770' Message 60000 >/dev/null || fail "the refused send gave no message"
expect_stopped "the status under the refusal" 252500
message_box "$NOT_ACCEPTING"
# The handheld answers the second send, read first, with a frame.
main_driver settext RICHEDIT "second text" || fail "settext"
keys ctrl+shift+t
wait_writing "second text!"

writing_from long.txt
mark_tally
keys ctrl+shift+t
wait_status "Sending..."
keys esc
not_sending() { [ "$(status_text)" != "Sending..." ]; }
wait_for "the status after Escape" not_sending
expect_stopped "the status after Escape" '25[0-9][0-9][0-9][0-9]'

mark_tally
# Text on the clipboard, which would make Send Clipboard enabled otherwise.
main_driver setclipboard "on the clipboard" || fail "setclipboard"
keys ctrl+shift+t
wait_status "Sending..."
# While it runs, it can be stopped, and no other send can start.
menu_snapshot
expect_menu FileStopSending 4 1
for item in FileSend FileSendFile FileSendInputView FileSendClipboard; do expect_menu $item 4 0; done
pull_cable
wait_for "the status after the cable was pulled" not_sending
expect_stopped "the status after the pulled cable" '25[0-9][0-9][0-9][0-9]'
sleep 3
expect_stopped "the status a while after the pulled cable" '25[0-9][0-9][0-9][0-9]'
no_message_box
kill_app
echo PASS
