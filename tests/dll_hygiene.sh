#!/bin/sh
# The DLL is loaded into every process that opens a socket of its family:
# it must import Windows system DLLs only (compiler runtimes linked in), stay
# small, and export exactly the undecorated names of its export list.
dll="$1"
def="$2"
status=0
fail() { echo "FAIL: $*"; status=1; }

dump=$(i686-w64-mingw32-objdump -p "$dll")
imports=$(echo "$dump" | awk '/DLL Name:/ {print $3}')
for name in $imports; do
    case $(echo "$name" | tr 'A-Z' 'a-z') in
        kernel32.dll|user32.dll|gdi32.dll|advapi32.dll|comctl32.dll|ws2_32.dll|\
        wsock32.dll|setupapi.dll|msvcrt.dll|shell32.dll|ole32.dll) ;;
        *) fail "imports non-system DLL $name" ;;
    esac
done

size=$(stat -c %s "$dll")
[ "$size" -le 204800 ] || fail "$dll is $size bytes, more than 200 KB"

exported=$(echo "$dump" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' \
           | awk -F'] ' '/^[[:space:]]+\[/ {print $2}' | sort)
listed=$(sed -n '/^EXPORTS/,$p' "$def" | tail -n +2 | awk 'NF {sub(/@.*/, "", $1); print $1}' | sort)
[ "$exported" = "$listed" ] || fail "exports differ from the export list: $(echo $exported)"

echo "imports: $(echo $imports)"
echo "exports: $(echo $exported)"
echo "size: $size bytes"
[ $status -eq 0 ] && echo "1 passed, 0 failed" || echo "0 passed, 1 failed"
exit $status
