# A scratch folder, a virtual X screen and a wait for a condition, for the
# desktop tests and the whole-process benchmarks: sourced (". xvfb_screen.sh"),
# then open_work_folder; $wait_seconds is the longest wait. start_xvfb sets
# $xvfb to the server's process, the caller $app to the game's; both end with
# the script.

# open_work_folder: a new scratch folder as $work; when the script exits, the
# game ($app) and the X server ($xvfb), where started, are ended and the
# folder removed.
open_work_folder() {
  work=$(mktemp -d)
  app=""
  xvfb=""
  trap close_work_folder EXIT
}
close_work_folder() {
  [ -n "$app" ] && kill "$app" 2>/dev/null
  [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null
  wait 2>/dev/null
  rm -rf "$work"
}

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
