# Detect, beside the port popup of the setup assistant and of the
# Preferences window, listens on every listed port at once and selects the
# one a frame comes in on. COM1, COM2 and COM3 are cables with nothing
# writing at their far end, the handheld is on COM12 (listed as the system
# lists an adapter's port) and another program holds COM4. The handheld
# writes only once the progress line says the ports are being listened to.
# Cancel leaves the popup as it was, listening with no handheld writing ends
# within 20 s naming the ports, and nothing is stored before Setup or Save.
source "$LIB"

PORT=ComboBox#2 PROGRESS=ZB_Pane#3
LIMIT=$((20 * SCALE))
LISTENING='Listening on COM1, COM2, COM3 and COM12 ([0-9]* s left): write a few letters on the handheld.'
FOUND="Found the handheld on COM12."
NONE="No handheld answered on COM1, COM2, COM3 or COM12. COM4 could not be opened (not there, or in use by another program)."

progress() { driver text ZBWindow "$1" $PROGRESS | tr -d '\r'; }
port_shown() { driver text ZBWindow "$1" "$2" | tr -d '\r'; }
press() { driver press ZBWindow "$1" "$2" >/dev/null || fail "no button $2 in $1"; }
# detect TITLE: Detect clicked, and the progress line names the ports and the time left.
detect() {
  press "$1" Detect
  clicked=$SECONDS
  wait_for "$1 to listen" listening "$1"
}
listening() { [[ $(progress "$1") == $LISTENING ]]; }
# result_within TITLE TEXT: the progress line reads TEXT within LIMIT s of the click.
result_within() {
  until [ "$(progress "$1")" = "$2" ]; do
    [ $((SECONDS - clicked)) -le "$LIMIT" ] || fail "$1 after $LIMIT s: '$(progress "$1")', expected '$2'"
    sleep 0.2
  done
}
detect_shown() { driver children ZBWindow "$PREFS_TITLE" | tr -d '\r' | grep -q '^Button|Detect|.*|1$'; }

start_handheld 'expect go1 3600000' 'send hello' 'expect go2 3600000' 'send hello' "$HOLD"
quiet_cable 4
hold_port 4
list_port 12
link_port 12 "$(readlink -f "$WORK/cable")"
# COM1 only now: the Wine server points it at its own device when it starts.
for n in 1 2 3; do quiet_cable $n; done

# --- the setup assistant: Cancel keeps COM3, then the handheld is found and set up
start_with_assistant
expect_eq "the ports offered" "$(popup_rows "$SETUP_TITLE" $PORT | tr '\n' ' ')" "Choose... COM1 COM2 COM3 COM4 COM12 "
choose "$SETUP_TITLE" $PORT 3
detect "$SETUP_TITLE"
press "$SETUP_TITLE" Cancel
wait_value "the progress line after Cancel" "" progress "$SETUP_TITLE"
expect_eq "the port after Cancel" "$(port_shown "$SETUP_TITLE" $PORT)" COM3
detect "$SETUP_TITLE"
cable_say go1
result_within "$SETUP_TITLE" "$FOUND"
expect_eq "the port found" "$(port_shown "$SETUP_TITLE" $PORT)" COM12
choose "$SETUP_TITLE" ComboBox#0 2 ComboBox#1 1
press "$SETUP_TITLE" Setup
driver waitgone ZBWindow "$SETUP_TITLE" 10000 >/dev/null || fail "the assistant stayed open"
quit_app
expect_pref Port 11

# --- Preferences: no handheld writing, then found; Cancel stores nothing
prefs_file "AutoConnect = 0" "Port = 1" "ShowInputView = 1"
start_app
open_prefs
retry_action "the Connection tab" 'driver realclick ZBWindow "$PREFS_TITLE" 178 14' detect_shown
detect "$PREFS_TITLE"
driver answers ZBWindow "$PREFS_TITLE" || fail "the window does not answer while listening"
result_within "$PREFS_TITLE" "$NONE"
expect_eq "the port after none answered" "$(port_shown "$PREFS_TITLE" $PORT)" COM2
detect "$PREFS_TITLE"
cable_say go2
result_within "$PREFS_TITLE" "$FOUND"
expect_eq "the port found" "$(port_shown "$PREFS_TITLE" $PORT)" COM12
close_prefs_with Cancel
quit_app
expect_pref Port 1
echo PASS
