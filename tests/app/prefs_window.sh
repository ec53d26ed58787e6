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
AUTO=Button#2 PROGRESS=Button#3 REPEAT=Button#4 XON=Button#7 CTS=Button#8 DTR=Button#9

# expect_controls NAME=ROW...: the child in each variable NAME above shows
# ROW (a popup's row, a check box's state).
expect_controls() {
  local pair name
  for pair in "$@"; do
    name=${pair%%=*}
    expect_eq "$name" "$(control_value "$PREFS_TITLE" "${!name}")" "${pair#*=}"
  done
}
# toggle CHILD LABEL [CHILD LABEL]...: each check box clicked and seen to turn over.
toggle() {
  local before
  while [ $# -ge 2 ]; do
    before=$(control_value "$PREFS_TITLE" "$1")
    driver press ZBWindow "$PREFS_TITLE" "$2" >/dev/null || fail "no check box $2"
    wait_value "$2 turned over" $((1 - before)) control_value "$PREFS_TITLE" "$1"
    shift 2
  done
}

start_handheld "$HOLD"
prefs_file "Port = 1" "Baud = 10" "Bits = 3" "Parity = 1" "Stop = 0" "XON = 0" "CTS = 1" "DTR = 0" \
  "AutoConnect = 0" "ShowProgressBar = 1" "EnableKeyRepeat = 1" "ReturnType = 2" "TextEncoder = 1"
start_app

# --- opens disconnected, showing the settings; Cancel leaves it offline
keys_wait ctrl+k Listening
open_prefs
wait_value "the line closed by the Preferences window" Offline status_text
# (Parity 1, Odd, is row 2; the port rows: serial_ports.sh.)
expect_controls PORT=1 BAUD=10 BITS=3 PARITY=2 STOP=0 XON=0 CTS=1 DTR=0 AUTO=0 PROGRESS=1 \
  REPEAT=1 RETURN=2 ENCODER=1
# A check box on the tab panel is painted in the panel's colour: a point at
# the far end of "Connect on startup" (13,84 260x20) against one beside it.
expect_eq "the colour of a check box on the tab panel" "$(window_pixel "$PREFS_TITLE" 268 94)" \
  "$(window_pixel "$PREFS_TITLE" 285 94)"
close_prefs_with Cancel
sleep 0.5
expect_eq "status after Cancel" "$(status_text)" "Offline"

# Esc is the Cancel button's key; a second Ctrl+/ while the window is open
# brings up the same window, not a second one: the Esc after it, taken in
# order, leaves no Preferences window.
open_prefs
driver realkeys "$MAIN_CLASS" "$MAIN_TITLE" ctrl+/ >/dev/null || fail "ctrl+/"
driver realkeys ZBWindow "$PREFS_TITLE" esc >/dev/null || fail "esc"
driver waitgone ZBWindow "$PREFS_TITLE" 10000 >/dev/null || fail "Esc left a Preferences window open"
expect_eq "status after Esc" "$(status_text)" "Offline"

# --- Save writes the controls and reconnects with AutoConnect on
open_prefs
choose "$PREFS_TITLE" $BAUD 13 $BITS 2 $PARITY 1 $STOP 2 $RETURN 1 $ENCODER 2
toggle $XON XON/XOFF $CTS CTS $DTR DTR $AUTO "Connect on startup" $PROGRESS "Show progress" \
  $REPEAT "Enable Key Repeat"
close_prefs_with Save
expect_prefs Port=1 Baud=13 Bits=2 Parity=2 Stop=2 XON=1 CTS=0 DTR=1 AutoConnect=1 \
  ShowProgressBar=0 EnableKeyRepeat=0 ReturnType=1 TextEncoder=2
wait_value "the connection after Save" Listening status_text
main_driver children | tr -d '\r' | grep -q '^msctls_progress32|.*|0$' || fail "the progress bar is still shown"

# --- Save with AutoConnect off stays offline; the parity row None saves 0
open_prefs
choose "$PREFS_TITLE" $PARITY 0
toggle $AUTO "Connect on startup"
close_prefs_with Save
expect_prefs Parity=0 AutoConnect=0
sleep 0.5
expect_eq "status after Save without AutoConnect" "$(status_text)" "Offline"
quit_app
echo PASS
