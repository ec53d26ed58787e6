# Sending with ReturnType 2 (CR LF): the Writing Window (File > Send >
# Writing Window, Ctrl+Shift+T), only its selection when text is selected,
# and the clipboard (Ctrl+Shift+V) reach the handheld as exactly these
# bytes, each with the line end added unless it already ends in CR or LF.
# The handheld answers each text with a frame "okN": it has gone through
# before the next one is set up. (The menu item for it: menu_rules.sh; a
# text file: send_file_progress.sh.)
source "$LIB"
prefs_file "AutoConnect = 1" "Port = 1" "ShowInputView = 1" "ReturnType = 2"
start_connected \
  'expect abc\r\n 60000' 'wait 1500' 'send ok1' \
  'expect world\r\n 30000' 'send ok2' \
  'expect clip\r\n 30000' 'send ok3' \
  'expect ends\r 30000' 'send ok4' \
  'expect endsLF\n 30000' 'send ok5' \
  'expect-nothing 1500'

main_driver settext RICHEDIT "abc" || fail "settext"
keys ctrl+shift+t
# ("Sending..." shows only for a moment here; send_pieces watches it.)
wait_writing "abcok1"

main_driver settext RICHEDIT "hello world" || fail "settext"
main_driver select RICHEDIT 6 5 || fail "select"
keys ctrl+shift+t
# The answer replaces the selection that was sent.
wait_writing "hello ok2"

main_driver settext RICHEDIT "" || fail "settext"
# CLIPBOARD TEXT|THE WRITING WINDOW AFTER ITS ANSWER
for row in "clip|ok3" $'ends\r|ok3ok4' $'endsLF\n|ok3ok4ok5'; do
  main_driver setclipboard "${row%|*}" || fail "setclipboard"
  keys ctrl+shift+v
  wait_writing "${row#*|}"
done
wait_sim "the handheld did not get what was sent"
no_message_box
quit_app
echo PASS
