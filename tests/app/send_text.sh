# Sending with ReturnType 2 (CR LF): the Writing
# Window (File > Send > Writing Window, Ctrl+Shift+T), only its selection
# when text is selected (the item then reads "&Selected Text"), the
# clipboard (Ctrl+Shift+V) and a three-line text file (Ctrl+T, chosen in the
# open dialog) reach the handheld as exactly these bytes, each text with the
# line end added unless it already ends in CR or LF. The handheld answers
# each text it got with a frame "okN", which tells the test that the text has
# gone through before the next one is set up.
source "$LIB"
prefs_file "AutoConnect = 1" "Port = 1" "ShowInputView = 1" "ReturnType = 2"
sim_script \
  'expect abc\r\n 60000' 'wait 1500' 'send ok1' \
  'expect world\r\n 30000' 'send ok2' \
  'expect clip\r\n 30000' 'send ok3' \
  'expect ends\r 30000' 'send ok4' \
  'expect endsLF\n 30000' 'send ok5' \
  'expect one\r\n 30000' 'expect two\r\n 30000' 'expect three\r\n 30000' 'send ok6' \
  'expect-nothing 1500'
start_sim --script "$WORK/handheld.script"
start_app
wait_status "Listening"

main_driver settext RICHEDIT "abc" || fail "settext"
menu_snapshot
expect_menu FileSendInputView 3 "&Writing Window"
expect_menu FileSendInputView 4 1
keys ctrl+shift+t
# ("Sending..." shows only for a moment here; send_pieces watches it.)
wait_writing "abcok1"

main_driver settext RICHEDIT "hello world" || fail "settext"
main_driver select RICHEDIT 6 5 || fail "select"
menu_snapshot
expect_menu FileSendInputView 3 "&Selected Text"
expect_menu FileSendInputView 4 1
expect_menu FileSendInputView 6 "Sends the selected text in the Writing Window to your handheld."
keys ctrl+shift+t
# The answer replaces the selection that was sent.
wait_writing "hello ok2"

main_driver settext RICHEDIT "" || fail "settext"
main_driver setclipboard "clip" || fail "setclipboard"
keys ctrl+shift+v
wait_writing "ok3"
main_driver setclipboard $'ends\r' || fail "setclipboard"
keys ctrl+shift+v
wait_writing "ok3ok4"
main_driver setclipboard $'endsLF\n' || fail "setclipboard"
keys ctrl+shift+v
wait_writing "ok3ok4ok5"

printf 'one\r\ntwo\r\nthree\r\n' > "$WORK/three.txt"
send_file three.txt
wait_writing "ok3ok4ok5ok6"
wait_sim || fail "the handheld did not get what was sent"
no_message_box
quit_app
echo PASS
