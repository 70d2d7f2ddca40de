#!/usr/bin/env bash
# Checks the program's layering: a file under src/ includes only its own folder and folders of
# lower levels. An include of a folder at the same or a higher level, or of a folder the table
# does not know, is named with its file and line, and the check fails. Tests, tools and
# benchmarks may include anything.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

# Level and folder (as include paths spell it).
levels='
1 core
2 data
2 data/config
2 portio
2 users
3 desk
3 ui/common
3 ui/config
3 reports/engine
3 reports/logic
4 userdialogs
4 sqlconsole
4 settings
4 reports
5 console
6 startup
'

declare -A level_of
while read -r level folder; do
    [[ -n $level ]] && level_of[$folder]=$level
done <<<"$levels"

# The layer of a path below src/ ("settings/formsetupsolar.cpp"): its folder or the nearest
# enclosing folder in the table; empty when the table knows none.
layer_of() {
    local folder=${1%/*}
    while [[ -z ${level_of[$folder]:-} && $folder == */* ]]; do
        folder=${folder%/*}
    done
    [[ -n ${level_of[$folder]:-} ]] && echo "$folder"
    return 0
}

failures=0
cd "$root/src"
while IFS= read -r line; do
    file=${line%%:*}
    rest=${line#*:}
    number=${rest%%:*}
    included=${rest#*\"}
    included=${included%%\"*}
    [[ $included == */* ]] || continue # beside the including file
    from=$(layer_of "$file")
    to=$(layer_of "$included")
    if [[ -z $from ]]; then
        echo "src/$file:$number: folder ${file%/*} is not in the layer table" >&2
    elif [[ -z $to ]]; then
        echo "src/$file:$number: includes \"$included\", whose folder is not in the layer table" >&2
    elif [[ $from == "$to" ]] || ((level_of[$to] < level_of[$from])); then
        continue
    else
        echo "src/$file:$number: includes \"$included\": $from (level ${level_of[$from]})" \
            "may include only lower levels, $to is level ${level_of[$to]}" >&2
    fi
    failures=$((failures + 1))
done < <(find . -type f \( -name '*.h' -o -name '*.cpp' -o -name '*.h.in' \) -printf '%P\n' | sort |
    xargs grep -HnE '^[[:space:]]*#[[:space:]]*include[[:space:]]*"')

if ((failures > 0)); then
    echo "Layering: $failures forbidden include(s); see the table in scripts/check-layers.sh." >&2
    exit 1
fi
