# File > Save Writing Window As... (Ctrl+S): the save dialog suggests
# "Writing Window.txt"; the file gets the text with Windows line ends in the
# Windows code page; the next dialog opens in the folder saved to last (the
# preference file keeps it, so it outlives the program); an existing file is
# replaced whole; a file that cannot be written is named with the reason and
# keeps its old bytes.
source "$LIB"

folder="$WORK/kept texts"
mkdir -p "$folder"
saved="$folder/Writing Window.txt"
windows_path() { local p="Z:$1"; echo "${p//\//\\}"; }

# save_as [PATH]: Ctrl+S, the dialog's suggested name checked, then PATH
# typed over it (or the suggestion kept), and Save.
save_as() {
  keys ctrl+s
  driver wait '#32770' "Save As" 10000 >/dev/null || fail "no save dialog"
  expect_eq "the name the dialog suggests" "$(driver text '#32770' "Save As" Edit#0 | tr -d '\r')" "Writing Window.txt"
  [ $# = 0 ] || driver settext '#32770' "Save As" Edit#0 "$(windows_path "$1")" || fail "no file name field"
  driver press '#32770' "Save As" Save >/dev/null || fail "no Save button"
}

# The question before an existing file is replaced, on top of the dialog
# (Wine titles it "Error", Windows "Confirm Save As"), answered Yes.
agree_to_replace() {
  wait_for "the question before replacing" driver press '#32770' '*' "&Yes" >/dev/null
  driver waitgone '#32770' "Save As" 10000 >/dev/null || fail "the save dialog stayed"
}

# A line end of each kind the text may hold, and a letter outside ASCII.
prefs_file "Port = 1" "ShowInputView = 1" "InputView = caf%E9%0Done%0D%0Atwo%0Athree"
start_app
save_as "$saved"
driver waitgone '#32770' "Save As" 10000 >/dev/null || fail "the save dialog stayed"
wait_for "the saved file" test -s "$saved"
expect_eq "the saved bytes" "$(od -An -c "$saved" | tr -s ' ')" "$(printf 'caf\xe9\r\none\r\ntwo\r\nthree' | od -An -c | tr -s ' ')"
quit_app

# The next start: the suggestion alone lands in the folder kept, replacing
# the file there once the user agrees. The system's own memory of the last
# folder is forgotten first: only the preference file may bring it back.
"$WINE_RUN" reg delete 'HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\ComDlg32' /f >/dev/null 2>&1
start_app
main_driver settext RICHEDIT "replaced" || fail "settext"
save_as
agree_to_replace
wait_value "the replaced file" "replaced" cat "$saved"

# A file that cannot be written: told, with its name and the reason; the old
# bytes stay.
chmod 444 "$saved"
main_driver settext RICHEDIT "not kept" || fail "settext"
save_as
agree_to_replace
message_matching "The text could not be saved to $(windows_path "$saved" | sed 's/\\/\\\\/g'): ?*."
expect_eq "the read-only file" "$(cat "$saved")" "replaced"
chmod 644 "$saved"
quit_app
