# Where windows appear and where keys act: a saved place far outside the
# screen opens on it; Help > About (Alt+H, V) shows "Version 1.1" and a real
# click inside it closes it; with the Writing Window focused and About in
# front, Ctrl+V, Ctrl+Z and Ctrl+X leave the Writing Window alone; in the modal
# Preferences window Ctrl+Q does not quit, and Escape or Return in an open
# drop-down list close only the list; minimizing the main window with
# Preferences open leaves Preferences hidden with it.
source "$LIB"
prefs_file "X = 5000" "Y = 5000" "ShowInputView = 1" "Version = 1.1"
start_app
set -- $(window_field "$MAIN_TITLE" 4 | tr , ' ')
[ "$1" -ge 0 ] && [ "$2" -ge 0 ] && [ "$3" -le 1024 ] && [ "$2" -le 728 ] || fail "the main window opened out of sight at $*"

main_driver settext RICHEDIT "hello x" >/dev/null || fail "settext"
main_driver setclipboard PASTED >/dev/null || fail "setclipboard"
main_driver realclick 100 60 >/dev/null
main_driver waitfocus RICHEDIT >/dev/null || fail "the Writing Window did not take the focus"
keys alt+h v
driver wait '*' "$ABOUT_TITLE" 10000 >/dev/null || fail "no About window"
expect_eq "version text" "$(driver texts ZBWindow "$ABOUT_TITLE" | tr -d '\r' | sed -n 's/^ZB_Pane|//p')" "Version 1.1"
for combo in ctrl+v ctrl+z ctrl+x; do driver realkeys '*' "$ABOUT_TITLE" $combo >/dev/null; done
sleep 1
expect_eq "the Writing Window behind About" "$(writing_window)" "hello x"
driver realclick ZBWindow "$ABOUT_TITLE" 60 120 >/dev/null
driver waitgone '*' "$ABOUT_TITLE" 10000 >/dev/null || fail "a click left the About window open"

keys ctrl+/
driver wait ZBWindow "$PREFS_TITLE" 10000 >/dev/null || fail "no Preferences window"
driver realkeys ZBWindow "$PREFS_TITLE" ctrl+q >/dev/null
sleep 1
driver wait ZBWindow "$PREFS_TITLE" 0 >/dev/null || fail "Ctrl+Q in Preferences closed it"
kill -0 "$APP_PID" 2>/dev/null || fail "Ctrl+Q in Preferences quit the program"

# The text encoding popup (General tab, 112,43 175x20): a real click opens
# its list, whose keys are then the list's.
for key in esc enter; do
  driver realclick ZBWindow "$PREFS_TITLE" 200 53 >/dev/null
  sleep 0.5
  driver realkeys ZBWindow "$PREFS_TITLE" "$key" >/dev/null
  sleep 1
  driver wait ZBWindow "$PREFS_TITLE" 0 >/dev/null || fail "$key in an open list closed Preferences"
done

main_driver minimize >/dev/null
sleep 2
driver windows | tr -d '\r' | awk -F'|' -v t="$PREFS_TITLE" '$2 == t { found = 1 } END { exit !found }' \
  && fail "Preferences showed again alone while the main window is minimized"
kill_app
echo PASS
