#!/bin/sh
# Installs the cross toolchain, Wine and GoogleTest when any of them is missing.
# Does nothing (and needs no network) when everything is already present.
set -e

need=""
have_pkg() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"; }

for p in g++-mingw-w64-i686 wine wine32:i386 cmake googletest make; do
    have_pkg "$p" || need="$need $p"
done
# The build's icon tool is compiled for the build machine itself.
have_pkg g++ || need="$need g++"
command -v i686-w64-mingw32-g++-posix >/dev/null 2>&1 || need="$need g++-mingw-w64-i686"
[ -f /usr/src/googletest/CMakeLists.txt ] || need="$need googletest"

if [ -z "$need" ]; then
    exit 0
fi

echo "setup: installing:$need"
SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"
if ! dpkg --print-foreign-architectures | grep -qx i386; then
    $SUDO dpkg --add-architecture i386
fi
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends $need
