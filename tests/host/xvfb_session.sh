# What the tests of the desktop application on a virtual X screen share:
# sourced (". xvfb_session.sh") after setting velmorat and bundle. It makes the
# work folder $work, removes it with the game and the X server at the end, and
# offers waits that look for a condition, bounded only by a time-out that a
# sanitizer build on a busy machine stays far below.
# Exit 77 (skipped) when a tool or the game's data are missing.

skip() { echo "SKIPPED: $*"; exit 77; }
for tool in Xvfb xdotool xwd python3; do
  command -v "$tool" >/dev/null 2>&1 || skip "$tool is not installed (apt-get install xvfb xdotool x11-apps python3)"
done
[ -f "$bundle/Contents/Resources/Data/DATA000.word" ] || skip "no game data in $bundle"

wait_seconds=120
work=$(mktemp -d)
app=""
xvfb=""
cleanup() {
  [ -n "$app" ] && kill "$app" 2>/dev/null
  [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null
  wait 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

# wait_for COMMAND...: true once COMMAND succeeds, false after the time-out.
wait_for() {
  limit=$(($(date +%s) + wait_seconds))
  until "$@"; do
    [ "$(date +%s)" -lt "$limit" ] || return 1
    sleep 0.1
  done
}

# start_xvfb WIDTHxHEIGHT: a virtual screen of that size as $DISPLAY, or false.
# Xvfb picks a free display itself and writes its number once it accepts
# clients; the screen must then answer with its size (other virtual screens
# may come and go on this machine meanwhile), else a second one is tried.
# It listens on the abstract socket only: a server of the same number that is
# just shutting down removes the socket file by name, which would cut off a
# new server that took over the number, while an abstract name belongs to
# its server alone (a taken one makes the start fail, and the retry follows).
# -noreset: by default the server resets when its last client leaves, and a
# game started just after the previous one ended would find no display.
start_xvfb() {
  screen_size=$1
  for attempt in 1 2; do
    rm -f "$work/display"
    Xvfb -displayfd 3 -screen 0 "${screen_size}x24" -nolisten tcp -nolisten unix -noreset 3>"$work/display" >"$work/xvfb.log" 2>&1 &
    xvfb=$!
    wait_for xvfb_settled
    display_known && export DISPLAY=":$(head -n 1 "$work/display")" && wait_for screen_answers && return 0
    kill "$xvfb" 2>/dev/null
    wait "$xvfb" 2>/dev/null
    xvfb=""
  done
  cat "$work/xvfb.log"
  return 1
}
display_known() { grep -q '^[0-9][0-9]*$' "$work/display" 2>/dev/null; }
xvfb_settled() { display_known || ! kill -0 "$xvfb" 2>/dev/null; }
screen_answers() { [ "$(xdotool getdisplaygeometry 2>/dev/null)" = "${screen_size%x*} ${screen_size#*x}" ]; }

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
