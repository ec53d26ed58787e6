# First start without a preference file: the setup assistant opens beside
# the main window, which says it is offline.
source "$LIB"
no_prefs_file
start_app
driver wait ZBWindow "Vellory Setup Assistant" 10000 >/dev/null || fail "no setup assistant"
expect_eq "status" "$(status_text)" "Offline"
quit_app
[ -f "$PREFS" ] || fail "no preference file after quitting"
expect_eq "Version" "$(pref_value Version)" "1.1"
echo PASS
