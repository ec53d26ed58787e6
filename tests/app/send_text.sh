# Sending: the Writing Window (File > Send > Writing Window, Ctrl+Shift+T),
# only its selection when text is selected, and the clipboard (Ctrl+Shift+V)
# reach the handheld as exactly these bytes, each with the line end of
# ReturnType (0 CR, 1 LF, 2 CR LF) added unless it already ends in CR or LF.
# The handheld answers each text with a frame "okN": it has gone through
# before the next one is set up. (The menu item for it: menu_rules.sh; a
# text file: send_file_progress.sh.)
source "$LIB"

# --- ReturnType 2, by the shortcuts; last, a text of 10,200 bytes, longer
# than the pieces a send goes out in, arrives whole and in order
LONG=$(python3 -c 'print("".join("%05d," % i for i in range(1700)), end="")')
prefs_file "AutoConnect = 1" "Port = 1" "ShowInputView = 1" "ReturnType = 2"
start_connected \
  'expect abc\r\n 60000' 'wait 1500' 'send ok1' \
  'expect world\r\n 30000' 'send ok2' \
  'expect clip\r\n 30000' 'send ok3' \
  "expect $LONG\\r\\n 30000" 'send ok4' \
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
main_driver setclipboard clip || fail "setclipboard"
keys ctrl+shift+v
wait_writing "ok3"
main_driver settext RICHEDIT "$LONG" || fail "settext"
keys ctrl+shift+t
wait_writing "${LONG}ok4"
wait_sim "the handheld did not get what was sent"
no_message_box
quit_app

# run TYPE EXPECTED_ABC CLIPBOARD HOW: Writing Window "abc" must arrive as
# EXPECTED_ABC (escaped for the simulator); the clipboard text CLIPBOARD
# (escaped) must arrive unchanged; HOW is "shortcuts" or "menus" (File >
# Send > Writing Window, Clipboard, by their mnemonics).
run() {
  local send_view=(ctrl+shift+t) send_clipboard=(ctrl+shift+v)
  if [ "$4" = menus ]; then send_view=(alt+f s w); send_clipboard=(alt+f s c); fi
  prefs_file "AutoConnect = 1" "Port = 1" "ShowInputView = 1" "ReturnType = $1"
  start_connected "expect $2 60000" 'send ok1' "expect $3 30000" 'send ok2' 'expect-nothing 1500'
  main_driver settext RICHEDIT "abc" || fail "settext"
  keys "${send_view[@]}"
  wait_writing "abcok1"
  local clip
  printf -v clip "$3"
  main_driver setclipboard "$clip" || fail "setclipboard"
  keys "${send_clipboard[@]}"
  wait_writing "abcok1ok2"
  wait_sim "ReturnType $1: the handheld did not get what was sent"
  quit_app
}

run 0 'abc\r' 'lf\n' shortcuts
run 1 'abc\n' 'cr\r' menus
echo PASS
