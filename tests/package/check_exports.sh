#!/bin/bash
# libnorvathel.so exports the C functions only, each under the version node of its SONAME, and
# packaging/libnorvathel.symbols.in lists exactly those: a function added to the C interface
# without its line there fails here, with the line to add.
#   check_exports.sh LIBRARY SYMBOLS_TEMPLATE MAJOR VERSION
set -u
library=$1 template=$2 major=$3 version=$4
exports=$(nm -D --defined-only "$library") || exit 1
fail=0
stray=$(grep -Ev " A NORVATHEL_$major\$| T norvathel_[a-z0-9_]+@@NORVATHEL_$major\$" <<<"$exports")
if [ -n "$stray" ]; then
    echo "FAIL: exported beside the versioned C functions:"; echo "$stray"; fail=1
fi
built=$(sed -n 's/.* T \(norvathel_[a-z0-9_]*\)@@.*/\1/p' <<<"$exports" | sort)
listed=$(sed -n 's/^ \(norvathel_[a-z0-9_]*\)@.*/\1/p' "$template" | sort)
for name in $(comm -23 <(echo "$built") <(echo "$listed")); do
    echo "FAIL: $name is exported but not in $template; add:"
    echo " $name@@NORVATHEL_SYMBOL_VERSION@ $version"
    fail=1
done
for name in $(comm -13 <(echo "$built") <(echo "$listed")); do
    echo "FAIL: $name is in $template but not exported (removing one needs a new SONAME)"
    fail=1
done
[ "$(grep -c . <<<"$built")" -gt 0 ] || { echo "FAIL: no norvathel_* function exported"; fail=1; }
[ $fail = 0 ] && echo "ok: $(grep -c . <<<"$built") versioned C functions (NORVATHEL_$major), as the symbols file lists"
exit $fail
