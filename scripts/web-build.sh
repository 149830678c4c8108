#!/bin/sh
# Builds the browser version into WEB_BUILD with Debian's Emscripten and puts
# the site together with the game of BUNDLE (scripts/web-site.sh). Emscripten
# builds its system libraries on first use into WEB_BUILD/emcache (a few
# minutes once), so nothing is written into the home folder.
#   sh scripts/web-build.sh build-web build/Velmorat.app
set -eu
web_build=$1
bundle=$2
here=$(cd "$(dirname "$0")" && pwd)
mkdir -p "$web_build"
web_build=$(cd "$web_build" && pwd)
# Debian's configuration keeps the cache frozen in /usr/share; ours is the
# same but for the cache's place.
cat > "$web_build/emscripten.config" <<CONFIG
EMSCRIPTEN_ROOT = '/usr/share/emscripten'
LLVM_ROOT = '/usr/bin'
BINARYEN_ROOT = '/usr'
NODE_JS = '$(command -v node)'
CACHE = '$web_build/emcache'
FROZEN_CACHE = False
LLVM_ADD_VERSION = '14'
CLANG_ADD_VERSION = '14'
CONFIG
export EM_CONFIG="$web_build/emscripten.config"
# Emscripten's tools need Debian's Node.js modules also where node is not Debian's.
export NODE_PATH="${NODE_PATH:-/usr/share/nodejs}"
launcher=""
command -v ccache > /dev/null && launcher="-DCMAKE_CXX_COMPILER_LAUNCHER=ccache"
# CMake's compiler checks only compile: linking them would make Emscripten
# build single-threaded variants of its system libraries that the program
# never uses (about half of the libraries' first build).
emcmake cmake -S "$here/.." -B "$web_build" -G Ninja -DCMAKE_BUILD_TYPE=Release $launcher \
  -DCMAKE_TRY_COMPILE_TARGET_TYPE=STATIC_LIBRARY > /dev/null
cmake --build "$web_build" -j "${JOBS:-2}"
sh "$here/web-site.sh" "$web_build" "$bundle" "$web_build/site"
