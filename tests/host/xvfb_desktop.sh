#!/bin/sh
# The player's desktop on a virtual X screen of the given size: both game
# windows whole on screen at start, side by side; the picture filling its
# window after a resize, and its place remembered for the next run; quitting
# with Ctrl+Q at a "Weiter..." prompt and with Ctrl+Shift+Q at the command
# prompt (process gone, status 0); a wrong --bundle fails with status 1.
# Usage: xvfb_desktop.sh VELMORAT BUNDLE WIDTHxHEIGHT SHOTS. Screenshots go to
# SHOTS (PNG). Exit 77 (skipped) when a tool or the game's data are missing.
set -u
velmorat=$1
bundle=$2
size=$3
shots=$4
here=$(dirname "$0")
screen_width=${size%x*}
screen_height=${size#*x}
fail() { echo "FAILED ($size): $*"; [ -f "$work/err.txt" ] && cat "$work/err.txt"; exit 1; }
. "$here/xvfb_session.sh"
mkdir -p "$shots"

# A wrong bundle: one line on standard error, status 1, no window needed.
"$velmorat" --bundle /wrong/path >"$work/out.txt" 2>"$work/err.txt"
status=$?
[ "$status" -eq 1 ] || fail "--bundle /wrong/path ended with $status, not 1"
[ "$(wc -l <"$work/err.txt")" -eq 1 ] || fail "--bundle /wrong/path: not one line of error"
grep -q '/wrong/path' "$work/err.txt" || fail "the error does not name the bundle"
"$velmorat" --headless --bundle /wrong/path >/dev/null 2>&1
[ $? -eq 1 ] || fail "--headless --bundle /wrong/path did not end with 1"

start_xvfb "$size" || fail "Xvfb did not start"
# Settings and logs of these runs stay in the work folder.
export XDG_CONFIG_HOME="$work/config" XDG_STATE_HOME="$work/state"

# Sets the geometry of the visible window whose title starts with $1 into
# x, y, w, h and its id into id.
find_window() {
  id=$(xdotool search --onlyvisible --name "^$1" 2>/dev/null | head -n 1)
  [ -n "$id" ] || return 1
  eval "$(xdotool getwindowgeometry --shell "$id" | sed -n 's/^\(X\|Y\|WIDTH\|HEIGHT\)=/\1=/p')"
  x=$X y=$Y w=$WIDTH h=$HEIGHT
}
both_windows_shown() {
  kill -0 "$app" 2>/dev/null || fail "the game ended before its windows appeared"
  find_window Bildfenster && find_window Textfenster && grep -q 'Command = INKEY' "$work/log.txt"
}
shot() {
  xwd -root -silent -out "$work/screen.xwd"
  [ -n "${1:-}" ] && python3 "$here/screen_shot.py" "$work/screen.xwd" "$shots/$1"
}
# Waits for the game to end and checks that it ended well.
app_gone() { ! kill -0 "$app" 2>/dev/null; }
ended_with_zero() {
  wait_for app_gone || fail "still running after the quit shortcut"
  wait "$app"
  status=$?
  app=""
  [ "$status" -eq 0 ] || fail "ended with status $status"
  grep -q 'applicationWillTerminate: Called.' "$work/log.txt" || fail "no terminate notice in the log"
}

# --- First run: the fitted start, a resize, Ctrl+Q at "Weiter..." ------------
start_game
wait_for both_windows_shown || fail "the two windows did not appear"
find_window Bildfenster
px=$x py=$y pw=$w ph=$h picture=$id
find_window Textfenster
tx=$x ty=$y tw=$w th=$h text=$id
echo "picture window $pw x $ph at $px,$py; text window $tw x $th at $tx,$ty on $size"
for edge in "$px" "$py" "$tx" "$ty"; do [ "$edge" -ge 0 ] || fail "a window starts off screen"; done
[ $((px + pw)) -le "$screen_width" ] && [ $((tx + tw)) -le "$screen_width" ] || fail "a window ends right of the screen"
[ $((py + ph)) -le "$screen_height" ] && [ $((ty + th)) -le "$screen_height" ] || fail "a window ends below the screen"
[ $((px + pw)) -le "$tx" ] || fail "the windows overlap"
# As large as fits: together they use most of the screen's width.
[ $((tw + pw)) -ge $((screen_width * 85 / 100)) ] || fail "the windows use only $((tw + pw)) of $screen_width pixels"
menu=$((ph - pw * 800 / 1280))  # what is not picture at the start: the menu bar
# Sets drawn to "left top right bottom" of the picture window's drawn pixels
# below its menu bar, or "none"; true when the picture fills width $1.
picture_fills() {
  find_window Bildfenster && [ "$w" -eq "$1" ] || return 1
  shot
  drawn=$(python3 "$here/screen_shot.py" "$work/screen.xwd" --extent "$x" $((y + menu)) "$w" $((h - menu)))
  [ "$drawn" != none ] && set -- $drawn && [ $(($3 - $1)) -ge $((w * 90 / 100)) ]
}
wait_for picture_fills "$pw" || fail "the picture window shows no picture"
shot "desktop-$size-start.png"

# Narrower than the picture's shape: the picture fills the width, bars above and below.
new_w=$((pw * 3 / 4))
xdotool windowsize "$picture" "$new_w" "$ph"
wait_for picture_fills "$new_w"
shot "desktop-$size-resized.png"
[ "$drawn" != none ] || fail "the resized picture window shows nothing"
set -- $drawn
echo "picture drawn from $1,$2 to $3,$4 in the window $w x $h at $x,$y"
[ $(($3 - $1)) -ge $((w * 90 / 100)) ] || fail "the picture does not fill the window's width"
[ $(($4 - $2)) -le $((w * 800 / 1280 + 4)) ] || fail "the picture lost its aspect ratio"
resized="$x $y $w $h"

focus "$text" || fail "the text window did not take the keyboard"
xdotool key ctrl+q
ended_with_zero
grep -q 'Am Abend' "$work/log.txt" && fail "the \"Weiter...\" prompt took the quit shortcut as its key"
grep -q 'Fenster' "$work/config/Velmorat/Velmorat.conf" || fail "the window places were not saved"

# --- Second run: the saved place; Ctrl+Shift+Q at the command prompt --------
start_game
wait_for both_windows_shown || fail "the two windows did not appear again"
at_saved_place() { find_window Bildfenster && [ "$x $y $w $h" = "$resized" ]; }
wait_for at_saved_place || fail "the picture window is at $x $y $w $h, not at its saved $resized"
find_window Textfenster
focus "$id" || fail "the text window did not take the keyboard"
to_command_prompt || fail "the command prompt did not come"
shot "desktop-$size-prompt.png"
xdotool key ctrl+shift+q
ended_with_zero
echo "PASSED"
