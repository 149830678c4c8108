# What the tests of the desktop application on a virtual X screen share:
# sourced (". xvfb_session.sh") after setting velmorat and bundle. It makes the
# work folder $work, removes it with the game and the X server at the end, and
# offers waits that look for a condition, bounded only by a time-out that a
# sanitizer build on a busy machine stays far below.
# Exit 77 (skipped) when a tool or the game's data are missing; in CI
# (VELMORAT_CI set) that fails instead.

skip() { echo "SKIPPED: $*"; [ -n "${VELMORAT_CI:-}" ] && exit 1; exit 77; }
for tool in Xvfb xdotool xwd python3; do
  command -v "$tool" >/dev/null 2>&1 || skip "$tool is not installed (apt-get install xvfb xdotool x11-apps python3)"
done
[ -f "$bundle/Contents/Resources/Data/DATA000.word" ] || skip "no game data in $bundle"

wait_seconds=120
. "$here/xvfb_screen.sh"
open_work_folder

# start_game: the game in the background, its log in $work/log.txt.
start_game() {
  "$velmorat" --bundle "$bundle" >"$work/log.txt" 2>"$work/err.txt" &
  app=$!
}

# focus WINDOW: gives the window the keyboard, or false.
focus() {
  focus_target=$1
  xdotool windowfocus "$focus_target" 2>/dev/null
  wait_for has_focus
}
has_focus() { [ "$(xdotool getwindowfocus 2>/dev/null)" = "$focus_target" ]; }

# to_command_prompt: Return once for each "Weiter..." page (INKEY in the
# log) until the game asks for a command (INPUT), or false. One key a page:
# a Return more would be an empty command that changes the screen.
to_command_prompt() {
  returns=0
  wait_for answered_pages_until_input
}
answered_pages_until_input() {
  grep -q 'Command = INPUT' "$work/log.txt" && return 0
  pages=$(grep -c 'Command = INKEY' "$work/log.txt")
  while [ "$returns" -lt "$pages" ]; do
    xdotool key Return
    returns=$((returns + 1))
  done
  return 1
}
