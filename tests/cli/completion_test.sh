#!/bin/bash
# The bash completion, called as bash calls it, on lines a user types:
#   completion_test.sh TOOL COMPLETION README SCRATCH
# The built-in styles it offers are the ones the tool lists (and the README's table names): a
# stand-in tool with other styles gets those offered instead, so no list is kept in the script.
set -u
tool=$(realpath "$1") completion=$(realpath "$2") readme=$(realpath "$3") scratch=$4
rm -rf "$scratch" && mkdir -p "$scratch/bin" "$scratch/real" "$scratch/files/folder" || exit 1
ln -s "$tool" "$scratch/real/norvathel-names"
cat >"$scratch/bin/norvathel-names" <<'EOF'
#!/bin/sh
[ "$1" = --list-styles ] && printf 'alpha    First\n         Ab Cd, Ef Gh\nbeta     Second\n         Ij Kl\n'
EOF
chmod +x "$scratch/bin/norvathel-names"
: >"$scratch/files/mine.toml" && : >"$scratch/files/notes.txt"
. "$completion" || exit 1

failed=0
# offers LINE EXPECTED...: completing at the end of LINE replies exactly EXPECTED (any order).
offers() {
    local line=$1 got expected
    shift
    COMP_LINE=$line COMP_POINT=${#line}
    read -ra COMP_WORDS <<<"$line"
    COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
    COMPREPLY=()
    _norvathel_names norvathel-names
    got=$(printf '%s\n' "${COMPREPLY[@]}" | sort | sed '/^$/d')
    expected=$(printf '%s\n' "$@" | sort | sed '/^$/d')
    if [ "$got" = "$expected" ]; then
        echo "ok: '$line' ($COMP_WORDBREAKS_NAME)"
    else
        echo "FAIL: '$line' ($COMP_WORDBREAKS_NAME): expected [$(echo $expected)], got [$(echo $got)]"
        failed=1
    fi
}

cd "$scratch/files" || exit 1
real_styles=($("$tool" --list-styles | grep -v '^[[:blank:]]' | cut -d' ' -f1))
# The first column of the table under "## Styles".
readme_styles=($(sed -n '/^## Styles$/,/^## /s/^| `\([a-z]*\)` |.*/\1/p' "$readme"))
if [ ${#real_styles[@]} -lt 6 ] || [ "${real_styles[*]}" != "${readme_styles[*]}" ]; then
    echo "FAIL: the tool lists [${real_styles[*]}], the README's table [${readme_styles[*]}]"
    failed=1
fi

# bash's own word breaks (= and : split words), and none at = and :.
for COMP_WORDBREAKS_NAME in "default breaks" "no = or : breaks"; do
    if [ "$COMP_WORDBREAKS_NAME" = "default breaks" ]; then
        COMP_WORDBREAKS=$' \t\n"\'><=;|&(:' eq= colon=
    else
        COMP_WORDBREAKS=$' \t\n"\'><;|&(' eq=--format= colon=start,male:
    fi
    PATH=$scratch/real:$PATH
    offers 'norvathel-names --format ' text json csv
    offers 'norvathel-names --format j' json
    offers 'norvathel-names --male --format=' "${eq}text" "${eq}json" "${eq}csv"
    offers 'norvathel-names --format=c' "${eq}csv"
    offers 'norvathel-names --style ' "${real_styles[@]}" mine.toml folder
    offers 'norvathel-names --style c' classic crisp
    offers 'norvathel-names --style m' mine.toml
    offers 'norvathel-names --style fo' folder
    offers 'norvathel-names --boards ' start male female male: female:
    offers 'norvathel-names --boards start,f' start,female start,female:
    offers 'norvathel-names --boards start,male:ka,s' "${colon}ka,start"
    offers 'norvathel-names --boards start,male:ka' ""
    offers 'norvathel-names --keys n' notes.txt
    offers 'norvathel-names --seed ' ""
    offers 'norvathel-names --threads ' ""
    offers 'norvathel-names --thr' --threads
    offers 'norvathel-names --sty' --style
    offers 'norvathel-names le' learn
    offers 'norvathel-names learn m' mine.toml
    PATH=$scratch/bin:$PATH
    offers 'norvathel-names --style ' alpha beta mine.toml folder
done
[ "$failed" = 0 ]
