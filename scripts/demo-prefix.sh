#!/bin/sh
# Makes the Wine prefix in which `make run` and `make screenshots` show the
# dialogs: 32-bit, with the X11 graphics driver (real windows, unlike the
# headless test prefix) drawing the windows' frames itself, Wine's own fonts (without them "MS Sans Serif" is
# drawn in a wider font and labels clip), and the demo Port Table of
# scripts/demo/port-table.reg, imported once so that the user's edits stay.
#
# Usage: demo-prefix.sh PREFIX-DIR [reseed]
#   reseed: put the demo table back even when the prefix exists (the
#           screenshots always show the same table).
# Wine's own output goes to PREFIX-DIR.log.
set -e

prefix=$(realpath -m "$1")
here=$(cd "$(dirname "$0")" && pwd)
seed="$here/demo/port-table.reg"
log="$prefix.log"
export WINEPREFIX="$prefix" WINEARCH=win32 WINEDEBUG=-all

fail() {
    echo "demo prefix: $1 (Wine's output: $log)" >&2
    exit 1
}

import_seed() {
    timeout 60 wine reg delete 'HKLM\SYSTEM\CurrentControlSet\Services\Orvanta\Parameters\Nl\Port_Table' /f \
        >>"$log" 2>&1 || true
    timeout 60 wine regedit /S "$(timeout 60 winepath -w "$seed")" >>"$log" 2>&1 || fail "could not import $seed"
}

if [ ! -f "$prefix/.tolmarin-demo-v2" ]; then
    echo "run: making the demo Wine prefix $prefix (once, about 20 s)"
    rm -rf "$prefix"
    mkdir -p "$prefix"
    : >"$log"
    WINEDLLOVERRIDES="mscoree,mshtml=" timeout 180 wineboot -i >>"$log" 2>&1 || fail "wineboot failed"
    timeout 60 wineserver -w || true
    # Wine draws the windows' frames and captions itself, as Windows does:
    # under Xvfb there is no window manager to draw them.
    timeout 60 wine reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d N /f >>"$log" 2>&1
    # A crash ends the program at once instead of opening the debugger.
    timeout 60 wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Debugger /d false /f \
        >>"$log" 2>&1
    fonts="$prefix/drive_c/windows/Fonts"
    mkdir -p "$fonts"
    for font in /usr/share/wine/fonts/*; do
        [ -e "$fonts/$(basename "$font")" ] || ln -s "$font" "$fonts/"
    done
    import_seed
    timeout 60 wineserver -w || true
    touch "$prefix/.tolmarin-demo-v2"
elif [ "$2" = reseed ]; then
    import_seed
fi
