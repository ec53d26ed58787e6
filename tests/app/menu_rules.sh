# The main window's menu rules, read with the UI driver's menu report after
# the enabling cycle: offline, with text, connected (with and without
# clipboard text and a selection), in game mode, and with the Writing Window
# hidden (a second start); the items always enabled; File > Show Writing
# Window.
source "$LIB"

NO_CONNECTION="Not available because no connection has been established."
SEND_VIEW_HELP="Sends the contents of the Writing Window to your handheld."
SEND_VIEW_DISABLED="$SEND_VIEW_HELP Not available because the Vellory Writing Window is hidden or there is no text."
SAVE_AS_HELP="Saves the text of the Writing Window to a text file."

# Select All and Save Writing Window As have a Writing Window on the screen
# with text in it to work on, or are disabled, saying why.
nothing_to_select_or_save() {
  expect_menu EditSelectAll 4 0 7 "Selects the entire contents of the Vellory Writing Window. Not available because the Vellory Writing Window is hidden or there is no text."
  expect_menu FileSaveInputViewAs 4 0 7 "$SAVE_AS_HELP Not available because the Vellory Writing Window is hidden or there is no text."
}

offline() {
  expect_menu FileConnect 3 "&Connect" 6 "Opens a connection with your handheld."
  local item
  for item in FileSend FileSendFile FileSendInputView FileSendClipboard; do expect_menu $item 4 0; done
  expect_menu FileSend 7 "Options to send text data to your handheld. $NO_CONNECTION"
  expect_menu FileActivateGameMode 7 "Configures the Vellory Server to treat your handheld as a gaming controller. $NO_CONNECTION"
}

prefs_file "AutoConnect = 0" "Port = 1" "ShowInputView = 1"
start_handheld 'expect go1 3600000'
start_app
main_driver setclipboard || fail "setclipboard"

# Offline, the Writing Window shown and empty.
menu_snapshot
offline
for item in AppleVisitWebSite AppleAboutVellory EditPreferences FileConnect FileShowInputView \
            HelpOnlineDocumentation; do
  expect_menu $item 4 1
done
expect_menu FileShowInputView 3 "Hide W&riting Window" 6 "Hides the Vellory Input Window."
nothing_to_select_or_save
expect_menu FileSendInputView 7 "$SEND_VIEW_DISABLED"

# Offline with text: Select All is there, sending is not.
main_driver settext RICHEDIT "hello" || fail "settext"
menu_snapshot
offline
expect_menu EditSelectAll 4 1 6 "Selects the entire contents of the Writing Window."
expect_menu FileSaveInputViewAs 4 1 6 "$SAVE_AS_HELP"
# Its shortcut still reaches Send, which drops the text while offline (the
# handheld's script would see it before "go1").
keys ctrl+shift+t

# Connected, the clipboard empty, the Writing Window holding text (Connect
# stays enabled: the Ctrl+K below).
keys_wait ctrl+k "Listening"
menu_snapshot
expect_menu FileConnect 3 "&Disconnect" 6 "Closes the serial connection with your handheld."
for item in FileSend FileSendFile; do expect_menu $item 4 1; done
expect_menu FileStopSending 4 0 7 "Stops sending; what has gone out so far stays sent. Not available because nothing is being sent."
expect_menu FileActivateGameMode 4 1 5 0 6 "Configures the Vellory Server to treat your handheld as a gaming controller."
expect_menu FileSendClipboard 4 0 7 "Sends the contents of the clipboard to your handheld. Not available because there is nothing in the Clipboard or it is not text."
expect_menu FileSendInputView 3 "&Writing Window" 4 1 6 "$SEND_VIEW_HELP"

# Text on the clipboard and a selection in the Writing Window.
main_driver setclipboard "on the clipboard" || fail "setclipboard"
main_driver select RICHEDIT 1 2 || fail "select"
menu_snapshot
expect_menu FileSendClipboard 4 1 6 "Sends the contents of the clipboard to your handheld."
expect_menu FileSendInputView 3 "&Selected Text" 4 1 6 "Sends the selected text in the Writing Window to your handheld."

# Game mode.
keys_wait ctrl+g "Game Mode Enabled"
menu_snapshot
expect_menu FileActivateGameMode 4 1 5 1 6 "Switches the Vellory Server from Game Mode to Text Recognition Mode."
keys_wait ctrl+g "Listening"

# One character and nothing selected: still a Writing Window to send.
main_driver settext RICHEDIT "x" || fail "settext"
menu_snapshot
expect_menu FileSendInputView 3 "&Writing Window" 4 1

# Connected with an empty Writing Window: nothing of it to send or select.
main_driver settext RICHEDIT "" || fail "settext"
menu_snapshot
expect_menu FileSendInputView 4 0 7 "$SEND_VIEW_DISABLED"
nothing_to_select_or_save

# Disconnected again.
keys_wait ctrl+k "Offline"
menu_snapshot
offline

# File > Show Writing Window only says that it is not supported.
keys ctrl+e
message_box "This feature is not supported yet on the Vellory Server for Windows."
expect_eq "status after Show Writing Window" "$(status_text)" "Offline"
cable_say go1
wait_sim
quit_app

# The Writing Window hidden (offline as above), with text in it.
prefs_file "AutoConnect = 0" "Port = 1" "ShowInputView = 0" "InputView = hidden%20text"
start_app
menu_snapshot
expect_menu FileShowInputView 3 "Show W&riting Window" 4 1 6 "Displays the Writing Window."
nothing_to_select_or_save
expect_menu FileSendInputView 7 "$SEND_VIEW_DISABLED"
quit_app
echo PASS
