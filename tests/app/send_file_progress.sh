# A long text file (File > Send > Text File..., Ctrl+T): while its lines go
# out the progress bar shows its moving busy block; every line reaches the
# handheld in order with its line end; afterwards the status is "Listening"
# again and the bar is idle.
source "$LIB"
LINES=60000
prefs_file "AutoConnect = 1" "Port = 1" "ShowInputView = 1" "ReturnType = 2" "ShowProgressBar = 1"
seq -f 'line%05g' $LINES | sed 's/$/\r/' > "$WORK/long.txt"
{
  echo 'wait 1000'
  seq -f 'expect line%05g\r\n 30000' $LINES
  echo 'send done'
  echo 'expect-nothing 8000'  # the cable stays while the status is checked
} > "$WORK/handheld.script"
start_sim --script "$WORK/handheld.script"
start_app
wait_status "Listening"

# bar_blocks: "first count" of the selection-coloured pixels along the
# progress bar's middle row.
bar=$(main_driver children | tr -d '\r' | awk -F'|' '$1 == "msctls_progress32" { print $3; exit }')
[ -n "$bar" ] || fail "no progress bar"
IFS=, read -r BL BT BR BB <<<"$bar"
bar_blocks() { main_driver highlight $((BL + 2)) $(((BT + BB) / 2)) $((BR - BL - 4)) | tr -d '\r'; }
expect_eq "the idle bar" "$(bar_blocks)" "-1 0"

send_file long.txt
# From the first line on, the bar shows its busy block, moving. The five
# samples fall well inside the transfer (some 3 s here; once the last line
# is out, the progress timers alone would show the block for a moment).
# Only the screen is looked at: in the middle of a transfer the program
# takes no messages; between lines the runtime runs only its periodic tasks,
# which move the block.
busy=0 places=""
for _ in 1 2 3 4 5; do
  blocks=$(bar_blocks)
  if [ "${blocks#* }" -gt 0 ] 2>/dev/null; then busy=$((busy + 1)); places="$places ${blocks% *}"; fi
done
moves=$(tr ' ' '\n' <<<"$places" | sort -u | grep -c .)
echo "the busy block in $busy of 5 samples, at $moves places"
(( busy >= 4 && moves >= 3 )) || fail "the busy block was seen $busy times in 5 samples, at $moves places"
wait_writing done
wait_status "Listening"
wait_value "the bar after sending" "-1 0" bar_blocks
wait_sim || fail "the handheld did not get every line in order"
no_message_box
quit_app
echo PASS
