#!/usr/bin/env bash
# Writes po/jotbird-widgets.pot from the sources po/POTFILES names: the widget's and the
# desktop host's texts (N_ and pluralKey), the desktop entry's Name and Comment, and what
# the AppStream metainfo marks translatable. OUTPUT defaults to the template in po/.
#   make-template.sh SOURCE_DIR VERSION [OUTPUT]
set -euo pipefail
source=$(cd "$1" && pwd)
version=$2
output=$(realpath -m "${3:-$source/po/jotbird-widgets.pot}")
cd "$source"
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
common=(--from-code=UTF-8 --add-comments=TRANSLATORS --package-name=jotbird-widgets
        --package-version="$version" --msgid-bugs-address=widgets@jotbird.invalid --sort-by-file)
grep -E '\.(cpp|hpp)$' po/POTFILES >"$scratch/code"
xgettext "${common[@]}" --language=C++ --keyword=N_ --keyword=pluralKey:1,2 \
    --files-from="$scratch/code" -o "$scratch/code.pot"
xgettext "${common[@]}" --language=Desktop --keyword= --keyword=Name --keyword=Comment \
    $(grep -E '\.desktop\.in$' po/POTFILES) -o "$scratch/desktop.pot"
xgettext "${common[@]}" $(grep -E '\.metainfo\.xml$' po/POTFILES) -o "$scratch/metainfo.pot"
msgcat --use-first "$scratch/code.pot" "$scratch/desktop.pot" "$scratch/metainfo.pot" \
    -o "$output"
echo "$output: $(grep -c '^msgid ' "$output") entries (with the header)"
