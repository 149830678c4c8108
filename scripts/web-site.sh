#!/bin/sh
# Puts the browser version's site together in SITE: the page (host/web/page),
# the program built in WEB_BUILD (velmorat.js, .wasm, .worker.js) and a game's
# resources from BUNDLE (a folder with Contents/Resources) packed into
# game-data.data with its loader game-data.js. The program is the same for
# every game: another bundle makes another game's site without a new build.
#   sh scripts/web-site.sh build-web build/Velmorat.app build-web/site
set -eu
if [ $# -ne 3 ]; then
  echo "usage: $0 WEB_BUILD BUNDLE SITE" >&2
  exit 2
fi
web_build=$1
bundle=$2
site=$3
here=$(cd "$(dirname "$0")" && pwd)
# Installed (share/velmorat/web), the page lies beside the script.
page="$here/page"
[ -d "$page" ] || page="$here/../host/web/page"
if [ ! -d "$bundle/Contents/Resources" ]; then
  echo "$0: $bundle has no Contents/Resources" >&2
  exit 1
fi
for part in velmorat.js velmorat.wasm velmorat.worker.js; do
  if [ ! -f "$web_build/launcher/$part" ]; then
    echo "$0: $web_build/launcher/$part is missing (make web builds it)" >&2
    exit 1
  fi
done
# Packing the data builds nothing, so Emscripten's own configuration serves:
# neither an installed nor a copied browser build carries the build's one.
packager=/usr/share/emscripten/tools/file_packager.py
if [ ! -f "$packager" ]; then
  echo "$0: the game's data are packed for the browser by $packager, which is not there: apt-get install emscripten" >&2
  exit 1
fi
rm -rf "$site"
mkdir -p "$site"
cp "$page/"* "$site/"
cp "$web_build/launcher/velmorat.js" "$web_build/launcher/velmorat.wasm" \
  "$web_build/launcher/velmorat.worker.js" "$site/"
# The program finds its resources at /Velmorat.app (launcher/WebMain.cpp).
python3 "$packager" "$site/game-data.data" --no-node \
  --preload "$bundle/Contents/Resources@/Velmorat.app/Contents/Resources" \
  --exclude '*.aif' --js-output="$site/game-data.js" > /dev/null
echo "Site in $site"
