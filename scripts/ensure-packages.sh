#!/bin/sh
# Installs the Debian packages the build needs that are missing. As root it runs
# apt-get itself; otherwise it prints the exact command and stops. The list is
# scripts/packages.txt, or the file given (packages-web.txt for make web).
set -eu
here=$(dirname "$0")
list=${1:-$here/packages.txt}
missing=""
for package in $(cat "$list"); do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    missing="$missing $package"
  fi
done
[ -z "$missing" ] && exit 0
if [ "$(id -u)" -eq 0 ]; then
  echo "Installing:$missing"
  apt-get update
  DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends $missing
else
  echo "Missing Debian packages. Run as root:"
  echo "  apt-get update && apt-get install -y --no-install-recommends$missing"
  exit 1
fi
