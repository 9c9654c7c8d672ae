#!/bin/bash
# Runs two builds of norvathel-names over the same few hundred argument vectors (every style,
# both genders and a drawn one, prefixes, surnames, constraints, keys, window boards, the
# three formats) and says whether every output and exit status is byte for byte the same:
# the check that a change of how names are made changed no name.
#   bash scripts/same-output.sh OLD_TOOL NEW_TOOL
set -u
old=${1:?usage: same-output.sh OLD_TOOL NEW_TOOL} new=${2:?usage: same-output.sh OLD_TOOL NEW_TOOL}
root=$(cd "$(dirname -- "$0")/.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
printf 'Aldric\nmira\n\nthe-ferryman\nÅsa\n%s\n' {1..200} >"$work/keys.txt"
printf 'th\nzz\nk\n' >"$work/pieces.txt"

vectors=()
for style in classic liquid guttural sibilant crisp staccato "$root/styles/classic.toml"; do
    for gender in --male --female ""; do
        for prefix in "" ka "El" "Zoë" "&ba"; do
            vectors+=("--style $style $gender ${prefix:+--prefix $prefix} --seed 7 --count 300")
        done
        vectors+=("--style $style $gender --full --seed 11 --count 200")
        vectors+=("--style $style $gender --unique --seed 3 --count 2000")
        vectors+=("--style $style $gender --max-length 6 --ends-with a --seed 5 --count 50")
        vectors+=("--style $style $gender --min-length 9 --exclude-file $work/pieces.txt --seed 5 --count 50")
        vectors+=("--style $style $gender --keys $work/keys.txt --format csv")
    done
    vectors+=("--style $style --keys $work/keys.txt --full --seed 9 --format json")
    vectors+=("--style $style --seed dragonkeep --count 100 --format json")
done
for clock in 0 1 1000000000 1700000000; do
    vectors+=("--clock $clock --boards start,female,male:ka,female:El,male,start")
    vectors+=("--clock $clock --count 100")
done
vectors+=("--ends-with zzz --female" "--max-length 2 --male" "--prefix abcdefghijklmnopqrstuvwxyz12345 --count 20 --seed 1")

differ=0
for vector in "${vectors[@]}"; do
    # shellcheck disable=SC2086 # each vector is a list of words
    "$old" $vector >"$work/old" 2>&1; oldStatus=$?
    # shellcheck disable=SC2086
    "$new" $vector >"$work/new" 2>&1; newStatus=$?
    if [ "$oldStatus" != "$newStatus" ] || ! cmp -s "$work/old" "$work/new"; then
        echo "differs: $vector (exit $oldStatus / $newStatus)"
        differ=$((differ + 1))
    fi
done
echo "same-output: ${#vectors[@]} argument vectors, $((${#vectors[@]} - differ)) the same, $differ different"
[ "$differ" = 0 ]
