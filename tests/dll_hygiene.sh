#!/bin/sh
# The DLL is loaded into every process that opens a socket of its family:
# it must import Windows system DLLs only (compiler runtimes linked in) and
# stay small.
dll="$1"
status=0
imports=$(i686-w64-mingw32-objdump -p "$dll" | awk '/DLL Name:/ {print $3}')
for name in $imports; do
    case $(echo "$name" | tr 'A-Z' 'a-z') in
        kernel32.dll|user32.dll|gdi32.dll|advapi32.dll|comctl32.dll|ws2_32.dll|\
        wsock32.dll|setupapi.dll|msvcrt.dll|shell32.dll|ole32.dll) ;;
        *) echo "FAIL: imports non-system DLL $name"; status=1 ;;
    esac
done
size=$(stat -c %s "$dll")
limit=204800
if [ "$size" -gt "$limit" ]; then
    echo "FAIL: $dll is $size bytes, more than $limit"
    status=1
fi
exports=$(i686-w64-mingw32-objdump -p "$dll" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p')
if echo "$exports" | grep -q '@'; then
    echo "FAIL: decorated export names:"; echo "$exports"
    status=1
fi
echo "imports: $(echo $imports)"
echo "size: $size bytes"
[ $status -eq 0 ] && echo "1 passed, 0 failed" || echo "0 passed, 1 failed"
exit $status
