#!/bin/sh
# Smoke test of the desktop application: runs velmorat on a virtual X screen,
# types a few keys into the text window with xdotool and checks that the text
# window's pixels show them (more ink after typing than before).
# Usage: xvfb_smoke.sh VELMORAT BUNDLE. Exit 77 (skipped) when a tool or the
# game's data are missing.
set -u
velmorat=$1
bundle=$2
here=$(dirname "$0")
. "$here/xvfb_session.sh"

start_xvfb 2600x1000 || { echo "FAILED: Xvfb did not start"; exit 1; }
XDG_CONFIG_HOME="$work/config" start_game

# The text window's title says what it is. A sanitizer build on a busy
# machine may take many seconds to get there.
window=""
text_window_shown() {
  window=$(xdotool search --onlyvisible --name '^Textfenster' 2>/dev/null | head -n 1)
  [ -n "$window" ] && grep -q 'Befehl\|#0' "$work/log.txt"
}
wait_for text_window_shown || { echo "FAILED: the text window did not appear"; cat "$work/err.txt"; exit 1; }
focus "$window" || { echo "FAILED: the text window did not take the keyboard"; exit 1; }
# Past the story's key prompts to the command prompt, so that nothing but the
# echo of the typed keys changes the screen. The log names INPUT before the
# prompt is printed: its few glyphs may still come, far below the bound below.
to_command_prompt || { echo "FAILED: the command prompt did not come"; exit 1; }

ink() {
  xwd -root -silent -out "$work/screen.xwd"
  python3 "$here/screen_shot.py" "$work/screen.xwd" --green-ink
}
before=$(ink)
xdotool type "wxyz"
# Four glyphs of 16 x 32 cells: some hundred pixels of ink, far fewer than a
# screen of new text would bring.
typed_keys_shown() {
  after=$(ink)
  [ $((after - before)) -ge 150 ]
}
wait_for typed_keys_shown
echo "green ink before typing: $before, after: $after"
if [ $((after - before)) -lt 150 ] || [ $((after - before)) -gt 8000 ]; then
  echo "FAILED: the typed keys did not show in the text window"
  exit 1
fi
echo "PASSED"
