#!/bin/sh
# Starts the game from the built application bundle.
set -eu
build=${1:-build}
app="$build/Velmorat.app/Contents/MacOS/velmorat"
if [ ! -x "$app" ]; then
  echo "The game is not built yet: $app is missing (the desktop host and engine are still to come)."
  exit 1
fi
exec "$app"
