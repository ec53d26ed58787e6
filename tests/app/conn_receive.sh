# Receiving: connected at start with AutoConnect, the frames the handheld
# sends are assembled from their chunks and delivered into the Writing
# Window, each on its own however quickly they follow one another (the
# cases below), and kept so in the preference file; a second start with
# TextEncoder 1 (Newton OS) turns Mac OS Roman text into Windows Latin 1 and
# back. The handheld waits for the test at each "expect goN" (see cable_say).
source "$LIB"
prefs_file "AutoConnect = 1" "Port = 1" "ShowInputView = 1" "ReturnType = 2"
start_connected \
  'expect go1 60000' 'raw \x02ab' 'wait 400' 'raw cd' 'wait 400' 'raw ef\x03' \
  'expect go2 60000' 'send \x01ping' \
  'expect go3 60000' 'send hello\x08' \
  'expect go4 60000' 'send 2' \
  'expect go5 60000' 'send \x08' \
  'expect go6 60000' 'send z' \
  'expect go7 60000' 'raw \x02mn\x03op' \
  'expect go8 60000' 'raw \x03' \
  'expect go9 60000' 'send abc\x08' \
  'expect go10 60000' 'send \x08' \
  'expect go11 60000' 'raw \x02partial' \
  'expect go12 60000' 'send new' \
  'expect go13 60000' 'send \x08' 'wait 40' 'send \x08' 'raw \x02\x08\x03\x02x\x03' \
  'raw \x02ghi\x03\x02j' 'wait 200' 'raw k\x03' \
  'expect go14 60000' "raw $(printf 'y%.0s' $(seq 70000))" 'send ok' \
  'expect go15 60000' 'expect-nothing 500'

# A frame in three chunks, 400 ms apart; "Receiving..." shows for a second.
watch_status "Receiving..."
cable_say go1
seen_status "Receiving..."
wait_writing "abcdef"
wait_status "Listening"

# A command frame: the message, nothing inserted, the frame dropped.
cable_say go2
message_box "Sending Commands is not yet supported by the Vellory Server for Windows"
sleep 1
expect_eq "Writing Window after a command frame" "$(writing_window)" "abcdef"
wait_status "Listening"

# A word with a backspace after it: the word without its last letter.
main_driver settext RICHEDIT "abc" || fail "settext"
cable_say go3
wait_writing "abchell"

# The selection is replaced by the next frame.
main_driver settext RICHEDIT "one two three" || fail "settext"
main_driver select RICHEDIT 4 3 || fail "select"
cable_say go4
wait_writing "one 2 three"

# A lone backspace into an empty Writing Window leaves it empty; a frame
# after it arrives alone.
main_driver settext RICHEDIT "" || fail "settext"
cable_say go5
sleep 1.5
expect_eq "Writing Window after a lone backspace" "$(writing_window)" ""
cable_say go6
wait_writing "z"

# An ETX inside a chunk completes its frame; bytes after it that no STX
# opened are completed by the next ETX.
cable_say go7
wait_writing "zmn"
cable_say go8
wait_writing "zmnop"

# Over a selection, a frame ending in a backspace replaces the selection and
# then takes the character before the insertion point; a lone backspace
# takes the selection.
main_driver settext RICHEDIT "hello world" || fail "settext"
main_driver select RICHEDIT 0 5 || fail "select"
cable_say go9
wait_writing "ab world"
main_driver select RICHEDIT 2 1 || fail "select"
cable_say go10
wait_writing "abworld"

# Half a frame, then game mode on and off: the half is dropped, not put in
# front of the next frame.
cable_say go11
sleep 1
keys_wait ctrl+g "Game Mode Enabled"
keys_wait ctrl+g "Listening"
cable_say go12
wait_writing "abworldnew"

# Quick frames, each on its own: two backspace frames 40 ms apart, a
# backspace frame and a letter in one chunk, and a frame whose end shares a
# chunk with the start of the next.
main_driver settext RICHEDIT "abcdef" || fail "settext"
cable_say go13
wait_writing "abcxghijk"

# 70,000 bytes that no ETX ends are dropped, and the frame after them
# arrives whole; once its "Receiving..." is over, the status line says so.
cable_say go14
wait_writing "abcxghijkok"
wait_status "Unframed data dropped: check the port speed"
cable_say go15
wait_sim
no_message_box
quit_app
expect_prefs "InputView=abcxghijkok"

# Newton OS: the frame's Mac OS Roman bytes (0x8E e acute, 0x9A o diaeresis)
# reach the Writing Window as Windows Latin 1 (0xE9, 0xF6), and go back to
# the handheld as Mac OS Roman when the Writing Window is sent.
prefs_file "AutoConnect = 1" "Port = 1" "ShowInputView = 1" "TextEncoder = 1"
start_connected 'expect go1 60000' 'send caf\x8e\s\x9a' 'expect caf\x8e\s\x9a\r 20000' 'expect-nothing 500'
cable_say go1
wait_writing "$(printf 'caf\xe9 \xf6')"
keys ctrl+shift+t
wait_sim
quit_app
echo PASS
