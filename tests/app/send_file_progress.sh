# A long text file (File > Send > Text File..., Ctrl+T): while its lines go
# out the progress bar shows the share sent, growing, and a frame the
# handheld sends half-way arrives in the Writing Window; every line reaches
# the handheld in order with its line end; afterwards the status is
# "Listening" again and the bar is idle.
source "$LIB"
LINES=60000
prefs_file "AutoConnect = 1" "Port = 1" "ShowInputView = 1" "ReturnType = 2" "ShowProgressBar = 1"
seq -f 'line%05g' $LINES | sed 's/$/\r/' > "$WORK/long.txt"
# expect_lines FROM TO: the handheld reads those lines.
expect_lines() { seq -f 'expect line%05g\r\n 30000' "$1" "$2"; }
# The handheld stops reading for a second at each eighth (well within the
# 2 s a send waits for a line that takes nothing), so that the send lasts
# long enough to be watched on any machine.
EIGHTH=$((LINES / 8))
{
  echo 'wait 1000'
  for part in $(seq 0 7); do
    expect_lines $((part * EIGHTH + 1)) $(((part + 1) * EIGHTH))
    if [ "$part" = 3 ]; then echo 'send middle'; fi
    if [ "$part" != 7 ]; then echo 'wait 1000'; fi
  done
  echo 'send done'
  # The cable stays while the test looks at the window; nothing more may
  # come before the test's word that it is done.
  echo 'expect bye 3600000'
} > "$WORK/handheld.script"
start_connected

# bar_blocks: "first count" of the selection-coloured pixels along the
# progress bar's middle row.
bar=$(main_driver children | tr -d '\r' | awk -F'|' '$1 == "msctls_progress32" { print $3; exit }')
[ -n "$bar" ] || fail "no progress bar"
IFS=, read -r BL BT BR BB <<<"$bar"
bar_blocks() { main_driver highlight $((BL + 2)) $(((BT + BB) / 2)) $((BR - BL - 4)) | tr -d '\r'; }
expect_eq "the idle bar" "$(bar_blocks)" "-1 0"

send_file long.txt
# The bar shows the share sent: sampled while the lines go out (80 times,
# 150 ms apart, by one driver), it grows; once all is sent it is idle (0)
# again, so the samples after the last share are left out.
shares=" $(main_driver progress msctls_progress32#0 80 150 | tr -d '\r' | awk '{ print $1 }' | tr '\n' ' ')"
shares=$(sed -E 's/( 0)+ *$//' <<<"$shares")
[ "$(tr ' ' '\n' <<<"$shares" | grep .)" = "$(tr ' ' '\n' <<<"$shares" | grep . | sort -n)" ] \
  || fail "the share sent went back:$shares"
seen=$(tr ' ' '\n' <<<"$shares" | grep -v '^0$' | grep -v '^100$' | sort -u | grep -c .)
(( seen >= 3 )) || fail "the bar showed $seen shares between 0 and 100:$shares"
# The rest of the send takes as long as the machine needs: waited for while
# the handheld keeps receiving (it pauses a second at each eighth), failing
# only when it stops short of every line.
last=-1 still=0
while now=$(received_so_far); [ "$now" -lt $((LINES * 11)) ]; do
  if [ "$now" = "$last" ]; then still=$((still + 1)); else still=0 last=$now; fi
  [ "$still" -lt $((100 * SCALE)) ] || fail "the handheld stopped receiving at $now bytes"
  sleep 0.1
done
wait_writing middledone
wait_status "Listening"
wait_value "the bar after sending" "-1 0" bar_blocks
cable_say bye
wait_sim "the handheld did not get every line in order"
no_message_box
quit_app
echo PASS
