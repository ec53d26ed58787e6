# The first-run setup assistant (no preference file): Setup with a popup
# left at "Choose..." refuses with its message and stays open; a complete
# Setup closes it and leaves welcome text C (no automatic connection), A
# (connected through the simulator's cable on COM2) or B (the port cannot be
# opened) in the Writing Window, and the choices in the file, from which a
# second start connects without the assistant. Popups:
# ComboBox#0 desktop, #1 handheld, #2 serial port (its rows: serial_ports.sh).
source "$LIB"

INCOMPLETE="Setup could not complete. Please ensure that you have entered all the information regarding your desktop and handheld computers."
PORT_BUSY="The serial port could not be open. It may be in use by another application."
TEXT_A="Congratulations! You've properly configured the Vellory Server. To get started:

1. Plug your handheld into the serial port on your desktop.
2. Start writing to enjoy the benefits of handwriting recognition!"
TEXT_B="Congratulations! You've properly configured the Vellory Server.

However, the serial port you specified in already use. Applications such as communications or connectivity software may be using the port.

You can either quit those applications or choose another serial port to use from Edit->Preferences->Connection."
TEXT_C="Congratulations! You've properly configured the Vellory Server. To get started:

1. Plug your handheld into the serial port on your desktop.
2. Choose File->Connect on your desktop and Connect on your handheld.
3. Start writing to enjoy the benefits of handwriting recognition!"

press_setup() { driver press ZBWindow "$SETUP_TITLE" Setup >/dev/null || fail "no Setup button"; }

setup_refused() {
  press_setup
  expect_eq "message ($1)" "$(message_text)" "$INCOMPLETE"
  message_ok
  driver wait ZBWindow "$SETUP_TITLE" 2000 >/dev/null || fail "the assistant closed ($1)"
}

# --- 1. refusals, then Mac OS / Newton OS / COM1 without connecting: text C
start_with_assistant
for child in 0 1 2; do expect_eq "popup $child at open" "$(control_value "$SETUP_TITLE" ComboBox#$child)" 0; done
choose "$SETUP_TITLE" ComboBox#0 1 ComboBox#1 2
setup_refused "serial port at Choose..."
choose "$SETUP_TITLE" ComboBox#2 1 ComboBox#0 0
setup_refused "desktop back at Choose..."
choose "$SETUP_TITLE" ComboBox#0 1
# Enter is the Setup button's key (the auto connect box left unticked: text C).
driver realkeys ZBWindow "$SETUP_TITLE" enter >/dev/null
driver waitgone ZBWindow "$SETUP_TITLE" 10000 >/dev/null || fail "Enter left the assistant open"
expect_eq "welcome text C" "$(writing_window)" "$TEXT_C"
expect_eq "status after C" "$(status_text)" "Offline"
quit_app
# The whole file, in any order (when the autosave ran first, the text's line
# comes before the assistant's two): these 23 lines and no others.
expect_prefs Port=0 Baud=12 Bits=3 Parity=0 Stop=0 CTS=1 DTR=1 XON=0 ShowInputView=1 \
  ShowProgressBar=1 AutoConnect=0 EnableKeyRepeat=1 ReturnType=0 ShowToolbar=1 TextEncoder=1 \
  Width=450 Height=200 X=8 Y=44 Version=1.1 DesktopOS=Mac%20OS HandheldOS=Newton%20OS \
  "InputView=$(printf '%s' "$TEXT_C" | sed 's/ /%20/g' | sed ':a;N;$!ba;s/\n/%0D%0A/g')"
expect_eq "lines in the file after Setup" "$(prefs_lines | wc -l)" 23

# --- 2. Windows / Palm OS / COM2 (the simulator's cable), connecting: text A
start_handheld "$HOLD"
start_with_assistant
choose "$SETUP_TITLE" ComboBox#0 2 ComboBox#1 1 ComboBox#2 2
driver press ZBWindow "$SETUP_TITLE" "Automatically connect at startup" >/dev/null
wait_value "the auto connect box checked" 1 control_value "$SETUP_TITLE" Button#1
press_setup
driver waitgone ZBWindow "$SETUP_TITLE" 10000 >/dev/null || fail "the assistant stayed open"
expect_eq "welcome text A" "$(writing_window)" "$TEXT_A"
expect_eq "status after A" "$(status_text)" "Listening"
quit_app
expect_prefs DesktopOS=Windows HandheldOS=Palm%20OS Port=1 AutoConnect=1 ReturnType=2 \
  TextEncoder=0 CTS=0 DTR=0
# A second start from that file: no assistant, connected at once.
start_app
wait_status "Listening"
driver wait ZBWindow "$SETUP_TITLE" 1000 >/dev/null 2>&1 && fail "the assistant came again on a second start"
quit_app
pull_cable

# --- 3. Windows / Windows CE / COM2 that cannot be opened: text B
link_port 2 "$WORK/no-such-cable"
start_with_assistant
choose "$SETUP_TITLE" ComboBox#0 2 ComboBox#1 3 ComboBox#2 2
driver press ZBWindow "$SETUP_TITLE" "Automatically connect at startup" >/dev/null
wait_value "the auto connect box checked" 1 control_value "$SETUP_TITLE" Button#1
press_setup
message_box "$PORT_BUSY"
driver waitgone ZBWindow "$SETUP_TITLE" 10000 >/dev/null || fail "the assistant stayed open (B)"
expect_eq "welcome text B" "$(writing_window)" "$TEXT_B"
expect_eq "status after B" "$(status_text)" "Offline"
quit_app
expect_prefs HandheldOS=Windows%20CE Port=1 AutoConnect=1 TextEncoder=2 CTS=0 DTR=0
echo PASS
