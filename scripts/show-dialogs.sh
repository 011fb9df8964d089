#!/bin/bash
# Opens the Port Table dialog the way an administrator does,
#     rundll32 tolmarin.dll,OrvantaPropertiesThroughRunDll32
# under Wine, in a demo prefix of its own (scripts/demo-prefix.sh).
#
# Usage: show-dialogs.sh run BUILD-DIR
#          With a reachable X display: the dialog in a real window; when it
#          closes, the stored Port Table is printed.
#          Without one: the dialog under Xvfb, photographed into
#          BUILD-DIR/port-table.png, then cancelled.
#        show-dialogs.sh screenshots BUILD-DIR PICTURE-DIR
#          Under Xvfb, always from the demo table: the pictures listed in
#          scripts/demo/screenshots, taken into PICTURE-DIR.
#
# Every wait is bounded; whatever was started is stopped on the way out.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
mode=${1:-}
build=$(realpath -m "${2:-build}")
dll="$build/tolmarin.dll"
remote="$build/demo_remote.exe"
log="$build/run.log"

# Seconds allowed for the dialog to appear (a new prefix's first start of
# rundll32 is the slow one) and for anything else.
appear_timeout=${RUN_APPEAR_TIMEOUT:-60}
step_timeout=${RUN_STEP_TIMEOUT:-20}

say() { echo "run: $*"; }
fail() {
    echo "run: $*" >&2
    if [ -s "$log" ]; then
        echo "run: the last lines of $log:" >&2
        tail -n 15 "$log" | sed 's/^/    /' >&2
    fi
    exit 1
}

[ -f "$dll" ] || fail "$dll is missing; build it first (make)"
[ -f "$remote" ] || fail "$remote is missing; build it first (make)"
: >"$log"

xvfb_pid=""
rundll32_pid=""
wine_started=""

cleanup() {
    if [ -n "$rundll32_pid" ] && kill -0 "$rundll32_pid" 2>/dev/null; then
        kill "$rundll32_pid" 2>/dev/null || true
    fi
    if [ -n "$wine_started" ]; then
        wineserver -k >/dev/null 2>&1 || true
    fi
    if [ -n "$xvfb_pid" ]; then
        kill "$xvfb_pid" 2>/dev/null || true
        wait "$xvfb_pid" 2>/dev/null || true
    fi
}
trap cleanup EXIT
trap 'exit 130' INT TERM HUP

use_prefix() {
    export WINEPREFIX="$1" WINEARCH=win32 WINEDEBUG=-all
    # A dialog left open by an earlier run would share the prefix's
    # registry; wait for the prefix to be idle.
    if [ -d "$1" ] && ! timeout "$step_timeout" wineserver -w 2>/dev/null; then
        fail "the prefix $1 is still busy (a dialog from an earlier run still open?)"
    fi
    bash "$here/demo-prefix.sh" "$1" "${2:-}" || exit 1
    wine_started=1
}

display_reachable() {
    [ -n "${DISPLAY:-}" ] && timeout 5 xdpyinfo >/dev/null 2>&1
}

# Starts Xvfb on a display number it picks itself and exports DISPLAY.
start_xvfb() {
    command -v Xvfb >/dev/null || fail "Xvfb is missing; run: sh scripts/setup.sh run"
    local number_file="$build/xvfb.display"
    rm -f "$number_file"
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$number_file" >>"$log" 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 50); do
        [ -s "$number_file" ] && break
        kill -0 "$xvfb_pid" 2>/dev/null || fail "Xvfb did not start"
        sleep 0.2
    done
    [ -s "$number_file" ] || fail "Xvfb gave no display number within 10 s"
    export DISPLAY=":$(head -n 1 "$number_file")"
    rm -f "$number_file"
}

dll_path() { timeout "$step_timeout" winepath -w "$dll" 2>/dev/null; }

# Starts the dialog in the background and waits for its window.
open_port_table() {
    wine rundll32 "$(dll_path)",OrvantaPropertiesThroughRunDll32 >>"$log" 2>&1 &
    rundll32_pid=$!
    timeout $((appear_timeout + 10)) wine "$remote" wait "Port Table" "$appear_timeout" \
        >"$build/run.title" 2>>"$log" &
    local wait_pid=$!
    while kill -0 "$wait_pid" 2>/dev/null; do
        if ! kill -0 "$rundll32_pid" 2>/dev/null; then
            kill "$wait_pid" 2>/dev/null || true
            wait "$wait_pid" 2>/dev/null || true
            fail "rundll32 ended before the Port Table dialog appeared"
        fi
        sleep 0.2
    done
    if ! wait "$wait_pid"; then
        # What the screen shows instead (a message box?) tells why.
        local shot=""
        timeout "$step_timeout" import -window root "png:$build/run-failure.png" 2>/dev/null &&
            shot="; the screen then: $build/run-failure.png"
        fail "the Port Table dialog did not appear within $appear_timeout s$shot"
    fi
    port_table_title=$(cat "$build/run.title")
    rm -f "$build/run.title"
}

# shoot TITLE FILE: the window with that exact title, frame included.
shoot() {
    local id
    id=$(timeout "$step_timeout" xwininfo -root -tree | grep -F "\"$1\":" | awk '{ print $1; exit }') || true
    [ -n "$id" ] || fail "no X window titled \"$1\""
    timeout "$step_timeout" import -window "$id" "png:$2" 2>>"$log" || fail "could not take the picture of \"$1\""
}

# Presses Cancel in the window with that title and waits until it has gone.
cancel() {
    timeout $((step_timeout + 10)) wine "$remote" close "$1" "$step_timeout" 2>>"$log" ||
        fail "could not close \"$1\""
}

# Cancels the Port Table dialog and waits for rundll32 and the prefix's
# wineserver to end.
end_rundll32() {
    cancel "$port_table_title"
    for _ in $(seq $((step_timeout * 5))); do
        kill -0 "$rundll32_pid" 2>/dev/null || break
        sleep 0.2
    done
    kill -0 "$rundll32_pid" 2>/dev/null && fail "rundll32 did not end after Cancel"
    wait "$rundll32_pid" || true
    rundll32_pid=""
    timeout "$step_timeout" wineserver -w 2>/dev/null || wineserver -k 2>/dev/null || true
}

run_with_display() {
    use_prefix "$build/demo-prefix"
    say "opening the Port Table dialog on $DISPLAY"
    say "OK checks and saves the table, Cancel leaves the stored table as it was"
    wine rundll32 "$(dll_path)",OrvantaPropertiesThroughRunDll32 >>"$log" 2>&1 ||
        fail "rundll32 failed"
    echo
    timeout "$step_timeout" wine "$remote" table 2>>"$log" || fail "could not read the stored table"
}

run_headless() {
    say "no X display: showing the dialog under Xvfb"
    start_xvfb
    use_prefix "$build/demo-prefix"
    open_port_table
    shoot "$port_table_title" "$build/port-table.png"
    end_rundll32
    say "the Port Table dialog: $build/port-table.png"
}

# Each line of scripts/demo/screenshots: PICTURE then "table" for the Port
# Table dialog, "edit ROW" for the dialog that Edit opens on that row,
# "edit ROW page PAGE" for one page of a property sheet, or
# "edit ROW press BUTTON" for the dialog that BUTTON opens in that one.
take_screenshots() {
    local pictures=$1
    mkdir -p "$pictures"
    start_xvfb
    use_prefix "$build/screenshot-prefix" reseed
    open_port_table
    local picture what row how arg title inner
    while read -r picture what row how arg <&4; do
        case "$picture" in '' | '#'*) continue ;; esac
        case "$what" in
            table)
                shoot "$port_table_title" "$pictures/$picture"
                say "$pictures/$picture: $port_table_title"
                ;;
            edit)
                local page=""
                [ "$how" = page ] && page=$arg
                title=$(timeout $((step_timeout + 10)) wine "$remote" edit "$row" "$step_timeout" $page 2>>"$log") ||
                    fail "Edit on row $row opened no dialog"
                if [ "$how" = press ]; then
                    inner=$(timeout $((step_timeout + 10)) wine "$remote" press "$title" "$arg" \
                        "$step_timeout" 2>>"$log") || fail "button $arg in \"$title\" opened no dialog"
                    shoot "$inner" "$pictures/$picture"
                    cancel "$inner"
                    say "$pictures/$picture: $inner"
                else
                    shoot "$title" "$pictures/$picture"
                    say "$pictures/$picture: $title"
                fi
                cancel "$title"
                ;;
            *) fail "scripts/demo/screenshots: unknown line: $picture $what $row $how $arg" ;;
        esac
    done 4<"$here/demo/screenshots"
    end_rundll32
}

case "$mode" in
    run)
        if display_reachable; then
            run_with_display
        else
            [ -n "${DISPLAY:-}" ] && say "the display $DISPLAY cannot be reached"
            unset DISPLAY
            run_headless
        fi
        ;;
    screenshots)
        unset DISPLAY
        take_screenshots "${3:-docs}"
        ;;
    *)
        echo "usage: show-dialogs.sh run BUILD-DIR | screenshots BUILD-DIR PICTURE-DIR" >&2
        exit 2
        ;;
esac
