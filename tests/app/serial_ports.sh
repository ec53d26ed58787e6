# The port popups offer COM1 to COM4 and every port the system lists, in
# number order: a port the system adds (COM12, which the test adds to the
# system's list and links to the handheld's cable) is listed, chosen in the
# Preferences window and used, and goes to the file as Port = 11 (the setup
# assistant fills its popup the same way). A stored port that the list lacks
# is still a row of its own, shown as the choice and kept on Save. That the
# setup assistant lists COM12 and stores it is port_detect's to check.
source "$LIB"
PORT=ComboBox#2 AUTO=Button#2

# expect_port_list ROWS: the rows begin with COM1 to COM4, run in number
# order without repeats, and hold every port named in ROWS' extra lines.
expect_port_list() {
  local rows=$1 name
  expect_eq "the first four rows" "$(echo "$rows" | head -4 | tr '\n' ' ')" "COM1 COM2 COM3 COM4 "
  echo "$rows" | sed 's/^COM//' | sort -n -c -u 2>/dev/null || fail "rows out of order: $rows"
  shift
  for name in "$@"; do echo "$rows" | grep -qx "$name" || fail "no row $name in: $rows"; done
}
row_of() { echo "$1" | grep -nx "$2" | cut -d: -f1 | awk '{ print $1 - 1 }'; }

start_handheld 'expect hello\r 60000' 'send back' 'wait 5000'
link_port 12 "$(readlink -f "$WORK/cable")"
prefs_file "AutoConnect = 0" "Port = 1" "ShowInputView = 1"
start_app

# --- listed (while the program runs): chosen, saved as Port = 11 and used
list_port 12
open_prefs
rows=$(popup_rows "$PREFS_TITLE" $PORT)
expect_port_list "$rows" COM12
choose "$PREFS_TITLE" $PORT "$(row_of "$rows" COM12)"
driver press ZBWindow "$PREFS_TITLE" "Connect on startup" >/dev/null || fail "no AutoConnect box"
wait_value "AutoConnect ticked" 1 control_value "$PREFS_TITLE" $AUTO
close_prefs_with Save
expect_pref Port 11
wait_status "Listening"
main_driver settext RICHEDIT "hello" || fail "settext"
keys ctrl+shift+t
wait_writing "helloback"
wait_sim
quit_app

# --- a stored port the list lacks (COM21) is its own row and is kept
unlist_port 12
prefs_file "AutoConnect = 0" "Port = 20" "ShowInputView = 1"
start_app
open_prefs
rows=$(popup_rows "$PREFS_TITLE" $PORT)
expect_port_list "$rows" COM21
echo "$rows" | grep -qx COM12 && fail "COM12 still listed after the system dropped it"
expect_eq "the stored port's row" "$(control_value "$PREFS_TITLE" $PORT)" "$(row_of "$rows" COM21)"
close_prefs_with Save
quit_app
expect_pref Port 20
echo PASS
