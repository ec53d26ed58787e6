# The main window's size. With "ShowInputView = 0" in the file the window
# starts collapsed to its status line and goes back to 198 x 19 after every
# resize; the file keeps the size the Writing Window had, which the next
# start shows; with the Writing Window shown a resize is kept and written as
# Width and Height when the program ends.
source "$LIB"

resize_main() { main_driver resize "$1" "$2" >/dev/null || fail "could not resize to $1 x $2"; }
main_size() { window_field "$MAIN_TITLE" 5; }

# --- collapsed
prefs_file "ShowInputView = 0" "Width = 470" "Height = 230"
start_app
wait_value "the collapsed size" 198x19 main_size
main_driver children | tr -d '\r' | grep -q '^RICHEDIT|.*|0$' || fail "the Writing Window is shown"
for size in "300 300" "600 150" "198 100" "100 10"; do
  resize_main $size
  wait_value "198 x 19 after a resize to $size" 198x19 main_size
done
quit_app
# Opening the main window marks the Writing Window as shown whatever the
# file said; the collapsed size is not the Writing Window's to save.
expect_prefs ShowInputView=1 Width=470 Height=230

# --- shown: the new size is kept, recorded and saved
start_app
wait_value "the saved size (not the first start's 450 x 200)" 470x230 main_size
main_driver children | tr -d '\r' | grep -q '^RICHEDIT|.*|1$' || fail "the Writing Window is hidden"
resize_main 520 310
wait_value "a size kept with the Writing Window shown" 520x310 main_size
quit_app
expect_prefs Width=520 Height=310 ShowInputView=1
echo PASS
