# The preference file: a hand-written one read (comments, a blank line, a
# line without "=", "Port=3", Booleans from 2, -1 and nothing, a key in
# another case, escapes, unknown keys), then the one the program writes when
# it closes: every line in order as "NAME = VALUE", escaped, comments gone,
# unknown keys and the typed text kept. A restart restores that text with the
# insertion point at its end, and writes the same file again. A file of
# 100,000 entries (each name found once per line read) and a long Writing
# Window starts the program as any other does, and is written back whole.
source "$LIB"

prefs_file "; a comment = line" "# another = comment" "" "Port=3" "NoEqualsHere" \
  "  MyKey   =   a%20b%3Dc%25d%2541  " "version = 0.9" "Odd%3DKey = 1" \
  "Spaced = %20lead and trail%20" "X = 30" "Y = 70" "   ; indented comment = 5" \
  "XON = 2" "CTS = -1" "ShowProgressBar =" "Del = a%7Fb%09"
start_app

# Typed as a user types: two line ends, a tab, spaces, "%" and "=".
main_driver chars RICHEDIT $'first line 100% = done\r  second\tline  \rthird' >/dev/null
TYPED=$'first line 100% = done\n  second\tline  \nthird'
wait_value "the typed text" "$TYPED" writing_window
quit_app

EXPECTED="Port = 3
Baud = 12
Bits = 3
Parity = 0
Stop = 0
CTS = 1
DTR = 0
XON = 1
ShowInputView = 1
ShowProgressBar = 0
AutoConnect = 0
EnableKeyRepeat = 1
ReturnType = 0
ShowToolbar = 1
TextEncoder = 0
Width = 450
Height = 200
X = 30
Y = 70
Version = 1.1
MyKey = a%20b%3Dc%25d%2541
Odd%3DKey = 1
Spaced = %20lead%20and%20trail%20
Del = a%7Fb%09
InputView = first%20line%20100%25%20%3D%20done%0D%0A%20%20second%09line%20%20%0D%0Athird"
expect_eq "the written file" "$(prefs_lines)" "$EXPECTED"
# Every line ends in CR LF.
expect_eq "lines ending in CR LF" "$(grep -c $'\r$' "$PREFS")" "$(echo "$EXPECTED" | wc -l)"

# --- a restart reads it all back
start_app
# Typed text lands at the end only if the insertion point is there and
# nothing is selected.
main_driver chars RICHEDIT "!" >/dev/null
wait_value "a character typed at the insertion point" "$TYPED!" writing_window
quit_app
expect_eq "the file after a read and a write" "$(prefs_lines)" "${EXPECTED}!"

# --- a large file: the main window comes within the usual start-up limit
python3 -c 'import sys
for i in range(100000): sys.stdout.write("Entry%06d = value%%20%d\r\n" % (i, i))
sys.stdout.write("InputView = " + "a" * 3070 + "%41\r\n")' > "$PREFS"
start_app
# (its escape straddles the end of the first 3,072 bytes the decoder takes)
expect_eq "a long Writing Window restored" "$(writing_window)" "$(python3 -c 'print("a" * 3070 + "A")')"
quit_app
expect_eq "entries written back" "$(grep -c '^Entry' "$PREFS")" 100000
expect_pref Entry099999 "value%2099999"

# --- the leak report goes only to its own file beside the preferences, never
# to a path the file names
REPORT="$(dirname "$PREFS")/Vellory Objects.txt"
rm -f "$REPORT"
prefs_file "DebugObjectReport = Z:$WORK/elsewhere.txt"
start_app
quit_app
[ -e "$WORK/elsewhere.txt" ] || [ -e "$REPORT" ] && fail "a report written for a path from the file"
prefs_file "DebugObjectReport = 1"
start_app
quit_app
grep -q '^[0-9]* objects' "$REPORT" || fail "no leak report beside the preferences"
rm -f "$REPORT"
echo PASS
