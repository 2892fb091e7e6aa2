#!/usr/bin/env bash
# The man pages as `man` shows them: no warnings from the formatter, a NAME section, and
# every option the widget programs' usages list described in their pages.
#   man_pages_test.sh MAN1_DIR JOTBIRD_WIDGETS [JOTBIRD_WIDGETS_DESKTOP]
set -euo pipefail
man_dir=$1
widgets=$2
desktop=${3:-}
export MANWIDTH=80 LC_ALL=C.UTF-8
failed=0

for page in JotbirdWidgetBridge JotbirdWidgets JotbirdWidgetsDesktop; do
    for file in "$man_dir/$page.1" "$man_dir/$page.1.gz"; do
        warnings=$(man --warnings -l "$file" 2>&1 >/dev/null)
        if [[ -n "$warnings" ]]; then
            echo "FAIL: $file: man --warnings says:"; echo "$warnings"; failed=1
        fi
        text=$(man -l "$file" 2>/dev/null)
        if ! grep -q "^NAME" <<<"$text" || ! grep -q "^ *$page - " <<<"$text"; then
            echo "FAIL: $file has no NAME line for $page"; failed=1
        fi
    done
done

page=$(man -l "$man_dir/JotbirdWidgets.1" 2>/dev/null)
for option in $("$widgets" --help | grep -o -- '--[a-z]*' | sort -u); do
    if ! grep -q -- "^ *$option\b" <<<"$page"; then
        echo "FAIL: JotbirdWidgets(1) does not describe $option"; failed=1
    fi
done
for command in $("$widgets" --help | sed -n 's/^  \([a-z]\+\).*/\1/p'); do
    if ! grep -q "^ *$command\b" <<<"$page"; then
        echo "FAIL: JotbirdWidgets(1) does not describe the command $command"; failed=1
    fi
done

if [[ -n "$desktop" ]]; then
    page=$(man -l "$man_dir/JotbirdWidgetsDesktop.1" 2>/dev/null)
    for option in $("$desktop" --help | grep -o -- '--[a-z]*' | sort -u); do
        if ! grep -q -- "^ *$option\b" <<<"$page"; then
            echo "FAIL: JotbirdWidgetsDesktop(1) does not describe $option"; failed=1
        fi
    done
fi

[[ $failed -eq 0 ]] && echo "man pages: no warnings, every option described"
exit $failed
