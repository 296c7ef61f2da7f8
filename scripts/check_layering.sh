#!/usr/bin/env bash
# Fails when a library that must build headless includes a header of Qt's GUI modules, when a folder
# includes one of a layer it may not depend on, when a feature includes another feature's card header, or
# when an include climbs with "..", which would hide its folder from these rules. Prints one line per
# offending include.
#
# Usage: check_layering.sh <src folder> <include folder of a forbidden Qt module>...
#   e.g. check_layering.sh src /usr/include/x86_64-linux-gnu/qt6/QtWidgets .../QtGui
set -euo pipefail

if [[ $# -lt 2 ]]; then
    echo "usage: $0 <src folder> <Qt module include folder>..." >&2
    exit 2
fi
src="${1%/}"
shift

# Every header of the forbidden modules ("QWidget", "qwidget.h", ...) and the modules' own names.
declare -A module_of
for dir in "$@"; do
    if [[ ! -d "$dir" ]]; then
        echo "$0: no such folder: $dir" >&2
        exit 2
    fi
    dir="${dir%/}"
    module="${dir##*/}"
    module_of["$module"]="$module"
    for header in "$dir"/*; do
        if [[ -f "$header" ]]; then
            module_of["${header##*/}"]="$module"
        fi
    done
done

# The headless libraries: everything but the Qt view (platform/qt) and the program (app).
headless=(records platform platform/script core masterdata preventive corrective store workreports exchange)

# Which folders each folder may include, itself always allowed. The Qt view and the script backend
# stand in for the platform: only the program chooses between them. A card header is private to the
# feature that owns the card: other features reach a card through the feature's operations.
declare -A may_include=(
    [records]=""
    [platform]="records"
    [platform/script]="platform records"
    [platform/qt]="platform records"
    [core]="platform records"
    [masterdata]="core platform records"
    [preventive]="masterdata core platform records"
    [corrective]="masterdata core platform records"
    [store]="masterdata core platform records"
    [workreports]="preventive corrective store masterdata core platform records"
    [exchange]="workreports preventive corrective store masterdata core platform records"
    [app]="*"
)
features=" masterdata preventive corrective store workreports exchange "

# "file:line:text" of every include in a folder; `prune` leaves out sub-folders checked on their own.
includes() {
    local folder="$1"
    shift
    [[ -d "$src/$folder" ]] || return 0
    local prune=()
    for sub in "$@"; do prune+=(-path "$sub" -prune -o); done
    (cd "$src" && find "$folder" "${prune[@]}" -type f \( -name '*.h' -o -name '*.cpp' \) -print0 |
        xargs -0 -r grep -HnE '^[[:space:]]*#[[:space:]]*include[[:space:]]*[<"]') || true
}

# The folder an included program header belongs to ("platform/qt/x.h" -> platform/qt); empty for
# headers that are not the program's.
owner_of() {
    local name="$1"
    case "$name" in
    platform/qt/* | platform/script/*) echo "${name%/*}" ;;
    */*)
        local top="${name%%/*}"
        if [[ -n "${may_include[$top]+x}" ]]; then echo "$top"; fi
        ;;
    esac
}

include_pattern='include[[:space:]]*([<"])([^>"]+)[>"]'
violations=()
for folder in "${!may_include[@]}"; do
    subs=()
    [[ "$folder" == platform ]] && subs=(platform/qt platform/script)
    while IFS= read -r hit; do
        if [[ -z "$hit" ]]; then
            continue
        fi
        location="${hit%%:*}"
        rest="${hit#*:}"
        location="$location:${rest%%:*}"
        text="${rest#*:}"
        [[ "$text" =~ $include_pattern ]] || continue
        open="${BASH_REMATCH[1]}"
        name="${BASH_REMATCH[2]}"
        if [[ "$open" == "<" ]]; then shown="<$name>"; else shown="\"$name\""; fi
        if [[ "/$name/" == *"/../"* ]]; then
            violations+=("$location: includes $shown; a header is named by its path under src/, never through ..")
            continue
        fi
        first="${name%%/*}"
        headless_folder=0
        [[ " ${headless[*]} " == *" $folder "* ]] && headless_folder=1
        if ((headless_folder)) && [[ "$name" == */* && -n "${module_of[$first]+x}" ]]; then
            violations+=("$location: includes $shown of ${module_of[$first]}; this library builds without Qt's GUI modules")
            continue
        elif ((headless_folder)) && [[ "$name" != */* && -n "${module_of[$name]+x}" ]]; then
            violations+=("$location: includes $shown of ${module_of[$name]}; this library builds without Qt's GUI modules")
            continue
        fi
        owner="$(owner_of "$name")"
        [[ -z "$owner" || "$owner" == "$folder" ]] && continue
        allowed="${may_include[$folder]}"
        if [[ "$allowed" != "*" && " $allowed " != *" $owner "* ]]; then
            if [[ "$folder" == platform* ]]; then
                violations+=("$location: includes $shown; the platform seam does not depend on the layers above it")
            else
                violations+=("$location: includes $shown; $folder may include only ${allowed// /, }")
            fi
        elif [[ "$features" == *" $folder "* && "$features" == *" $owner "* && "$name" =~ _card(_handlers)?\.h$ ]]; then
            violations+=("$location: includes $shown; a card header is private to its feature")
        fi
    done < <(includes "$folder" "${subs[@]}")
done

if [[ ${#violations[@]} -gt 0 ]]; then
    printf '%s\n' "${violations[@]}" | sort -t: -k1,1 -k2,2n
    exit 1
fi
