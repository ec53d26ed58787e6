# The main window's menu rules, read with
# the UI driver's menu report after the enabling cycle: offline, with text,
# connected (with and without clipboard text and a selection), in game mode,
# and with the Writing Window hidden (a second start); the fixed help texts;
# File > Show Writing Window's message.
source "$LIB"

NO_CONNECTION="Not available because no connection has been established."
SEND_VIEW_HELP="Sends the contents of the Writing Window to your handheld."
SEND_VIEW_DISABLED="$SEND_VIEW_HELP Not available because the Vellory Writing Window is hidden or there is no text."

fixed_help() {
  expect_menu EditUndo 6 "Undoes your last action if it involved cutting, clearing, pasting, or typing."
  expect_menu EditUndo 7 "Undoes your last action if it involved cutting, clearing, pasting, or typing. Not available because your last action cannot be undone."
  local copy="Copies the selected text. The original item remains where it is, and the copy is placed temporarily into a storage area called the Clipboard."
  expect_menu EditCopy 6 "$copy"
  expect_menu EditCopy 7 "$copy Not available because no text is selected."
  local cut="Cuts the selected text. The material you cut is removed and place temporarily into a storage area called the Clipboard."
  expect_menu EditCut 6 "$cut"
  expect_menu EditCut 7 "$cut Not available because no text is selected."
  local paste="Places the contents of the Clipboard at the location of the insertion point (or selection)."
  expect_menu EditPaste 6 "$paste"
  expect_menu EditPaste 7 "$paste Not available because there is nothing on the Clipboard, or because the contents of the Clipboard cannot be pasted at the current insertion point or selection."
  expect_menu EditClear 6 "Removes the selected text without storing it on the Clipboard."
  expect_menu EditClear 7 "Removes the selected text without storing it on the Clipboard. Not available because no text is selected."
  expect_menu EditPreferences 6 "Lets you set various preferences for Vellory Server."
  expect_menu AppleAboutVellory 6 "Displays information about the version of the Vellory Server application."
  expect_menu FileSendFile 6 "Sends a text file to your handheld."
  expect_menu FileQuit 6 "Quits the application."
  local item
  for item in AppleVisitWebSite AppleAboutVellory EditPreferences FileConnect FileShowInputView \
              HelpOnlineDocumentation; do
    expect_menu $item 4 1
  done
}

offline() {
  expect_menu FileConnect 3 "&Connect"
  expect_menu FileConnect 6 "Opens a connection with your handheld."
  local item
  for item in FileSend FileSendFile FileSendInputView FileSendClipboard; do expect_menu $item 4 0; done
  expect_menu FileSend 7 "Options to send text data to your handheld. $NO_CONNECTION"
  expect_menu FileActivateGameMode 7 "Configures the Vellory Server to treat your handheld as a gaming controller. $NO_CONNECTION"
}

prefs_file "AutoConnect = 0" "Port = 1" "ShowInputView = 1"
sim_script 'expect go1 120000'
start_sim --script "$WORK/handheld.script"
start_app
expect_eq "status" "$(status_text)" "Offline"
main_driver setclipboard || fail "setclipboard"

# Offline, the Writing Window shown and empty.
menu_snapshot
offline
fixed_help
expect_menu FileShowInputView 3 "Hide W&riting Window"
expect_menu FileShowInputView 6 "Hides the Vellory Input Window."
expect_menu EditSelectAll 4 0
expect_menu EditSelectAll 7 "Selects the entire contents of the Vellory Writing Window. Not available because the Vellory Writing Window is hidden or there is no text."
expect_menu FileSendInputView 7 "$SEND_VIEW_DISABLED"

# Offline with text: Select All is there, sending is not.
main_driver settext RICHEDIT "hello" || fail "settext"
menu_snapshot
offline
expect_menu EditSelectAll 4 1
expect_menu EditSelectAll 6 "Selects the entire contents of the Writing Window."
# Its shortcut still reaches Send, which drops the text while offline (the
# handheld's script would see it before "go1").
keys ctrl+shift+t

# Connected, the clipboard empty, the Writing Window holding text.
keys ctrl+k
wait_status "Listening"
menu_snapshot
fixed_help
expect_menu FileConnect 3 "&Disconnect"
expect_menu FileConnect 6 "Closes the serial connection with your handheld."
expect_menu FileSend 4 1
expect_menu FileSendFile 4 1
expect_menu FileActivateGameMode 4 1
expect_menu FileActivateGameMode 5 0
expect_menu FileActivateGameMode 6 "Configures the Vellory Server to treat your handheld as a gaming controller."
expect_menu FileSendClipboard 4 0
expect_menu FileSendClipboard 7 "Sends the contents of the clipboard to your handheld. Not available because there is nothing in the Clipboard or it is not text."
expect_menu FileSendInputView 3 "&Writing Window"
expect_menu FileSendInputView 4 1
expect_menu FileSendInputView 6 "$SEND_VIEW_HELP"
expect_menu EditSelectAll 4 1

# Text on the clipboard and a selection in the Writing Window.
main_driver setclipboard "on the clipboard" || fail "setclipboard"
main_driver select RICHEDIT 1 2 || fail "select"
menu_snapshot
expect_menu FileSendClipboard 4 1
expect_menu FileSendClipboard 6 "Sends the contents of the clipboard to your handheld."
expect_menu FileSendInputView 3 "&Selected Text"
expect_menu FileSendInputView 4 1
expect_menu FileSendInputView 6 "Sends the selected text in the Writing Window to your handheld."

# Game mode.
keys ctrl+g
wait_status "Game Mode Enabled"
menu_snapshot
expect_menu FileActivateGameMode 4 1
expect_menu FileActivateGameMode 5 1
expect_menu FileActivateGameMode 6 "Switches the Vellory Server from Game Mode to Text Recognition Mode."
keys ctrl+g
wait_status "Listening"

# Connected with an empty Writing Window: nothing of it to send or select.
main_driver settext RICHEDIT "" || fail "settext"
menu_snapshot
expect_menu FileSendInputView 4 0
expect_menu FileSendInputView 7 "$SEND_VIEW_DISABLED"
expect_menu EditSelectAll 4 0

# Disconnected again.
keys ctrl+k
wait_status "Offline"
menu_snapshot
offline

# File > Show Writing Window only says that it is not supported.
keys ctrl+e
message_box "This feature is not supported yet on the Vellory Server for Windows."
expect_eq "status after Show Writing Window" "$(status_text)" "Offline"
cable_say go1
wait_sim || fail "the handheld's script failed"
quit_app

# The Writing Window hidden.
prefs_file "AutoConnect = 0" "Port = 1" "ShowInputView = 0"
start_app
menu_snapshot
offline
fixed_help
expect_menu FileShowInputView 3 "Show W&riting Window"
expect_menu FileShowInputView 6 "Displays the Writing Window."
expect_menu EditSelectAll 4 0
expect_menu FileSendInputView 7 "$SEND_VIEW_DISABLED"
quit_app
echo PASS
