#!/bin/sh
# Creates the project-local, headless, 32-bit Wine prefix used by the tests.
# Usage: wine-prefix.sh PREFIX-DIR [REG-FILE]
# The prefix gets the null graphics driver, so windows, dialogs and message
# boxes work without an X display. REG-FILE (written by the CMake build) holds
# the per-program Windows version emulation of the test programs; it is
# imported on every call, so new test programs get their setting.
set -e
prefix=$(realpath -m "$1")
export WINEPREFIX="$prefix" WINEARCH=win32 WINEDEBUG=-all

if [ ! -f "$prefix/.tolmarin-prefix-v2" ]; then
    rm -rf "$prefix"
    mkdir -p "$prefix"
    WINEDLLOVERRIDES="mscoree,mshtml=" wineboot -i >/dev/null 2>&1 || true
    wineserver -w
    wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >/dev/null 2>&1
    # A crashing test program ends at once instead of waiting in the
    # debugger until the run's time-out.
    wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Debugger /d false /f >/dev/null 2>&1
    wineserver -w
    touch "$prefix/.tolmarin-prefix-v2"
fi

if [ -n "$2" ] && [ -f "$2" ]; then
    wine regedit /S "$(winepath -w "$2" 2>/dev/null)" >/dev/null 2>&1
    wineserver -w
fi
