# Shared steps of the application tests, bash scripts that source this file
# (run_app_test.sh sets WINE_RUN, DRIVER, SIM, BUILD, PREFIX) and drive the real
# vellory-server.exe as a user would: the UI driver, and the handheld simulator
# at the far end of a cable on COM2. What a test changes in the prefix (the
# preference file, the port links) is put back when it ends, passing or failing.
set -u

WORK=$(mktemp -d)
# The folder the program is started from (and found in): WORK unless a test
# puts its copy elsewhere.
APP_DIR=$WORK
PREFS="$PREFIX/drive_c/windows/Vellory Prefs"
DEVICES="$PREFIX/dosdevices"
MAIN_CLASS=ZBWindow
MAIN_TITLE="Vellory Server"
APP_PID=
SIM_PID=
WATCH_PID=
# A simulator that only holds the cable holds it for an hour, however slow
# the machine; the test ends it.
HOLD="wait 3600000"
# How many times slower than usual this machine runs the tests: the loops
# below that wait on the clock alone stretch by it (the UI driver's waits
# stretch themselves).
SCALE=${VELLORY_TIME_SCALE:-1}

saved_prefs=
if [ -e "$PREFS" ]; then saved_prefs="$WORK/saved-prefs"; cp "$PREFS" "$saved_prefs"; fi

cleanup() {
  local pid n
  [ -n "$APP_PID" ] && kill "$APP_PID" 2>/dev/null
  [ -n "$SIM_PID" ] && kill "$SIM_PID" 2>/dev/null
  [ -n "$WATCH_PID" ] && kill "$WATCH_PID" 2>/dev/null
  [ -n "$HOLDER_PID" ] && kill "$HOLDER_PID" 2>/dev/null
  for pid in "${CABLE_PIDS[@]}"; do kill "$pid" 2>/dev/null; done
  for n in "${LISTED_PORTS[@]}"; do unlist_port "$n"; done
  for n in "${!SAVED_LINKS[@]}"; do
    rm -f "$DEVICES/com$n"
    [ -n "${SAVED_LINKS[$n]}" ] && ln -s "${SAVED_LINKS[$n]}" "$DEVICES/com$n"
  done
  rm -rf "$PREFS" "$PREFS".unreadable*
  [ -n "$saved_prefs" ] && cp "$saved_prefs" "$PREFS"
  rm -rf "$WORK"
}
trap cleanup EXIT

fail() {
  echo "FAIL: $*"
  [ -f "$WORK/sim.log" ] && { echo "--- simulator"; cat "$WORK/sim.log"; }
  exit 1
}

driver() { "$WINE_RUN" "$DRIVER" "$@"; }
main_driver() { local verb=$1; shift; driver "$verb" "$MAIN_CLASS" "$MAIN_TITLE" "$@"; }

# The program in a scratch folder, with the user guide beside it.
cp "$BUILD/vellory-server.exe" "$BUILD/user-guide.html" "$WORK/"

# prefs_file LINE...: the preference file holds exactly these lines (CR LF; at least one).
prefs_file() { printf '%s\r\n' "$@" > "$PREFS"; }

# The preference file's value for KEY (as written, still escaped).
pref_value() { tr -d '\r' < "$PREFS" | sed -n "s/^$1 = //p"; }

# start_sim [SIM ARGS...]: the handheld at the far end of a cable on COM2,
# e.g. start_sim --script FILE; its output goes to $WORK/sim.log, and the
# number of bytes it has received to $WORK/tally.
start_sim() {
  rm -f "$WORK/cable" "$WORK/tally"
  TALLY_MARK=0
  "$SIM" --pty "$WORK/cable" --tally "$WORK/tally" "$@" > "$WORK/sim.log" 2>&1 &
  SIM_PID=$!
  cable_made "$WORK/cable"
  link_port 2 "$(readlink -f "$WORK/cable")"
}
# cable_made LINK: a simulator's pseudo-terminal appears at LINK.
cable_made() { wait_for "the simulator's cable at $1" test -e "$1"; }
# wait_sim [WHAT]: the handheld's script ends and passes (else fails saying WHAT).
wait_sim() {
  wait "$SIM_PID" || fail "${1:-the script of the handheld failed}"
  SIM_PID=
}

# start_app [PATTERN]: starts the program and waits for its main window;
# with PATTERN, a start that stops at a message box first whose text matches
# PATTERN (a glob: '\\' for a backslash), which is answered.
start_app() {
  (cd "$APP_DIR" && exec "$WINE_RUN" ./vellory-server.exe) &
  APP_PID=$!
  [ $# = 0 ] || message_matching "$1"
  driver wait "$MAIN_CLASS" "$MAIN_TITLE" 30000 >/dev/null || fail "no main window"
}

# app_ends TENTHS WHAT: waits up to TENTHS tenths of a second for the
# program's process to end, and fails with WHAT if it does not.
app_ends() {
  for _ in $(seq $(($1 * SCALE))); do kill -0 "$APP_PID" 2>/dev/null || break; sleep 0.1; done
  kill -0 "$APP_PID" 2>/dev/null && fail "$2"
  APP_PID=
}
# Closes the main window (which saves the preferences) and waits for the end.
quit_app() { main_driver close >/dev/null; app_ends 150 "the program did not end"; }
# Ends the program as a crash or the task manager would: no window closes,
# nothing is saved on the way out.
# Only this test's copy, found by its folder: another test's program, in a
# run beside this one, is not this test's to end.
kill_app() {
  local pid here
  here=$(readlink -f "$APP_DIR")
  for pid in $(pgrep -f 'vellory-server\.exe'); do
    [ "$(readlink -f "/proc/$pid/cwd" 2>/dev/null)" = "$here" ] && kill -KILL "$pid"
  done
  app_ends 100 "the program outlived its kill"
}

# writing_from NAME: the Writing Window holds the bytes of $WORK/NAME (a
# text too long for a command line); Wine's Z: drive is the Linux root.
writing_from() { main_driver settextfile RICHEDIT "Z:$WORK/$1" || fail "the Writing Window's text"; }

# The Writing Window's text (a RichEdit control), line ends as LF.
writing_window() { main_driver text RICHEDIT | tr -d '\r'; }
# The status line's text, found by its place (TextStatus at 21,2): while the
# progress bar is busy, its sweeping block is a ZB_Pane too, listed before
# the status line.
status_text() {
  main_driver children | tr -d '\r' | awk -F'|' '$1 == "ZB_Pane" && $3 ~ /^21,2,/ { print $2; exit }'
}

expect_eq() { [ "$2" = "$3" ] || fail "$1: got '$2', expected '$3'"; }

# wait_for DESCRIPTION COMMAND...: retries for up to WAIT_SECONDS (10 by
# default) times SCALE until it succeeds.
wait_for() {
  local what=$1; shift
  for _ in $(seq $((${WAIT_SECONDS:-10} * 10 * SCALE))); do "$@" && return 0; sleep 0.1; done
  fail "timed out waiting for $what"
}

# --- helpers of the setup, preference and window tests -----------------------

SETUP_TITLE="Vellory Setup Assistant"
PREFS_TITLE="Preferences"
ABOUT_TITLE="About View"

# A first start (no preference file), up to the setup assistant.
start_with_assistant() {
  rm -f "$PREFS"
  start_app
  driver wait ZBWindow "$SETUP_TITLE" 10000 >/dev/null || fail "no setup assistant"
}

prefs_lines() { tr -d '\r' < "$PREFS"; }

# expect_pref KEY VALUE: the file holds "KEY = VALUE" (VALUE as written);
# expect_prefs KEY=VALUE...: so for each.
expect_pref() {
  grep -qxF "$1 = $2" <(prefs_lines) || fail "preference $1: got '$(pref_value "$1")', expected '$2'"
}
expect_prefs() { local pair; for pair in "$@"; do expect_pref "${pair%%=*}" "${pair#*=}"; done; }

# choose TITLE CHILD ROW [CHILD ROW]...: the user picks row ROW of each
# popup (ComboBox#N) in turn.
choose() {
  local title=$1
  shift
  while [ $# -ge 2 ]; do
    driver choose ZBWindow "$title" "$1" "$2" >/dev/null || fail "no row $2 in $1 of $title"
    shift 2
  done
  [ $# = 0 ] || fail "choose: a child without a row"
}
# control_value TITLE CHILD: a popup's row or a check box's state.
control_value() { driver value ZBWindow "$1" "$2" | tr -d '\r'; }

# The text of the message box that is up (after waiting for it); then
# message_ok dismisses it.
message_text() {
  driver waittext '#32770' Message Static 10000 | tr -d '\r'
  [ "${PIPESTATUS[0]}" = 0 ] || fail "no message box with a text"
}
message_ok() {
  driver press '#32770' Message OK >/dev/null || fail "no OK button"
  driver waitgone '#32770' Message 10000 >/dev/null || fail "the message box stayed"
}

# window_field TITLE COLUMN: the program's window's screen rectangle "L,T,R,B"
# (3 content area, 4 whole window with its frame) or 5 its content's "WxH".
window_field() {
  driver windows | tr -d '\r' | awk -F'|' -v k="$MAIN_CLASS" -v t="$1" -v c="$2" '$1 == k && $2 == t { print $c; exit }'
}

# wait_value DESCRIPTION EXPECTED COMMAND...: retries the command for up to
# 10 s (times SCALE) until it prints EXPECTED.
wait_value() {
  local what=$1 want=$2 got=
  shift 2
  for _ in $(seq $((100 * SCALE))); do
    got=$("$@")
    [ "$got" = "$want" ] && return 0
    sleep 0.1
  done
  fail "$what: got '$got', expected '$want'"
}

# retry_action WHAT ACTION CHECK...: runs ACTION (a command line), then
# waits a few seconds for CHECK to succeed; up to three tries, since a real
# click can be lost while a busy machine is still bringing a window forward.
# Only for actions that do no harm when repeated (showing a tab, say).
retry_action() {
  local what=$1 action=$2
  shift 2
  for _ in 1 2 3; do
    eval "$action" >/dev/null
    for _ in $(seq 15); do "$@" >/dev/null 2>&1 && return 0; sleep 0.2; done
  done
  fail "timed out waiting for $what"
}

# --- connection, sending and menu tests ------------------------------------------

# start_handheld LINE...: start_sim running a script of these lines ($WORK/handheld.script).
start_handheld() { printf '%s\n' "$@" > "$WORK/handheld.script"; start_sim --script "$WORK/handheld.script"; }
# start_connected [LINE...]: the handheld runs a script of these lines (with
# none, the $WORK/handheld.script already written), and the program, whose
# preference file says AutoConnect = 1, is up and "Listening".
start_connected() {
  if [ $# = 0 ]; then start_sim --script "$WORK/handheld.script"; else start_handheld "$@"; fi
  start_app
  wait_status "Listening"
}

# The message of a send that the handheld stopped taking.
NOT_ACCEPTING="The handheld is not accepting data. Check the cable and the flow-control settings in Preferences."

# cable_say TOKEN: TOKEN reaches the simulator as if the program had sent it.
# A script step "expect TOKEN MS" so waits for the test to let the handheld
# go on; the program itself never sees these bytes (they travel from the
# desktop's end of the cable to the handheld's).
cable_say() {
  python3 -c 'import os, sys
fd = os.open(sys.argv[1], os.O_WRONLY | os.O_NOCTTY)
os.write(fd, sys.argv[2].encode())
os.close(fd)' "$WORK/cable" "$1"
}

# send_file NAME: File > Send > Text File... (Ctrl+T), and NAME, a file in
# the program's folder, chosen in the open dialog.
send_file() {
  keys ctrl+t
  driver wait '#32770' Open 10000 >/dev/null || fail "no open dialog"
  sleep 0.5
  driver settext '#32770' Open Edit#0 "$1" || fail "no file name field"
  driver press '#32770' Open Open || fail "no Open button"
  driver waitgone '#32770' Open 10000 >/dev/null || fail "the open dialog stays"
}

# keys COMBO...: presses shortcut keys in the main window.
keys() { main_driver realkeys "$@" >/dev/null || fail "keys $*"; }
keys_wait() { keys "$1"; wait_status "$2"; }

# menu_snapshot: makes the main window the active one (its enabling rules
# run only then), as its task bar button does, and keeps its menu report in
# $WORK/menus; expect_menu NAME COLUMN EXPECTED [COLUMN EXPECTED]... checks
# columns of one item in it (3 text, 4 enabled, 5 checked, 6 help, 7
# disabled help).
# The enabling cycle runs once the window is active, a moment later: each
# expect_menu takes the report again until it agrees, for up to 10 s.
menu_snapshot() {
  retry_action "the main window to become active" 'main_driver front' main_driver waitactive 0
  read_menus
}
read_menus() { main_driver menustate | tr -d '\r' > "$WORK/menus" || fail "no menu report"; }
menu_column() { awk -F'|' -v n="$1" -v c="$2" '$2 == n { print $c; exit }' "$WORK/menus"; }
expect_menu() {
  [ $(($# % 2)) = 1 ] || fail "expect_menu $1: a column without a value"
  menu_agrees "$@" || wait_for "menu item $* (columns: 3 text, 4 enabled, 5 checked, 6 help, 7 disabled help)" \
    menu_read_agrees "$@"
}
menu_read_agrees() { read_menus; menu_agrees "$@"; }
menu_agrees() {
  local item=$1
  shift
  while [ $# -ge 2 ]; do
    [ "$(menu_column "$item" "$1")" = "$2" ] || return 1
    shift 2
  done
}

message_box() {
  expect_eq "message" "$(message_text)" "$1"
  message_ok
}
# message_matching PATTERN: as message_box, for a text that matches the glob
# PATTERN ('\\' for a backslash).
message_matching() {
  local text
  text=$(message_text)
  [[ $text == $1 ]] || fail "the message: '$text'"
  message_ok
}

# no_message_box [MS]: none comes within MS milliseconds, a second if not
# given (times the machine's scale: the UI driver's waits stretch), so that a
# box that is merely late still fails.
no_message_box() { ! driver wait '#32770' Message "${1:-1000}" >/dev/null 2>&1 || fail "an unexpected message box"; }

# window_pixel TITLE X Y: the colour "R,G,B" at client point X,Y of the
# program's window TITLE as it is on the screen (a screenshot of the
# display); main_pixel X Y: so for the main window.
main_pixel() { window_pixel "$MAIN_TITLE" "$@"; }
window_pixel() {
  local x y at title=$1
  shift
  IFS=, read -r x y _ <<<"$(window_field "$title" 3)"
  at="p{$((x + $1)),$((y + $2))}"
  import -window root "$WORK/screen.png" || fail "no screenshot"
  convert "$WORK/screen.png" -format "%[fx:int(255*$at.r)],%[fx:int(255*$at.g)],%[fx:int(255*$at.b)]" info:
}

wait_writing() { wait_value "the Writing Window" "$1" writing_window; }
# receive TOKEN TEXT: the handheld goes on at TOKEN, and what it sends leaves
# the Writing Window holding TEXT.
receive() { cable_say "$1"; wait_writing "$2"; }
wait_status() { wait_value "the status line" "$1" status_text; }
# received_so_far: the bytes the handheld has received since the last
# mark_tally (or since it started).
received_so_far() { echo $(($(cat "$WORK/tally" 2>/dev/null || echo 0) - TALLY_MARK)); }
mark_tally() { TALLY_MARK=$(cat "$WORK/tally" 2>/dev/null || echo 0); }
# expect_stopped WHAT TOTAL [SENT]: the status line tells of a send of TOTAL
# bytes (a glob) cut short, else fails saying WHAT. The count it gives is
# SENT, or else what the far end bears out: no less than the handheld has
# received since the mark, and no more than that and what a cable holds
# unread besides (a pseudo-terminal buffers at most 64 KB, and 4 KB in its
# line). The 4 KB that a purge leaves of a send stopped earlier may arrive
# after the mark: they are allowed for.
CABLE_HOLDS=$((68 * 1024))
expect_stopped() {
  local status sent received
  status=$(status_text)
  [[ $status =~ ^Stopped:\ ([0-9]+)\ of\ ([0-9]+)\ bytes\ sent$ ]] || fail "$1: '$status'"
  [[ ${BASH_REMATCH[2]} == $2 ]] || fail "$1: '$status', a send of $2 bytes"
  sent=${BASH_REMATCH[1]}
  [ $# -lt 3 ] || { [ "$sent" = "$3" ] || fail "$1: '$status', $3 sent"; return; }
  received=$(received_so_far)
  echo "$1: $sent bytes sent, $received received"
  [ "$sent" -ge $((received - 4096)) ] && [ "$sent" -le $((received + CABLE_HOLDS)) ] ||
    fail "$1: '$status', while the handheld received $received bytes"
}
# watch_status TEXT ... seen_status TEXT: for a status that shows for a
# moment only; the watcher is looking before watch_status returns.
watch_status() {
  main_driver watchtext ZB_Pane "$1" 60000 > "$WORK/watch.out" 2>&1 &
  WATCH_PID=$!
  # The watcher is a Wine program of its own: its start is slow on a loaded machine.
  WAIT_SECONDS=60 wait_for "a watcher on the status line" grep -q watching "$WORK/watch.out"
}
seen_status() {
  local pid=$WATCH_PID
  WATCH_PID=
  wait "$pid" || fail "the status line never read '$1': $(cat "$WORK/watch.out")"
}

# --- a cable that is pulled and plugged in again ----------------------------------

# plug_cable LINE...: start_handheld, with COM2 linked to the cable's path
# itself rather than to the pseudo-terminal behind it, so that a simulator
# started again at the same path is the same cable plugged back in.
plug_cable() {
  start_handheld "$@"
  link_port 2 "$WORK/cable"
}
# pull_cable: the simulator ends and its pseudo-terminal goes with it.
pull_cable() {
  [ -n "$SIM_PID" ] || fail "no cable to pull"
  kill "$SIM_PID"
  wait "$SIM_PID" 2>/dev/null
  SIM_PID=
}

# popup_rows TITLE CHILD: the popup's row texts, one a line, found by
# choosing each row in turn; the popup is left at the row it had.
popup_rows() {
  local was row=0
  was=$(control_value "$1" "$2")
  while driver choose ZBWindow "$1" "$2" $row >/dev/null 2>&1; do
    driver text ZBWindow "$1" "$2" | tr -d '\r'
    row=$((row + 1))
  done
  [ "$was" -ge 0 ] 2>/dev/null && driver choose ZBWindow "$1" "$2" "$was" >/dev/null
}

# open_prefs: Edit > Preferences... (Ctrl+/) and its window up.
open_prefs() {
  driver realkeys "$MAIN_CLASS" "$MAIN_TITLE" ctrl+/ >/dev/null
  driver wait ZBWindow "$PREFS_TITLE" 10000 >/dev/null || fail "Ctrl+/ opened no Preferences window"
}
# close_prefs_with BUTTON: Save or Cancel, and the window gone.
close_prefs_with() {
  driver press ZBWindow "$PREFS_TITLE" "$1" >/dev/null || fail "no $1 button"
  # Save writes the file and may open the line first: on a loaded emulated
  # machine that has taken more than 30 s.
  driver waitgone ZBWindow "$PREFS_TITLE" 30000 >/dev/null || fail "$1 left the Preferences window open"
}

# --- ports: their links (COM2's the cable's too), the system's list, quiet
# cables, a held port. What a test changes here is put back when it ends.

declare -A SAVED_LINKS=()
LISTED_PORTS=()
CABLE_PIDS=()
HOLDER_PID=
HELD_LINK=

# link_port N TARGET: COMn points at TARGET.
link_port() {
  [ -n "${SAVED_LINKS[$1]+set}" ] || SAVED_LINKS[$1]=$(readlink "$DEVICES/com$1" 2>/dev/null || true)
  mkdir -p "$DEVICES"
  ln -sfn "$2" "$DEVICES/com$1"
}

# list_port N: the system lists COMn, as it lists a port Wine was told of.
# The list lives as long as the Wine server: a program of the test must be
# running (hold_port's holder keeps one).
SERIALCOMM='HKLM\HARDWARE\DEVICEMAP\SERIALCOMM'
list_port() {
  "$WINE_RUN" reg add "$SERIALCOMM" /v "\\Device\\VelloryTest$1" /t REG_SZ /d "COM$1" /f >/dev/null 2>&1 \
    || fail "could not add COM$1 to the system's list"
  LISTED_PORTS+=("$1")
}
unlist_port() { "$WINE_RUN" reg delete "$SERIALCOMM" /v "\\Device\\VelloryTest$1" /f >/dev/null 2>&1; }

# quiet_cable N: COMn is a cable that nothing writes to (a simulator only holds its far end).
quiet_cable() {
  printf '%s\n' "$HOLD" > "$WORK/quiet.script"
  "$SIM" --pty "$WORK/quiet$1" --script "$WORK/quiet.script" > /dev/null 2>&1 &
  CABLE_PIDS+=($!)
  cable_made "$WORK/quiet$1"
  link_port "$1" "$(readlink -f "$WORK/quiet$1")"
}

# hold_port N: another program (port-holder.exe) holds COMn, which must lead
# to a device, for exclusive use until release_port or the end of the test.
# Wine, unlike Windows, lets a second program open a held port, which a
# second port-holder --try shows: COMn then points at a device that does not
# exist, which no program can open, until release_port puts its link back.
hold_port() {
  local second
  "$WINE_RUN" "$BUILD/tests/app/port-holder.exe" "COM$1" > "$WORK/holder.log" 2>&1 &
  HOLDER_PID=$!
  wait_for "the other program to hold COM$1" grep -q held "$WORK/holder.log"
  HELD_LINK=
  if second=$("$WINE_RUN" "$BUILD/tests/app/port-holder.exe" --try "COM$1" | tr -d '\r'); then
    echo "COM$1 held by another program opens once more ($second): the system shares serial ports;"
    echo "COM$1 now points at a device that does not exist"
    HELD_LINK=$(readlink "$DEVICES/com$1")
    link_port "$1" "$WORK/no-such-device"
  else
    echo "COM$1 held by another program: $second"
  fi
}
release_port() {
  kill "$HOLDER_PID"
  wait "$HOLDER_PID" 2>/dev/null
  HOLDER_PID=
  [ -z "$HELD_LINK" ] || ln -sfn "$HELD_LINK" "$DEVICES/com$1"
}
