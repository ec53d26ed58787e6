# Receiving: the handheld's frames reach the Writing Window each on its own,
# however quickly they follow one another; with TextEncoder 1 (Newton OS)
# Mac OS Roman text becomes Windows Latin 1 and back. The handheld waits for
# the test at each "expect goN" (see cable_say).
source "$LIB"
prefs_file "AutoConnect = 1" "Port = 1" "ShowInputView = 1" "ReturnType = 2"
start_connected \
  'expect go1 60000' 'raw \x02ab' 'wait 400' 'raw cd' 'wait 400' 'raw ef\x03' \
  'expect go2 60000' 'send \x01ping' \
  'expect go3 60000' 'send \x08' \
  'expect go4 60000' 'send z' \
  'expect go5 60000' 'send abc\x08' \
  'expect go6 60000' 'send \x08' \
  'expect go7 60000' 'raw \x02x\x03\x02partial' \
  'expect go8 60000' 'send new' \
  'expect go9 60000' 'send \x08' 'wait 40' 'send \x08' 'raw \x02\x08\x03\x02x\x03' \
  'raw \x02ghi\x03\x02j' 'wait 200' 'raw k\x03' \
  'expect go10 60000' "raw $(printf 'y%.0s' $(seq 70000))" 'send ok' \
  'expect go11 60000' 'expect-nothing 500'

# A frame in three chunks, 400 ms apart; "Receiving..." shows for a second.
watch_status "Receiving..."
cable_say go1
seen_status "Receiving..."
wait_writing "abcdef"
wait_status "Listening"

# A command frame: the message, nothing inserted, the frame dropped.
cable_say go2
message_box "Sending Commands is not yet supported by the Vellory Server for Windows"
wait_status "Listening"
expect_eq "Writing Window after a command frame" "$(writing_window)" "abcdef"

# A lone backspace into an empty Writing Window leaves it empty; a frame
# after it arrives alone.
main_driver settext RICHEDIT "" || fail "settext"
watch_status "Receiving..."
cable_say go3
seen_status "Receiving..."
wait_status "Listening"
expect_eq "Writing Window after a lone backspace" "$(writing_window)" ""
receive go4 "z"

# Over a selection, a frame ending in a backspace replaces the selection and
# then takes the character before the insertion point; a lone backspace
# takes the selection.
main_driver settext RICHEDIT "hello world" || fail "settext"
main_driver select RICHEDIT 0 5 || fail "select"
receive go5 "ab world"
main_driver select RICHEDIT 2 1 || fail "select"
receive go6 "abworld"

# Half a frame, then game mode on and off: the half is dropped, not put in
# front of the next frame. It comes in one write behind a whole frame "x":
# once "x" is in the Writing Window, the half has been read too.
receive go7 "abworldx"
keys_wait ctrl+g "Game Mode Enabled"
keys_wait ctrl+g "Listening"
receive go8 "abworldxnew"

# Quick frames, each on its own: two backspace frames 40 ms apart, a
# backspace frame and a letter in one chunk, and a frame whose end shares a
# chunk with the start of the next.
main_driver settext RICHEDIT "abcdef" || fail "settext"
receive go9 "abcxghijk"

# 70,000 bytes that no ETX ends are dropped, and the frame after them
# arrives whole; once its "Receiving..." is over, the status line says so.
receive go10 "abcxghijkok"
wait_status "Unframed data dropped: check the port speed"
cable_say go11
wait_sim
no_message_box
quit_app

# Newton OS: the frame's Mac OS Roman bytes (0x8E e acute, 0x9A o diaeresis)
# reach the Writing Window as Windows Latin 1 (0xE9, 0xF6), and go back to
# the handheld as Mac OS Roman when the Writing Window is sent.
prefs_file "AutoConnect = 1" "Port = 1" "ShowInputView = 1" "TextEncoder = 1"
start_connected 'expect go1 60000' 'send caf\x8e\s\x9a' 'expect caf\x8e\s\x9a\r 20000' 'expect-nothing 500'
receive go1 "$(printf 'caf\xe9 \xf6')"
keys ctrl+shift+t
wait_sim
quit_app
echo PASS
