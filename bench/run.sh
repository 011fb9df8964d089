#!/bin/sh
# Runs the benchmarks of `make bench` in a Wine prefix of their own and
# checks the DLL's size and imports.
# Usage: run.sh BUILD-DIR
set -e
build=$(realpath "$1")
prefix="$build/bench-prefix"
sh "$(dirname "$0")/../scripts/wine-prefix.sh" "$prefix"
export WINEPREFIX="$prefix" WINEARCH=win32 WINEDEBUG=-all

status=0
cd "$build"
wine ./tolmarin_bench.exe || status=1
wineserver -w

# Size against its limit, and the DLLs it imports: Windows system DLLs only.
dll="$build/tolmarin.dll"
size=$(stat -c %s "$dll")
limit=204800
ratio=$(awk "BEGIN { printf \"%.2f\", $size / $limit }")
if [ "$size" -lt "$limit" ]; then verdict=PASS; else verdict=FAIL; status=1; fi
printf '%-8s %6s  (target <  1.00)  %s   %d bytes of 200 KB\n' size "$ratio" "$verdict" "$size"

imports=$(i686-w64-mingw32-objdump -p "$dll" | awk '/DLL Name:/ {print $3}')
other=0
for name in $imports; do
    case $(echo "$name" | tr 'A-Z' 'a-z') in
        kernel32.dll|user32.dll|gdi32.dll|advapi32.dll|comctl32.dll|ws2_32.dll|\
        wsock32.dll|setupapi.dll|msvcrt.dll|shell32.dll|ole32.dll) ;;
        *) other=$((other + 1)); echo "  not a system DLL: $name" ;;
    esac
done
if [ "$other" -eq 0 ]; then verdict=PASS; else verdict=FAIL; status=1; fi
printf '%-8s %6d  (target =  0)     %s   non-system DLLs among: %s\n' imports "$other" "$verdict" "$(echo $imports)"
exit $status
