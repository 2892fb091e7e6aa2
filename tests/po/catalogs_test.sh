#!/usr/bin/env bash
# The message catalogs against the sources: the template in po/ holds exactly the messages
# xgettext finds now, and every language of LINGUAS has and translates every message.
#   catalogs_test.sh SOURCE_DIR VERSION
set -euo pipefail
source=$(cd "$1" && pwd)
version=$2
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
failed=0
fail() { echo "FAIL: $*"; failed=1; }

"$source/po/make-template.sh" "$source" "$version" "$scratch/fresh.pot" >/dev/null 2>&1 ||
    { fail "make-template.sh"; exit 1; }
msgids() { msgcat --no-location --no-wrap --sort-output "$1" | grep -E '^msgid(_plural)? '; }
diff <(msgids "$source/po/jotbird-widgets.pot") <(msgids "$scratch/fresh.pot") >"$scratch/diff" ||
    fail "po/jotbird-widgets.pot is not what the sources give (cmake --build build --target pot):
$(cat "$scratch/diff")"

languages=0
while read -r language; do
    [[ -z "$language" || "$language" == \#* ]] && continue
    languages=$((languages + 1))
    po=$source/po/$language.po
    [[ -f "$po" ]] || { fail "LINGUAS names $language, which has no $language.po"; continue; }
    msgcmp --use-untranslated "$po" "$scratch/fresh.pot" 2>"$scratch/cmp" ||
        fail "$language.po lacks messages (cmake --build build --target update-po): $(cat "$scratch/cmp")"
    untranslated=$(msgattrib --untranslated --no-obsolete "$po" | grep '^#:' || true)
    [[ -z "$untranslated" ]] || fail "$language.po leaves untranslated: $untranslated"
    header=$(msgcat --no-wrap "$po" | sed -n '/^msgid ""/,/^$/p')
    [[ "$header" == *"Language: $language\\n"* ]] || fail "$language.po's header names another language"
    [[ "$header" == *"Plural-Forms: nplurals="* ]] || fail "$language.po has no plural forms"
done <"$source/po/LINGUAS"
[[ $languages -ge 21 ]] || fail "only $languages languages in LINGUAS"

[[ $failed -eq 0 ]] && echo "catalogs: template current, $languages languages complete"
exit $failed
