#!/bin/sh
# Runs the benchmarks of `make bench` in a Wine prefix of their own and
# checks the DLL's size and imports.
# Usage: run.sh BUILD-DIR
set -e
here=$(cd "$(dirname "$0")" && pwd)
build=$(realpath "$1")
prefix="$build/bench-prefix"
sh "$(dirname "$0")/../scripts/wine-prefix.sh" "$prefix"
export WINEPREFIX="$prefix" WINEARCH=win32 WINEDEBUG=-all

status=0
cd "$build"
wine ./tolmarin_bench.exe || status=1
wineserver -w

# Size against its limit.
dll="$build/tolmarin.dll"
size=$(stat -c %s "$dll")
limit=204800
ratio=$(awk "BEGIN { printf \"%.2f\", $size / $limit }")
if [ "$size" -lt "$limit" ]; then verdict=PASS; else verdict=FAIL; status=1; fi
printf '%-8s %6s  (target <  1.00)  %s   %d bytes of 200 KB\n' size "$ratio" "$verdict" "$size"

# Imports and exports: the DLL hygiene check of the tests.
if sh "$here/../tests/dll_hygiene.sh" "$dll" "$here/../src/tolmarin.def" >"$build/bench-hygiene.log"; then
    verdict=PASS
else
    verdict=FAIL; status=1
fi
printf '%-8s %6s  (target:  system DLLs only)  %s   %s\n' imports - "$verdict" "$(grep '^imports:' "$build/bench-hygiene.log")"
exit $status
