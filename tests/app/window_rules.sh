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
[ "$1" -ge 0 ] && [ "$2" -ge 0 ] && [ "$3" -le 1024 ] && [ "$4" -le 768 ] || fail "the main window opened out of sight at $*"

main_driver settext RICHEDIT "hello x" >/dev/null || fail "settext"
main_driver setclipboard PASTED >/dev/null || fail "setclipboard"
main_driver realclick 100 60 >/dev/null
main_driver waitfocus RICHEDIT >/dev/null || fail "the Writing Window did not take the focus"
keys alt+h v
driver wait '*' "$ABOUT_TITLE" 10000 >/dev/null || fail "no About window"
expect_eq "version text" "$(driver texts ZBWindow "$ABOUT_TITLE" | tr -d '\r' | sed -n 's/^ZB_Pane|//p')" "Version 1.1"
# Input is taken in order: once the click after the keys has closed About,
# the keys have been dealt with.
for combo in ctrl+v ctrl+z ctrl+x; do driver realkeys '*' "$ABOUT_TITLE" $combo >/dev/null || fail "$combo"; done
driver realclick ZBWindow "$ABOUT_TITLE" 60 120 >/dev/null
driver waitgone '*' "$ABOUT_TITLE" 10000 >/dev/null || fail "a click left the About window open"
expect_eq "the Writing Window behind About" "$(writing_window)" "hello x"

# Ctrl+Q, then a real click on the Game Mode tab: once that tab shows,
# Ctrl+Q has been dealt with.
open_prefs
driver realkeys ZBWindow "$PREFS_TITLE" ctrl+q >/dev/null || fail "ctrl+q"
shown_in_prefs() { driver children ZBWindow "$PREFS_TITLE" | tr -d '\r' | grep -q "|$1|.*|1\$"; }
retry_action "the Game Mode tab after Ctrl+Q" 'driver realclick ZBWindow "$PREFS_TITLE" 100 14' \
  shown_in_prefs 'Enable Key Repeat'
driver wait ZBWindow "$PREFS_TITLE" 0 >/dev/null || fail "Ctrl+Q in Preferences closed it"
kill -0 "$APP_PID" 2>/dev/null || fail "Ctrl+Q in Preferences quit the program"

# The text encoding popup (General tab, 112,43 175x20; its title at 30,14):
# a real click opens its list, whose keys are then the list's: the list
# closes, Preferences stays.
retry_action "the General tab" 'driver realclick ZBWindow "$PREFS_TITLE" 30 14' shown_in_prefs 'Connecting to:'
list_open() { driver windows | tr -d '\r' | grep -q '^ComboLBox|'; }
list_closed() { ! list_open; }
for key in esc enter; do
  retry_action "the list to open" 'driver realclick ZBWindow "$PREFS_TITLE" 200 53' list_open
  driver realkeys ZBWindow "$PREFS_TITLE" "$key" >/dev/null || fail "$key"
  wait_for "$key to close the list" list_closed
  driver wait ZBWindow "$PREFS_TITLE" 0 >/dev/null || fail "$key in an open list closed Preferences"
done

minimized() { (($(window_field "$MAIN_TITLE" 6) & 0x20000000)); }  # WS_MINIMIZE
main_driver minimize >/dev/null
wait_for "the main window to minimize" minimized
driver windows | tr -d '\r' | awk -F'|' -v t="$PREFS_TITLE" '$2 == t { found = 1 } END { exit !found }' \
  && fail "Preferences showed again alone while the main window is minimized"
kill_app
echo PASS
