# The line end Send adds: ReturnType 0 adds CR, 1 adds LF (a run each); a
# text ending in LF or CR goes unchanged. The first run sends by the
# shortcuts, the second by the menus' mnemonics (File > Send > Writing
# Window, Clipboard). The handheld answers each text with a frame "okN".
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
  wait_sim "ReturnType $1: the handheld did not get what was sent"
  quit_app
}

run 0 'abc\r' 'lf\n' shortcuts
run 1 'abc\n' 'cr\r' menus
echo PASS
