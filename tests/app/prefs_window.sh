# The Preferences window (Edit > Preferences..., Ctrl+/): it opens on a
# disconnected line with the controls showing the current settings; Cancel
# with AutoConnect off leaves the program offline although it was connected
# before; Save writes the controls' values into the file (the parity rows
# None, Even, Odd being the values 0, 2, 1) and connects again when
# AutoConnect is on. The handheld simulator's cable is on COM2 (port 1).
source "$LIB"

# Children of the Preferences window, in the order the window makes them.
ENCODER=ComboBox#0 RETURN=ComboBox#1 PORT=ComboBox#2 BAUD=ComboBox#3 BITS=ComboBox#4
PARITY=ComboBox#5 STOP=ComboBox#6
AUTO=Button#2 PROGRESS=Button#3 REPEAT=Button#4 XON=Button#6 CTS=Button#7 DTR=Button#8

expect_control() { expect_eq "$1" "$(control_value "$PREFS_TITLE" "$2")" "$3"; }
toggle() {
  local before
  before=$(control_value "$PREFS_TITLE" "$1")
  driver press ZBWindow "$PREFS_TITLE" "$2" >/dev/null || fail "no check box $2"
  wait_value "$2 turned over" $((1 - before)) control_value "$PREFS_TITLE" "$1"
}
# main_visible_in_prefs TEXT 0|1: the Preferences child with that text is hidden or shown.
main_visible_in_prefs() {
  driver children ZBWindow "$PREFS_TITLE" | tr -d '\r' | awk -F'|' -v t="$1" -v v="$2" '$2 == t && $4 == v { f = 1 } END { exit !f }'
}
connect() {
  driver realkeys "$MAIN_CLASS" "$MAIN_TITLE" ctrl+k >/dev/null
  wait_value "the connection" Listening status_text
}

printf '%s\n' "$HOLD" > "$WORK/hold.script"
start_sim --script "$WORK/hold.script"
prefs_file "Port = 1" "Baud = 10" "Bits = 3" "Parity = 1" "Stop = 0" "XON = 0" "CTS = 1" "DTR = 0" \
  "AutoConnect = 0" "ShowProgressBar = 1" "EnableKeyRepeat = 1" "ReturnType = 2" "TextEncoder = 1"
start_app
expect_eq "status at start" "$(status_text)" "Offline"

# --- opens disconnected, showing the settings; Cancel leaves it offline
connect
open_prefs
wait_value "the line closed by the Preferences window" Offline status_text
expect_eq "port rows" "$(driver texts ZBWindow "$PREFS_TITLE" | tr -d '\r' | grep -c '^ComboBox|')" 7
expect_eq "port row text" "$(driver text ZBWindow "$PREFS_TITLE" $PORT | tr -d '\r')" COM2
expect_control "port" $PORT 1
expect_control "baud" $BAUD 10
expect_control "bits" $BITS 3
expect_control "parity Odd" $PARITY 2
expect_control "stop" $STOP 0
expect_control "XON" $XON 0
expect_control "CTS" $CTS 1
expect_control "DTR" $DTR 0
expect_control "auto connect" $AUTO 0
expect_control "progress" $PROGRESS 1
expect_control "key repeat" $REPEAT 1
expect_control "return type" $RETURN 2
expect_control "encoder" $ENCODER 1
# The three tabs, each photographed; a real click on a tab's title shows it.
screenshot prefs-general "$PREFS_TITLE"
retry_action "the Game Mode tab" 'driver realclick ZBWindow "$PREFS_TITLE" 100 14' \
  main_visible_in_prefs 'Enable Key Repeat' 1
screenshot prefs-game-mode "$PREFS_TITLE"
retry_action "the Connection tab" 'driver realclick ZBWindow "$PREFS_TITLE" 178 14' \
  main_visible_in_prefs 'XON/XOFF' 1
main_visible_in_prefs 'Enable Key Repeat' 0 || fail "the Game Mode tab's check box is still shown"
screenshot prefs-connection "$PREFS_TITLE"
close_prefs_with Cancel
sleep 0.5
expect_eq "status after Cancel" "$(status_text)" "Offline"

# Esc is the Cancel button's key; a second Ctrl+/ while the window is open
# brings up the same window, not a second one.
open_prefs
driver realkeys "$MAIN_CLASS" "$MAIN_TITLE" ctrl+/ >/dev/null
sleep 0.5
expect_eq "Preferences windows" "$(driver windows | tr -d '\r' | grep -c "|$PREFS_TITLE|")" 1
driver realkeys ZBWindow "$PREFS_TITLE" esc >/dev/null
driver waitgone ZBWindow "$PREFS_TITLE" 10000 >/dev/null || fail "Esc left the Preferences window open"
expect_eq "status after Esc" "$(status_text)" "Offline"

# --- Save writes the controls and reconnects with AutoConnect on
open_prefs
choose "$PREFS_TITLE" $BAUD 13
choose "$PREFS_TITLE" $BITS 2
choose "$PREFS_TITLE" $PARITY 1
choose "$PREFS_TITLE" $STOP 2
choose "$PREFS_TITLE" $RETURN 1
choose "$PREFS_TITLE" $ENCODER 2
toggle $XON XON/XOFF
toggle $CTS CTS
toggle $DTR DTR
toggle $AUTO "Connect on startup"
toggle $PROGRESS "Show progress"
toggle $REPEAT "Enable Key Repeat"
close_prefs_with Save
expect_pref Port 1
expect_pref Baud 13
expect_pref Bits 2
expect_pref Parity 2
expect_pref Stop 2
expect_pref XON 1
expect_pref CTS 0
expect_pref DTR 1
expect_pref AutoConnect 1
expect_pref ShowProgressBar 0
expect_pref EnableKeyRepeat 0
expect_pref ReturnType 1
expect_pref TextEncoder 2
wait_value "the connection after Save" Listening status_text
main_driver children | tr -d '\r' | grep -q '^msctls_progress32|.*|0$' || fail "the progress bar is still shown"

# --- with AutoConnect on, Cancel connects again
open_prefs
wait_value "the line closed again" Offline status_text
close_prefs_with Cancel
wait_value "the connection after Cancel with AutoConnect" Listening status_text

# --- the parity rows both ways: Even shows as row 1; Odd saves 1, None 0
open_prefs
wait_value "the line closed once more" Offline status_text
expect_control "parity Even" $PARITY 1
choose "$PREFS_TITLE" $PARITY 2
close_prefs_with Save
expect_pref Parity 1
wait_value "the connection after the second Save" Listening status_text
open_prefs
expect_control "parity Odd again" $PARITY 2
choose "$PREFS_TITLE" $PARITY 0
toggle $AUTO "Connect on startup"
close_prefs_with Save
expect_pref Parity 0
expect_pref AutoConnect 0
sleep 0.5
expect_eq "status after Save without AutoConnect" "$(status_text)" "Offline"
quit_app
expect_pref Baud 13
expect_pref Parity 0
expect_pref AutoConnect 0
echo PASS
