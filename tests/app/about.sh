# The About window: Help > About Vellory... (Alt+H, then V, through the
# system's input) opens it with "Version 1.1" in its corner; a real click
# inside it closes it. A second opening works the same way.
source "$LIB"

prefs_file "Version = 1.1"
start_app
for round in 1 2; do
  driver realkeys "$MAIN_CLASS" "$MAIN_TITLE" alt+h v >/dev/null
  driver wait ZBWindow "$ABOUT_TITLE" 10000 >/dev/null || fail "Alt+H V opened no About window ($round)"
  expect_eq "version text" "$(driver texts ZBWindow "$ABOUT_TITLE" | tr -d '\r' | sed -n 's/^ZB_Pane|//p')" \
    "Version 1.1"
  [ $round = 1 ] && screenshot about "$ABOUT_TITLE"
  driver realclick ZBWindow "$ABOUT_TITLE" 60 120 >/dev/null
  driver waitgone ZBWindow "$ABOUT_TITLE" 10000 >/dev/null || fail "a click left the About window open ($round)"
done
quit_app
echo PASS
