# A serial port that cannot be opened: with AutoConnect the program says so
# and stays "Offline"; once the port is free, Connect (Ctrl+K) succeeds. The
# port is held by another program (lib.sh hold_port: port-holder.exe, or
# under Wine, which shares held ports, a link to no device).
source "$LIB"

prefs_file "AutoConnect = 1" "Port = 1" "ShowInputView = 1"
start_handheld 'expect go1 3600000'
hold_port 2

start_app "The serial port could not be open. It may be in use by another application."
wait_status "Offline"

release_port 2
keys_wait ctrl+k "Listening"
no_message_box
cable_say go1
wait_sim
quit_app
echo PASS
