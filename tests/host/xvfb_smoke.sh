#!/bin/sh
# Smoke test of the desktop application: runs velmorat on a virtual X screen,
# types a few keys into the text window with xdotool and checks that the text
# window's pixels show them (more ink after typing than before).
# Usage: xvfb_smoke.sh VELMORAT BUNDLE. Exit 77 (skipped) when a tool or the
# game's data are missing.
set -u
velmorat=$1
bundle=$2
skip() { echo "SKIPPED: $*"; exit 77; }
for tool in Xvfb xdotool xwd python3; do
  command -v "$tool" >/dev/null 2>&1 || skip "$tool is not installed (apt-get install xvfb xdotool x11-apps python3)"
done
[ -f "$bundle/Contents/Resources/Data/DATA000.word" ] || skip "no game data in $bundle"

work=$(mktemp -d)
# Xvfb picks a free display itself and writes its number once it accepts
# clients, so neither a busy display nor a slow start can trip the test.
Xvfb -displayfd 3 -screen 0 2600x1000x24 -nolisten tcp 3>"$work/display" >"$work/xvfb.log" 2>&1 &
xvfb=$!
app=""
cleanup() {
  [ -n "$app" ] && kill "$app" 2>/dev/null
  kill "$xvfb" 2>/dev/null
  wait 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
# Waits up to $1 seconds for the command that follows to succeed.
wait_for() {
  limit=$(($(date +%s) + $1))
  shift
  until "$@"; do
    [ "$(date +%s)" -lt "$limit" ] || return 1
    sleep 0.1
  done
}
display_known() { grep -q '^[0-9][0-9]*$' "$work/display" 2>/dev/null; }
xvfb_settled() { display_known || ! kill -0 "$xvfb" 2>/dev/null; }
wait_for 30 xvfb_settled
display_known || { echo "FAILED: Xvfb did not start"; cat "$work/xvfb.log"; exit 1; }
export DISPLAY=":$(head -n 1 "$work/display")"

XDG_CONFIG_HOME="$work/config" "$velmorat" --bundle "$bundle" >"$work/log.txt" 2>"$work/err.txt" &
app=$!

# The text window's title says what it is. A sanitizer build on a busy
# machine may take many seconds to get there.
window=""
text_window_shown() {
  window=$(xdotool search --onlyvisible --name '^Textfenster' 2>/dev/null | head -n 1)
  [ -n "$window" ] && grep -q 'Befehl\|#0' "$work/log.txt"
}
wait_for 60 text_window_shown
[ -n "$window" ] || { echo "FAILED: the text window did not appear"; cat "$work/err.txt"; exit 1; }
sleep 1

ink() {
  xwd -root -silent -out "$work/screen.xwd"
  python3 - "$work/screen.xwd" <<'PY'
import struct, sys
data = open(sys.argv[1], 'rb').read()
header = struct.unpack('>25I', data[:100])
size, width, height, line = header[0], header[4], header[5], header[12]
step = header[11] // 8  # bytes a pixel: 3 or 4
start = size + header[19] * 12  # after the header and the colour map
count = 0
# Least significant byte first: blue, green, red (and one unused byte at 32 bits).
for y in range(height):
    row = data[start + y * line:start + y * line + width * step]
    for x in range(0, len(row) - 2, step):
        if row[x + 1] > 180 and row[x + 2] < 100 and row[x] < 100:
            count += 1
print(count)
PY
}

xdotool windowfocus --sync "$window" 2>/dev/null || xdotool windowfocus "$window"
sleep 0.3
# Return through the story's key prompts until the game asks for a command,
# so that nothing but the echo of the typed keys changes the screen.
at_command_prompt() {
  grep -q 'Command = INPUT' "$work/log.txt" && return 0
  xdotool key Return
  sleep 0.4
  return 1
}
wait_for 30 at_command_prompt
sleep 0.5
before=$(ink)
xdotool type --delay 80 "wxyz"
sleep 1
after=$(ink)
echo "green ink before typing: $before, after: $after"
# Four glyphs of 16 x 32 cells: some hundred pixels of ink, far fewer than a
# screen of new text would bring.
if [ $((after - before)) -lt 150 ] || [ $((after - before)) -gt 8000 ]; then
  echo "FAILED: the typed keys did not show in the text window"
  exit 1
fi
echo "PASSED"
