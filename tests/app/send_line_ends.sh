# The line end Send adds: ReturnType 0 adds CR, 1 adds LF
# (one run of the program each); a text that already ends in LF or CR is
# sent unchanged whatever ReturnType says. The first run sends with the
# shortcuts, the second through the menus (File > Send > Writing Window,
# File > Send > Clipboard, by their mnemonics). The handheld answers each
# text with a frame "okN" (see send_text.sh).
source "$LIB"

# run TYPE EXPECTED_ABC CLIPBOARD HOW: Writing Window "abc" must arrive as
# EXPECTED_ABC (escaped for the simulator); the clipboard text CLIPBOARD
# (escaped) must arrive unchanged; HOW is "shortcuts" or "menus".
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
  wait_sim || fail "ReturnType $1: the handheld did not get what was sent"
  quit_app
}

run 0 'abc\r' 'lf\n' shortcuts
run 1 'abc\n' 'cr\r' menus
echo PASS
