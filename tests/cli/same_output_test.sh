#!/bin/bash
# scripts/same-output.sh, trusted to tell: a build against itself is the same on every vector,
# and against one that composes other names (here: every name made capital) it is not.
#   same_output_test.sh TOOL SCRIPT SCRATCH
set -u
tool=$(realpath "$1") script=$2 scratch=$3
rm -rf "$scratch" && mkdir -p "$scratch" || exit 1
printf '#!/bin/sh\n"%s" "$@" | tr a-z A-Z\n' "$tool" >"$scratch/other" && chmod +x "$scratch/other"
failed=0
same=$(bash "$script" "$tool" "$tool") || { echo "FAIL: a build against itself: $same"; failed=1; }
case $same in *" 0 different") ;; *) echo "FAIL: $same"; failed=1 ;; esac
if other=$(bash "$script" "$tool" "$scratch/other"); then
    echo "FAIL: other names went unnoticed: $(tail -1 <<<"$other")"; failed=1
fi
echo "${same##*$'\n'}"
echo "${other##*$'\n'}"
[ "$failed" = 0 ] && echo "same-output script: 2 passed, 0 failed" || echo "same-output script: failed"
exit "$failed"
