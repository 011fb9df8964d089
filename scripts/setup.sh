#!/bin/sh
# Installs what the build needs when any of it is missing; with the argument
# "run" also what `make run` and `make screenshots` need to show and
# photograph the dialogs. Prints one line per step and keeps apt's own output
# in a log (shown when a step fails). Does nothing, silently and without the
# network, when everything is already present.
#
# Usage: setup.sh [run]      SETUP_LOG overrides the log (build/setup.log)
set -e

cd "$(dirname "$0")/.."
log=${SETUP_LOG:-build/setup.log}

# Building and testing: the cross compiler (and the native one, for the
# build's own tools), 32-bit Wine, CMake, GoogleTest, and clang with its
# sanitizer and libFuzzer runtimes for the native build of the text units.
build_packages="g++-mingw-w64-i686 g++ wine wine32:i386 cmake googletest make clang libclang-rt-dev"
# Showing the dialogs: a virtual X server, screenshots, window lists, the
# fonts Wine draws "MS Sans Serif" with.
run_packages="xvfb imagemagick x11-utils fonts-wine"

have_pkg() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"; }

packages=$build_packages
[ "$1" = run ] && packages="$packages $run_packages"

need=""
for p in $packages; do
    have_pkg "$p" || need="$need $p"
done
# The posix-thread compilers come with the package but are chosen by an
# alternative; a missing one means the package must be installed again.
command -v i686-w64-mingw32-g++-posix >/dev/null 2>&1 || case "$need" in
    *g++-mingw-w64-i686*) ;;
    *) need="$need g++-mingw-w64-i686" ;;
esac
[ -f /usr/src/googletest/CMakeLists.txt ] || case "$need" in
    *googletest*) ;;
    *) need="$need googletest" ;;
esac
need=${need# }

if [ -z "$need" ]; then
    exit 0
fi

mkdir -p "$(dirname "$log")"
: >"$log"
SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"

# step TEXT COMMAND...: one line for the reader, the command's output to the log.
step() {
    echo "setup: $1"
    shift
    echo "### $*" >>"$log"
    if ! "$@" >>"$log" 2>&1; then
        echo "setup: failed: $*" >&2
        echo "setup: the last lines of $log:" >&2
        tail -n 25 "$log" | sed 's/^/    /' >&2
        exit 1
    fi
}

case "$need" in
    *:i386*)
        if ! dpkg --print-foreign-architectures | grep -qx i386; then
            step "adding the i386 architecture" $SUDO dpkg --add-architecture i386
        fi
        ;;
esac
step "updating the package lists" $SUDO apt-get update
step "installing $need (about a minute)" $SUDO env DEBIAN_FRONTEND=noninteractive \
    apt-get install -y --no-install-recommends $need
echo "setup: done (apt's output is in $log)"
