#!/bin/bash
# Checks a built Windows program from its headers alone (objdump -p), without running it: the
# machine it is for, its subsystem, that it imports only system DLLs (so it runs from an
# unpacked folder), and the resources it must carry. This is how the 32-bit program is checked
# where Wine cannot run it.
#   check_pe.sh OBJDUMP EXE i386|x86-64 gui|console|dll [TYPE:ID...] [stripped<=BYTES]
# TYPE:ID are decimal resource ids, e.g. 14:116 for an icon group, 2:122 for a bitmap.
# stripped<=BYTES is a ceiling on the size once stripped (by $NORVATHEL_STRIP, else the strip
# next to OBJDUMP): a generous one, there to catch a whole library arriving unasked (a string
# stream once brought libstdc++'s locales and tripled the window program).
set -u
objdump=$1 exe=$2 machine=$3 subsystem=$4 name=$(basename -- "$2")
shift 4
headers=$("$objdump" -p "$exe") || { echo "FAIL: objdump cannot read $exe"; exit 1; }
fail=0
check() {   # check WHAT CONDITION...
    local what=$1; shift
    if "$@"; then echo "ok:   $name: $what"; else echo "FAIL: $name: $what"; fail=1; fi
}
has() { grep -qE "$1" <<<"$headers"; }

case $machine in
i386)   check "PE32 for i386" has 'file format pei-i386$'
        check "optional header PE32" has $'^Magic\t+010b' ;;
x86-64) check "PE32+ for x86-64" has 'file format pei-x86-64$'
        check "optional header PE32+" has $'^Magic\t+020b' ;;
*)      echo "FAIL: unknown machine $machine"; exit 1 ;;
esac
case $subsystem in
gui)     check "Windows GUI subsystem" has $'^Subsystem\t+00000002' ;;
console) check "Windows console subsystem" has $'^Subsystem\t+00000003' ;;
dll)     check "a DLL" has $'^\t+DLL$'
         check "exports the C interface" has 'norvathel_stream_create' ;;
esac

# Statically linked: the C runtime, libstdc++ and winpthread are inside; only DLLs that every
# Windows has may be imported.
system_dlls='^(kernel32|user32|gdi32|msvcrt|advapi32|shell32|ole32|comdlg32|comctl32|ws2_32)\.dll$'
imports=$(sed -n 's/^\tDLL Name: //p' <<<"$headers")
foreign=$(grep -viE "$system_dlls" <<<"$imports")
check "imports only system DLLs: $(echo $imports)" [ -n "$imports" -a -z "$foreign" ]
[ -z "$foreign" ] || echo "      not a system DLL: $(echo $foreign)"

# The resource tree: type entries are indented 3 spaces, name entries 5, languages 7.
resources=$(awk '
    /^The .rsrc Resource Directory section:/ { inside = 1; next }
    inside && /^[0-9a-f]+ +Entry: ID: 0x/ {
        indent = index($0, "Entry") - index($0, " ")
        id = substr($0, index($0, "0x") + 2, 6)
        if (indent == 3) type = id
        else if (indent == 5) print type, id
    }' <<<"$headers" | while read -r type id; do echo "$((16#$type)):$((16#$id))"; done)
stripped_size() {
    local copy
    copy=$(mktemp) || return 1
    "${NORVATHEL_STRIP:-${objdump%objdump}strip}" -o "$copy" "$exe" && stat -c %s "$copy"
    rm -f "$copy"
}
for wanted in "$@"; do
    case $wanted in
    'stripped<='*) limit=${wanted#stripped<=} size=$(stripped_size)
                   check "stripped ${size:-?} bytes, at most $limit" [ "${size:-$((limit + 1))}" -le "$limit" ] ;;
    *)             check "resource $wanted" grep -qx "$wanted" <<<"$resources" ;;
    esac
done
exit $fail
