#!/bin/sh
# Starts the game from the built application bundle.
set -eu
build=${1:-build}
app="$build/Velmorat.app/Contents/MacOS/velmorat"
if [ ! -x "$app" ]; then
  echo "The game is not built: $app is missing (was the build configured with VELMORAT_BUILD_HOST=OFF?)."
  exit 1
fi
exec "$app"
