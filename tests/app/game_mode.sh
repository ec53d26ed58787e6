# Game mode (Ctrl+G): its status, the window's game colour (read from a
# screenshot of the display) and the progress bar hidden come and go with
# it; a frame in it is a key, not text; Disconnect ends it; offline, Ctrl+G
# does nothing; half a frame is dropped by a Disconnect.
source "$LIB"
prefs_file "AutoConnect = 1" "Port = 1" "ShowInputView = 1" "EnableKeyRepeat = 0"
start_connected 'expect go1 60000' 'send k' 'expect go2 60000' 'send after' \
  'expect go3 60000' 'raw \x02x\x03\x02half' 'expect go4 60000' 'send new' 'expect-nothing 500'
# A point of the status line where no control lies.
X=300 Y=10
GAME_COLOUR=109,170,244
before=$(main_pixel $X $Y)
[ "$before" != "$GAME_COLOUR" ] || fail "the window has the game colour before game mode"

# The progress bar's visibility, as the UI driver lists the children.
bar_shown() { main_driver children | tr -d '\r' | awk -F'|' '$1 == "msctls_progress32" { print $4; exit }'; }
expect_eq "the progress bar before game mode" "$(bar_shown)" 1

keys_wait ctrl+g "Game Mode Enabled"
wait_value "colour in game mode" "$GAME_COLOUR" main_pixel $X $Y
expect_eq "the progress bar in game mode" "$(bar_shown)" 0

# A key frame in game mode is a key, not text (the Writing Window: below).
cable_say go1
sleep 2
expect_eq "status after a key in game mode" "$(status_text)" "Game Mode Enabled"

# Out of game mode by Ctrl+G: frames are text again.
keys_wait ctrl+g "Listening"
wait_value "colour after game mode" "$before" main_pixel $X $Y
receive go2 "after"

# Disconnect in game mode.
keys_wait ctrl+g "Game Mode Enabled"
keys_wait ctrl+k "Offline"
wait_value "colour after disconnecting" "$before" main_pixel $X $Y
wait_value "the progress bar after disconnecting in game mode" 1 bar_shown

# Offline, Ctrl+G does nothing: once the Ctrl+K after it has connected,
# neither the status nor the colour is game mode's.
keys ctrl+g
keys_wait ctrl+k "Listening"
expect_eq "colour after Ctrl+G offline" "$(main_pixel $X $Y)" "$before"
# Half a frame, then Disconnect and Connect: the next frame comes alone.
# The half comes in one write behind a whole frame "x": once "x" is in the
# Writing Window, the half has been read too.
receive go3 "afterx"
keys_wait ctrl+k "Offline"
keys_wait ctrl+k "Listening"
receive go4 "afterxnew"
wait_sim
quit_app
echo PASS
