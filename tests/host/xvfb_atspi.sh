#!/bin/sh
# The desktop game through AT-SPI, as a screen reader meets it: atspi_play.py
# on a virtual X screen, in a D-Bus session of its own (the accessibility bus
# is started by the session's activation).
# Usage: xvfb_atspi.sh VELMORAT BUNDLE KEYS_FILE [ANNOUNCED]; ANNOUNCED receives
# every announcement of the run, in order. Exit 77 (skipped) when a
# tool, pyatspi or the game's data are missing.
set -u
velmorat=$1
bundle=$2
keys=$3
here=$(dirname "$0")
. "$here/xvfb_session.sh"
command -v dbus-run-session >/dev/null 2>&1 || skip "dbus-run-session is not installed (apt-get install dbus)"
/usr/bin/python3 -c "import pyatspi" 2>/dev/null || skip "pyatspi is not installed (apt-get install python3-pyatspi at-spi2-core)"

start_xvfb 2600x1000 || { echo "FAILED: Xvfb did not start"; exit 1; }
dbus-run-session -- /usr/bin/python3 "$here/atspi_play.py" "$velmorat" "$bundle" "$keys" "$work"
status=$?
[ -n "${4:-}" ] && [ -f "$work/announced.txt" ] && cp "$work/announced.txt" "$4"
exit $status
