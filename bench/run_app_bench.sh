#!/bin/bash
# Measures the real vellory-server.exe from outside, the way a user meets it,
# and prints figures (it judges none of them): start-up time beside a program
# that only shows a window, processor time while connected and idle, the
# delay from a frame's last byte to its text in the Writing Window, the time
# a 1,000-line text file takes to go out, the time one save of a 1 MiB
# Writing Window takes, and the objects still alive when the main window
# closes. The figures depend on the machine and its load, so
# the machine's load is printed with them.
#
# The program runs in the build's Wine prefix with a preference file of the
# benchmark's own; a virtual cable (a socat pseudo-terminal pair) joins COM2,
# where the program connects, to COM3, where the helpers play the handheld.
# The preference file and the COM2 and COM3 links are put back at the end.
#
# Usage: bench/run_app_bench.sh BUILD_DIR ["SECTION..."]
#   on a private display: scripts/test-session build bench/run_app_bench.sh build
#   SECTION (all by default): startup idle latency sendfile save objects reconnect
#     typing bigprefs
#   BASELINE=EXE in the environment: start-up also timed against that other
#   build of the program (before and after a change)
#   PROGRAM=EXE in the environment: measure that build of the program instead
#   of the one in BUILD_DIR (the helpers still come from BUILD_DIR)
set -u

build=$(cd "$1" && pwd)
prefix=$build/wineprefix
export WINEPREFIX=$prefix
wine_run=$build/wine-run
driver_exe=$build/tools/ui_driver/ui-driver.exe
helpers=$build/bench
prefs="$prefix/drive_c/windows/Vellory Prefs"
devices=$prefix/dosdevices
main_class=ZBWindow
main_title="Vellory Server"
work=$(mktemp -d)
app_pid=
cable_pid=
holder_pid=
recorder_pid=
pull_pid=

saved_com2=$(readlink "$devices/com2" 2>/dev/null || true)
saved_com3=$(readlink "$devices/com3" 2>/dev/null || true)
saved_prefs=
if [ -e "$prefs" ]; then saved_prefs=$work/saved-prefs; cp "$prefs" "$saved_prefs"; fi

restore_link() {  # NAME SAVED-TARGET
  rm -f "$devices/$1"
  if [ -n "$2" ]; then ln -s "$2" "$devices/$1"; fi
}

cleanup() {
  [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null
  [ -n "$recorder_pid" ] && kill "$recorder_pid" 2>/dev/null
  [ -n "$pull_pid" ] && kill "$pull_pid" 2>/dev/null
  # The Wine server opened the cable's devices for the program and has one
  # of them as its controlling terminal: taking the cable away first would
  # hang that up under it. It ends by itself soon after the last program.
  timeout 30 wineserver -w 2>/dev/null
  stop_cable
  restore_link com2 "$saved_com2"
  restore_link com3 "$saved_com3"
  rm -f "$prefs"
  if [ -n "$saved_prefs" ]; then cp "$saved_prefs" "$prefs"; fi
  rm -rf "$work"
}
trap cleanup EXIT

die() { echo "run_app_bench: $*" >&2; exit 1; }
driver() { "$wine_run" "$driver_exe" "$@"; }
main_driver() { local verb=$1; shift; driver "$verb" "$main_class" "$main_title" "$@"; }
helper() { local name=$1; shift; "$wine_run" "$helpers/$name.exe" "$@"; }

# The path Wine's Z: drive gives a Linux path.
windows_path() { echo "Z:${1//\//\\}"; }

# prefs_file LINE...: the preference file holds exactly these lines (CR LF).
prefs_file() {
  : > "$prefs"
  for line in "$@"; do printf '%s\r\n' "$line" >> "$prefs"; done
}

# The settings of every session: the main window shown with its Writing
# Window at one place and size, COM2 at 38400 bit/s (Baud 12), connected at
# start unless the caller says otherwise.
session_prefs() {  # AUTOCONNECT [EXTRA LINE...]
  local auto=$1; shift
  prefs_file "Port = 1" "Baud = 12" "AutoConnect = $auto" "ShowInputView = 1" \
    "X = 120" "Y = 80" "Width = 480" "Height = 320" "Version = 1.1" "$@"
}

# The cable: socat joins two pseudo-terminals. A process of our own holds
# each side open as well, so that the pair outlives a helper or the program
# closing its end (socat stops when the last user of a side goes).
start_cable() {
  rm -f "$work/a" "$work/b"
  socat pty,raw,echo=0,link="$work/a" pty,raw,echo=0,link="$work/b" > /dev/null 2>&1 &
  cable_pid=$!
  for _ in $(seq 50); do [ -e "$work/a" ] && [ -e "$work/b" ] && break; sleep 0.1; done
  [ -e "$work/b" ] || die "socat made no cable"
  (exec 7<>"$work/a" 8<>"$work/b"; exec sleep 100000) &
  holder_pid=$!
  ln -sfn "$(readlink -f "$work/a")" "$devices/com2"
  ln -sfn "$(readlink -f "$work/b")" "$devices/com3"
}
stop_cable() {
  [ -n "$holder_pid" ] && kill "$holder_pid" 2>/dev/null
  [ -n "$cable_pid" ] && kill "$cable_pid" 2>/dev/null
  holder_pid= cable_pid=
}

# The program in a scratch folder (it finds its user guide beside it).
mkdir -p "$work/app"
cp "${PROGRAM:-$build/vellory-server.exe}" "$work/app/vellory-server.exe"
cp "$build/user-guide.html" "$work/app/"

start_app() {
  (cd "$work/app" && exec "$wine_run" ./vellory-server.exe 2>> "$work/app.log") &
  app_pid=$!
  main_driver wait 30000 > /dev/null || die "no main window"
}

quit_app() {
  main_driver close > /dev/null
  for _ in $(seq 200); do kill -0 "$app_pid" 2>/dev/null || break; sleep 0.1; done
  kill -0 "$app_pid" 2>/dev/null && die "the program did not end"
  app_pid=
}

status_text() { main_driver text ZB_Pane#0 | tr -d '\r'; }

# A Linux process of this prefix whose command line holds NAME (not a shell).
# Processor time comes from Linux's accounts: Wine answers GetProcessTimes
# for another process with the caller's own times.
unix_pid() {
  local p
  for p in /proc/[0-9]*; do
    { tr '\0' ' ' < "$p/cmdline"; } 2>/dev/null | grep -q -- "$1" || continue
    { tr '\0' '\n' < "$p/environ"; } 2>/dev/null | grep -qxF "WINEPREFIX=$prefix" || continue
    case $(cat "$p/comm" 2>/dev/null) in sh|bash|xvfb-run) continue ;; esac
    echo "${p#/proc/}"
    return 0
  done
  return 1
}

# Nanoseconds of processor time of all the threads of a process.
cpu_ns() {
  local total=0 ns rest t
  for t in /proc/"$1"/task/*/schedstat; do
    read -r ns rest < "$t" 2>/dev/null && total=$((total + ns))
  done
  echo "$total"
}

# figure NAME NS WALL_MS: "NAME  x ms (y % of one core)"
figure() {
  awk -v name="$1" -v ns="$2" -v wall="$3" \
    'BEGIN { printf "  %-34s %8.1f ms  (%.2f %% of one core)\n", name, ns / 1e6, 100 * ns / 1e6 / wall }'
}

load() { cut -d' ' -f1-3 /proc/loadavg; }

send_file() {  # LINUX-PATH: File > Send > Text File... and the open dialog
  main_driver realkeys ctrl+t > /dev/null
  driver wait "#32770" "Open" 10000 > /dev/null || die "no open dialog"
  driver settext "#32770" "Open" "Edit#0" "$(windows_path "$1")" || die "no file name field"
  driver press "#32770" "Open" "Open" > /dev/null || die "no Open button"
  driver waitgone "#32770" "Open" 10000 > /dev/null || die "the open dialog stayed"
}

# --- 1. start-up -------------------------------------------------------------------

# time_pair RUNS NAME DIR NAME2 DIR2: the timer's table for RUNS starts of
# DIR/NAME.exe and DIR2/NAME2.exe, taking turns, each started in its folder.
time_pair() {
  helper startup-timer "$1" "$2" "$(windows_path "$3")" "$(windows_path "$3/$2.exe")" \
    "$4" "$(windows_path "$5")" "$(windows_path "$5/$4.exe")" | tr -d '\r'
}

bench_startup() {
  echo
  echo "== 1. start-up (machine load $(load))"
  session_prefs 0
  mkdir -p "$work/window"
  cp "$helpers/bench-window.exe" "$work/window/"
  time_pair 10 bench-window "$work/window" vellory-server "$work/app"
  # Before and after a change: another build of the program, timed against
  # this one in the same way.
  if [ -n "${BASELINE:-}" ]; then
    mkdir -p "$work/baseline"
    cp "$BASELINE" "$work/baseline/vellory-server.exe" || die "no baseline $BASELINE"
    cp "$build/user-guide.html" "$work/baseline/"
    echo "  against the baseline $BASELINE:"
    helper startup-timer 10 baseline "$(windows_path "$work/baseline")" \
      "$(windows_path "$work/baseline/vellory-server.exe")" vellory-server "$(windows_path "$work/app")" \
      "$(windows_path "$work/app/vellory-server.exe")" | tr -d '\r'
  fi
  # Where the time goes: one more timed start with the trace asked for (ms
  # since the process was created, ms since the step before, the step),
  # created by the timer as the timed ones are, so that the time before the
  # process entry is the system's loading of the program and its libraries.
  traced_start bench-window "$work/window" vellory-server "$work/app"
  [ -n "${BASELINE:-}" ] && echo "  the baseline:" && traced_start bench-window "$work/window" vellory-server "$work/baseline"
  # The plain program keeps the same marks: the last start of a timer run
  # that times it against itself.
  traced_start bench-window "$work/window" bench-window "$work/window"
  startup_floor
  memory_after_startup
}

# What the libraries the first window needs (OLE, the common controls, rich
# edit) cost on their own: the plain program against itself with them, the
# floor under the application's ratio that no work of the runtime can lower;
# then the application against that floor, which is what the runtime adds.
startup_floor() {
  mkdir -p "$work/libraries"
  cp "$helpers/bench-window-libraries.exe" "$work/libraries/"
  echo "  the plain program with the first window's libraries (OLE, common controls, rich edit):"
  time_pair 10 bench-window "$work/window" bench-window-libraries "$work/libraries" | sed 's/^/  /'
  traced_start bench-window "$work/window" bench-window-libraries "$work/libraries"
  echo "  the application against that floor:"
  time_pair 10 bench-window-libraries "$work/libraries" vellory-server "$work/app" | sed 's/^/  /'
}

# private_kb PID: the process's private memory as Linux counts it (its
# resident anonymous pages: heaps, stacks, written copies of mapped files).
private_kb() { sed -n 's/^RssAnon:[[:space:]]*\([0-9]*\) kB/\1/p' "/proc/$1/status"; }

# memory_of DIR EXE CLASS TITLE: the private memory of DIR/EXE 3 s after its
# window (CLASS, TITLE) came; the program is closed again.
memory_of() {
  local pid kb
  (cd "$1" && exec "$wine_run" "./$2" 2>> "$work/app.log") &
  pid=$!
  driver wait "$3" "$4" 30000 > /dev/null || die "no window from $2"
  sleep 3
  kb=$(private_kb "$(unix_pid "$2")")
  driver close "$3" "$4" > /dev/null
  wait "$pid"
  echo "${kb:-?}"
}

memory_after_startup() {
  echo "  private memory 3 s after the window came (resident anonymous memory, as Linux counts it):"
  echo "    bench-window $(memory_of "$work/window" bench-window.exe BenchWindow "Bench Window") KB," \
    "vellory-server $(memory_of "$work/app" vellory-server.exe "$main_class" "$main_title") KB"
  [ -n "${BASELINE:-}" ] &&
    echo "    the baseline $(memory_of "$work/baseline" vellory-server.exe "$main_class" "$main_title") KB"
}

# traced_start NAME DIR NAME2 DIR2: one timed start of each with the trace
# asked for; prints the second one's time to its first visible window and
# its trace.
traced_start() {
  local trace=$work/startup-trace.txt
  rm -f "$trace"
  export VELLORY_STARTUP_TRACE
  VELLORY_STARTUP_TRACE=$(windows_path "$trace")
  time_pair 1 "$@" \
    | grep -a "^  $3  *[0-9]" | tail -1 | sed "s/^  $3 */  $3, traced start (to its first visible window): /"
  unset VELLORY_STARTUP_TRACE
  echo "  step by step (ms since the process was created, ms for the step):"
  tr -d '\r' < "$trace" 2>/dev/null | sed 's/^/    /' || echo "    (no trace written)"
}

# --- 2. processor time while connected and idle --------------------------------------

# cpu_over SECONDS: the processor time of the program and of the Wine server
# over SECONDS, as Linux counts it.
cpu_over() {
  local seconds=$1 pid server a0 s0 a1 s1 t0 t1
  pid=$(unix_pid vellory-server.exe) || die "no Linux process for the program"
  server=$(unix_pid wineserver) || die "no wineserver for this prefix"
  sleep 2
  t0=$(date +%s%N); a0=$(cpu_ns "$pid"); s0=$(cpu_ns "$server")
  sleep "$seconds"
  t1=$(date +%s%N); a1=$(cpu_ns "$pid"); s1=$(cpu_ns "$server")
  local wall=$(((t1 - t0) / 1000000))
  echo "  as Linux counts it over $wall ms:"
  figure "the program's Wine process" $((a1 - a0)) "$wall"
  figure "the prefix's Wine server" $((s1 - s0)) "$wall"
  figure "both" $((a1 - a0 + s1 - s0)) "$wall"
}

bench_idle() {
  local seconds=10
  echo
  echo "== 2. processor time, connected on COM2 and idle for $seconds s (machine load $(load))"
  echo "  status line: $(status_text)"
  cpu_over "$seconds"
}

# --- 3. frame delivery latency ------------------------------------------------------------

bench_latency() {
  echo
  echo "== 3. frame delivery, 20 frames (machine load $(load))"
  helper delivery-probe COM3 20 screen | tr -d '\r'
  helper delivery-probe COM3 20 text | tr -d '\r'
}

# --- 4. sending a 1,000-line text file --------------------------------------------------------

bench_send_file() {
  local text=$work/lines.txt expected=$work/expected.bin got=$work/received.bin
  echo
  echo "== 4. File > Send > Text File..., 1,000 lines at 38400 bit/s (machine load $(load))"
  for i in $(seq 1000); do printf 'Line %04d of the text file that goes to the handheld.\r\n' "$i"; done > "$text"
  # What the handheld should get: each line with a carriage return (the
  # default line end), the file's own line ends left behind.
  tr -d '\n' < "$text" > "$expected"
  local bytes
  bytes=$(stat -c %s "$expected")
  helper cable-recorder COM3 "$bytes" "$(windows_path "$got")" 3000 > "$work/recorder.out" &
  recorder_pid=$!
  sleep 2
  send_file "$text"
  wait "$recorder_pid"
  recorder_pid=
  tr -d '\r' < "$work/recorder.out" | sed 's/^/  /'
  local received
  received=$(stat -c %s "$got" 2>/dev/null || echo 0)
  echo "  expected $bytes bytes; the bytes received $(cmp -s "$expected" "$got" && echo match || echo "DO NOT match") the lines sent"
  awk -v b="$received" 'BEGIN { printf "  the line itself at 38400 bit/s would take %.1f ms for %d bytes (10 bits each)\n", b * 10 * 1000 / 38400, b }'
  echo "  (the cable is a pseudo-terminal: it takes bytes as fast as they are written"
  echo "   and does not pace them at the baud rate, so the time above is the program's"
  echo "   own pace of reading and writing lines, not what a real 38400 bit/s line allows)"
}

# --- 5. one save of a 1 MiB Writing Window ----------------------------------------------------

# The log-off messages save at once and their sender waits for the answers:
# their round trip with a 1 MiB Writing Window, less the round trip with one
# character, is one save (the end, after the question's save, finds nothing
# changed).
endsession_ms() {
  local t0 t1
  t0=$(date +%s%N)
  main_driver endsession > /dev/null || die "no answer to the log-off message"
  t1=$(date +%s%N)
  echo $(((t1 - t0) / 1000000))
}

bench_save() {
  local big small
  echo
  echo "== 5. saving the Writing Window (machine load $(load))"
  session_prefs 0 "InputView = x"
  start_app
  small=$(endsession_ms)
  quit_app
  # 1 MiB of ordinary text in lines of 64, as the file escapes it.
  session_prefs 0 "InputView = $(python3 -c 'import sys
line = "The quick brown fox jumps over the lazy dog, again and again...."
sys.stdout.write(("%20".join(line.split(" ")) + "%0D%0A") * (1048576 // 66))')"
  start_app
  big=$(endsession_ms)
  echo "  log-off round trip with one character: $small ms; with 1 MiB: $big ms"
  echo "  one save of 1 MiB: $((big - small)) ms; the file is $(stat -c %s "$prefs") bytes"
  quit_app
}

# --- 6. objects alive when the main window closes ----------------------------------------------

# The class names of a report, one a line (its first two lines are totals).
report_names() { tail -n +3 "$1" | tr -d '\r'; }
report_classes() { report_names "$1" | sort | uniq -c; }

# The program writes its report only beside the preference file, under a
# name of its own: it is moved to REPORT-PATH after each session.
object_session() {  # REPORT-PATH [full]
  local report; report="$(dirname "$prefs")/Vellory Objects.txt"
  rm -f "$report"
  session_prefs 1 "DebugObjectReport = 1"
  start_app
  if [ "${2:-}" = full ]; then
    helper delivery-probe COM3 3 text > /dev/null || echo "  (frames were not all delivered)"
    main_driver realkeys ctrl+shift+t > /dev/null           # Send > Writing Window
    printf 'one\r\ntwo\r\nthree\r\n' > "$work/three.txt"
    send_file "$work/three.txt"
    main_driver realkeys alt+h v > /dev/null                # Help > About Vellory...
    driver wait '*' "About View" 10000 > /dev/null || die "no About window"
    driver click '*' "About View" 50 50 > /dev/null
    driver waitgone '*' "About View" 10000 > /dev/null || die "the About window stayed"
    main_driver realkeys ctrl+/ > /dev/null                 # Edit > Preferences...
    driver wait '*' "Preferences" 10000 > /dev/null || die "no Preferences window"
    driver press '*' "Preferences" Cancel > /dev/null
    driver waitgone '*' "Preferences" 10000 > /dev/null || die "the Preferences window stayed"
  fi
  quit_app
  [ -f "$report" ] || die "no object report at $report"
  mv "$report" "$1"
}

bench_objects() {
  local quiet=$work/objects-quiet.txt full=$work/objects-full.txt
  echo
  echo "== 6. objects alive when the main window closes (machine load $(load))"
  object_session "$quiet"
  object_session "$full" full
  echo "  after a session that receives 3 frames, sends the Writing Window and a"
  echo "  3-line file, opens About and Preferences (Cancel), then closes:"
  tr -d '\r' < "$full" | head -2 | sed 's/^/    /'
  report_classes "$full" | sed 's/^/  /'
  echo "  after a session that only starts and closes:"
  tr -d '\r' < "$quiet" | head -2 | sed 's/^/    /'
  echo "  classes whose count differs (full session, start and close only):"
  awk 'NR == FNR { quiet[$0]++; names[$0]; next } { full[$0]++; names[$0] }
       END { for (n in names) if (full[n] != quiet[n]) { printf "    %-28s %4d %4d\n", n, full[n], quiet[n]; more = 1 }
             if (!more) print "    none" }' <(report_names "$quiet") <(report_names "$full")
}

# --- 6. a pulled cable and its return ------------------------------------------------------

# A cable that can be pulled: COM2 is linked to the path of socat's end
# itself, so that a new socat at the same path is the same cable plugged in
# again. Nothing else holds its ends, so ending socat pulls it.
plug_pullable() {
  rm -f "$work/p" "$work/q"
  socat pty,raw,echo=0,link="$work/p" pty,raw,echo=0,link="$work/q" > /dev/null 2>&1 &
  pull_pid=$!
  for _ in $(seq 1000); do [ -e "$work/p" ] && return 0; sleep 0.005; done
  die "socat made no cable"
}
pull_pullable() { kill "$pull_pid"; wait "$pull_pid" 2>/dev/null; pull_pid=; }

# time_to_status TEXT ACTION: runs ACTION once status-watch is watching and
# prints the milliseconds from the end of ACTION to the status line reading
# TEXT.
time_to_status() {
  local out=$work/watch.out watch t0 seen
  : > "$out"
  helper status-watch "$1" 30000 > "$out" 2>&1 &
  watch=$!
  for _ in $(seq 400); do grep -q watching "$out" && break; sleep 0.025; done
  grep -q watching "$out" || die "status-watch did not start: $(cat "$out")"
  $2
  t0=$(($(date +%s%N) / 1000000))
  wait "$watch"
  seen=$(tr -d '\r' < "$out" | sed -n 's/^seen //p')
  [ -n "$seen" ] || die "the status line never read $1"
  echo $((seen - t0))
}

# summary NAME MS...: median and maximum.
summary() {
  local name=$1; shift
  printf '%s\n' "$@" | sort -n | awk -v name="$name" '{ v[NR] = $1 } END {
    m = NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2
    printf "  %-34s median %6.0f ms, maximum %6.0f ms  (", name, m, v[NR]
    for (i = 1; i <= NR; i++) printf "%s%d", (i > 1 ? " " : ""), v[i]
    print ")" }'
}

bench_reconnect() {
  local tries=10 pulls=() returns=() i
  echo
  echo "== 7. a pulled cable and its return, AutoConnect on, $tries times each (machine load $(load))"
  echo "  (from socat ended, or its path back, to the status line's text; the status"
  echo "  line asked for every 5 ms)"
  plug_pullable
  ln -sfn "$work/p" "$devices/com2"
  session_prefs 1
  start_app
  helper status-watch Listening 20000 > /dev/null || die "not connected at start: $(status_text)"
  for i in $(seq "$tries"); do
    pulls+=("$(time_to_status Offline pull_pullable)")
    returns+=("$(time_to_status Listening plug_pullable)")
  done
  summary "pulled to Offline" "${pulls[@]}"
  summary "back to Listening" "${returns[@]}"
  echo
  echo "== 6b. processor time, 10 s connected and idle, then 10 s offline waiting to reconnect"
  echo "  connected (status line: $(status_text)):"
  cpu_over 10
  time_to_status Offline pull_pullable > /dev/null
  echo "  offline after the pull (status line: $(status_text)):"
  cpu_over 10
  quit_app
}

# --- 8. typing during a long send -----------------------------------------------------

# The Writing Window holds 200 KB and goes to the handheld (Send > Writing
# Window); the probe reads the cable at the pace of a 38400 bit/s line, so
# that the line stays full, and times keys typed meanwhile.
bench_typing() {
  echo
  echo "== 8. typing during a long send, at 38400 bit/s (machine load $(load))"
  python3 -c 'import sys
sys.stdout.write(("Text that goes to the handheld while the user types. " * 20 + "\r\n") * 190)' > "$work/long.txt"
  main_driver settextfile RICHEDIT "$(windows_path "$work/long.txt")" || die "no Writing Window"
  main_driver realclick 200 150 > /dev/null
  helper typing-probe COM3 20 idle | tr -d '\r'
  main_driver realkeys ctrl+shift+t > /dev/null
  helper typing-probe COM3 20 | tr -d '\r'
  main_driver realkeys esc > /dev/null
  sleep 1
  main_driver settext RICHEDIT "" > /dev/null
}

# --- 9. start-up with a large preference file -------------------------------------------

# N entries besides the program's own, as a file kept by a newer version or
# by hand could hold them; one timed start each, no untimed one first.
bench_bigprefs() {
  local n
  echo
  echo "== 9. start-up with a large preference file (machine load $(load))"
  for n in ${BIGPREFS_SIZES:-1000 3000 10000 30000}; do
    session_prefs 0
    python3 -c "import sys
for i in range($n): sys.stdout.write('Entry%05d = a%%20value%%20of%%20entry%%20number%%20%d\r\n' % (i, i))" >> "$prefs"
    printf '  %6d entries, %8d bytes:' "$n" "$(stat -c %s "$prefs")"
    rm -f "$work/bigprefs-trace.txt"
    VELLORY_STARTUP_TRACE=$(windows_path "$work/bigprefs-trace.txt") \
      helper startup-timer once "${BIGPREFS_GIVE_UP_MS:-900000}" vellory-server "$(windows_path "$work/app")" \
      "$(windows_path "$work/app/vellory-server.exe")" | tr -d '\r' | sed 's/^  vellory-server  */ /'
    # The steps that took longest (the trace of a build that writes one).
    tr -d '\r' < "$work/bigprefs-trace.txt" 2>/dev/null | sort -k2,2 -rn | head -3 | sed 's/^/      /'
  done
}

[ -x "$wine_run" ] || die "no $wine_run: build first"
sections=${2:-startup idle latency sendfile save objects reconnect typing bigprefs}
wants() { [[ " $sections " == *" $1 "* ]]; }
echo "vellory-server.exe benchmark, $(nproc) processors, machine load at start $(load)"
wants startup && bench_startup
start_cable
if wants idle || wants latency || wants sendfile || wants typing; then
  session_prefs 1
  start_app
  wants idle && bench_idle
  wants latency && bench_latency
  wants sendfile && bench_send_file
  wants typing && bench_typing
  quit_app
fi
wants bigprefs && bench_bigprefs
wants save && bench_save
wants objects && bench_objects
wants reconnect && bench_reconnect
echo
echo "machine load at the end $(load)"
