#!/usr/bin/env bash
# Fails when a library that must build headless includes a header of Qt's GUI modules, or when the
# platform seam includes code of the layers above it. Prints one line per offending include.
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
headless=(records platform core masterdata preventive corrective store workreports exchange)
# What the seam must not see: the layers built on it.
above_seam='^(core|masterdata|preventive|corrective|store|workreports|exchange|app|platform/qt)/'

# "file:line:text" of every include in the folder, the Qt view left out.
includes() {
    [[ -d "$src/$1" ]] || return 0
    (cd "$src" && find "$1" -path platform/qt -prune -o -type f \( -name '*.h' -o -name '*.cpp' \) -print0 |
        xargs -0 -r grep -HnE '^[[:space:]]*#[[:space:]]*include[[:space:]]*[<"]') || true
}

include_pattern='include[[:space:]]*([<"])([^>"]+)[>"]'
violations=()
for folder in "${headless[@]}"; do
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
        first="${name%%/*}"
        if [[ "$name" == */* && -n "${module_of[$first]+x}" ]]; then
            violations+=("$location: includes $shown of ${module_of[$first]}; this library builds without Qt's GUI modules")
        elif [[ "$name" != */* && -n "${module_of[$name]+x}" ]]; then
            violations+=("$location: includes $shown of ${module_of[$name]}; this library builds without Qt's GUI modules")
        elif [[ "$folder" == platform && "$name" =~ $above_seam ]]; then
            violations+=("$location: includes $shown; the platform seam does not depend on the layers above it")
        fi
    done < <(includes "$folder")
done

if [[ ${#violations[@]} -gt 0 ]]; then
    printf '%s\n' "${violations[@]}" | sort -t: -k1,1 -k2,2n
    exit 1
fi
