# Shared steps of the application tests: each test is a bash script that
# sources this file and drives the real vellory-server.exe, built with its
# image, from outside as a user would, through the UI driver and the
# handheld simulator at the far end of a virtual cable on COM2.
#
# The runner (run_app_test.sh) sets: WINE_RUN, DRIVER, SIM, BUILD, PREFIX.
# Everything a test changes in the prefix (the preference file, the COM2
# link) is put back when it ends, passing or failing.
set -u

WORK=$(mktemp -d)
PREFS="$PREFIX/drive_c/windows/Vellory Prefs"
DEVICES="$PREFIX/dosdevices"
MAIN_CLASS=ZBWindow
MAIN_TITLE="Vellory Server"
APP_PID=
SIM_PID=

saved_com2=$(readlink "$DEVICES/com2" 2>/dev/null || true)
saved_prefs=
if [ -e "$PREFS" ]; then saved_prefs="$WORK/saved-prefs"; cp "$PREFS" "$saved_prefs"; fi

cleanup() {
  [ -n "$APP_PID" ] && kill "$APP_PID" 2>/dev/null
  [ -n "$SIM_PID" ] && kill "$SIM_PID" 2>/dev/null
  rm -f "$DEVICES/com2"
  [ -n "$saved_com2" ] && ln -s "$saved_com2" "$DEVICES/com2"
  rm -f "$PREFS"
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

# prefs_file LINE...: the preference file holds exactly these lines (CR LF).
prefs_file() {
  : > "$PREFS"
  for line in "$@"; do printf '%s\r\n' "$line" >> "$PREFS"; done
}
no_prefs_file() { rm -f "$PREFS"; }

# The preference file's value for KEY (as written, still escaped).
pref_value() { tr -d '\r' < "$PREFS" | sed -n "s/^$1 = //p"; }

# start_sim [SIM ARGS...]: the handheld at the far end of a cable on COM2,
# e.g. start_sim --script FILE; its output goes to $WORK/sim.log.
start_sim() {
  rm -f "$WORK/cable"
  "$SIM" --pty "$WORK/cable" "$@" > "$WORK/sim.log" 2>&1 &
  SIM_PID=$!
  for _ in $(seq 50); do [ -e "$WORK/cable" ] && break; sleep 0.1; done
  [ -e "$WORK/cable" ] || fail "the simulator made no cable"
  mkdir -p "$DEVICES"
  ln -sfn "$(readlink -f "$WORK/cable")" "$DEVICES/com2"
}
wait_sim() {
  wait "$SIM_PID"
  local status=$?
  SIM_PID=
  return $status
}

# Starts the program and waits for its main window.
start_app() {
  (cd "$WORK" && exec "$WINE_RUN" ./vellory-server.exe) &
  APP_PID=$!
  driver wait "$MAIN_CLASS" "$MAIN_TITLE" 30000 >/dev/null || fail "no main window"
}

# Closes the main window (which saves the preferences) and waits for the end.
quit_app() {
  main_driver close >/dev/null
  for _ in $(seq 150); do kill -0 "$APP_PID" 2>/dev/null || break; sleep 0.1; done
  kill -0 "$APP_PID" 2>/dev/null && fail "the program did not end"
  APP_PID=
}

# The Writing Window's text (a RichEdit control), line ends as LF.
writing_window() { main_driver text RICHEDIT | tr -d '\r'; }
status_text() { main_driver text ZB_Pane#0 | tr -d '\r'; }

# The menu report line of item NAME (see ui-driver menustate).
menu_item() { main_driver menustate | tr -d '\r' | awk -F'|' -v n="$1" '$2 == n'; }

# expect_eq WHAT ACTUAL EXPECTED
expect_eq() { [ "$2" = "$3" ] || fail "$1: got '$2', expected '$3'"; }

# wait_for DESCRIPTION COMMAND...: retries for up to 10 s until it succeeds.
wait_for() {
  local what=$1; shift
  for _ in $(seq 100); do "$@" && return 0; sleep 0.1; done
  fail "timed out waiting for $what"
}
