#!/usr/bin/env bash
# The Debian package as a user gets it: built from the build tree with CPack, its control
# fields and contents read with dpkg-deb, checked by lintian, then unpacked into a scratch
# root whose programs publish and draw the widget exactly as the build tree's do, with the
# brand picture and the font set from the installed bundle.
#   package_test.sh BUILD_DIR VERSION SOURCE_DIR
set -euo pipefail
build=$(cd "$1" && pwd)
version=$2
source=$(cd "$3" && pwd)
package=jotbird-widgets
arch=$(dpkg --print-architecture)

scratch=$(mktemp -d)
# A file the build did not make on purpose, which no install rule may pick up.
stray=$build/share/JotbirdWidgets/stray-file-from-package-test
trap 'rm -rf "$scratch" "$stray"' EXIT
touch "$stray"

failed=0
fail() { echo "FAIL: $*"; failed=1; }

# --- building it --------------------------------------------------------------------------
cpack --config "$build/CPackConfig.cmake" -B "$scratch/out" >"$scratch/cpack.log" 2>&1 ||
    { cat "$scratch/cpack.log"; fail "cpack"; exit 1; }
deb=$scratch/out/${package}_${version}_${arch}.deb
[[ -f "$deb" ]] || { ls "$scratch/out"; fail "no $deb"; exit 1; }

# --- control fields -----------------------------------------------------------------------
field() { dpkg-deb -f "$deb" "$1"; }
[[ "$(field Package)" == "$package" ]] || fail "Package: $(field Package)"
[[ "$(field Version)" == "$version" ]] || fail "Version: $(field Version)"
[[ "$(field Architecture)" == "$arch" ]] || fail "Architecture: $(field Architecture)"
[[ "$(field Section)" == "utils" ]] || fail "Section: $(field Section)"
[[ "$(field Maintainer)" == *@* ]] || fail "Maintainer: $(field Maintainer)"
description=$(field Description)
[[ "$description" == "Jotbird notes and reminders as a desktop widget"$'\n'" Pinned notes"* ]] ||
    fail "Description: $description"
[[ "$description" != *$'\n ;'* ]] || fail "Description holds list separators: $description"
depends=", $(field Depends),"
echo "Depends: $(field Depends)"
# Font packages by name; libraries with the versions dpkg-shlibdeps found in the binaries.
for name in fonts-noto-cjk fonts-noto-core fonts-noto-color-emoji; do
    [[ "$depends" == *", $name,"* ]] || fail "Depends lacks $name"
done
[[ "$(field Recommends)" == xdg-utils ]] || fail "Recommends: $(field Recommends)"
for library in libc6 libcairo2 libpango-1.0-0 libpangocairo-1.0-0 libpng16-16 libutf8proc2; do
    [[ "$depends" =~ ,\ $library\ \(\>=\ [0-9] ]] || fail "Depends lacks $library (>= version)"
done

# --- contents -----------------------------------------------------------------------------
dpkg-deb -c "$deb" >"$scratch/contents"
files=$(awk '$1 !~ /^d/ {print $6}' "$scratch/contents" | sed 's|^\./||' | sort)
required=(
    usr/bin/JotbirdWidgetBridge
    usr/bin/JotbirdWidgets
    usr/share/JotbirdWidgets/JotbirdBrand.png
    usr/share/JotbirdWidgets/translations/en.json
    usr/share/JotbirdWidgets/fonts/fonts.conf
    usr/share/metainfo/jotbird.notes.Widgets.metainfo.xml
    usr/share/icons/hicolor/48x48/apps/jotbird-widgets-desktop.png
    usr/share/icons/hicolor/scalable/apps/jotbird-widgets-desktop.svg
    usr/share/man/man1/JotbirdWidgetBridge.1.gz
    usr/share/man/man1/JotbirdWidgets.1.gz
    usr/share/doc/$package/copyright
    usr/share/doc/$package/changelog.gz
)
# The desktop host and its page come together, or neither does.
if grep -qx usr/bin/JotbirdWidgetsDesktop <<<"$files"; then
    required+=(usr/share/man/man1/JotbirdWidgetsDesktop.1.gz)
elif grep -q JotbirdWidgetsDesktop.1.gz <<<"$files"; then
    fail "a man page for JotbirdWidgetsDesktop without the program"
fi
for file in "${required[@]}"; do
    grep -qx "$file" <<<"$files" || fail "the package lacks $file"
done
# Only where a Debian package of programs keeps things, and nothing stray from build/share.
while read -r file; do
    case "$file" in
    usr/bin/* | usr/share/JotbirdWidgets/* | usr/share/man/man1/*.1.gz | \
        usr/share/doc/$package/* | usr/share/applications/*.desktop | usr/lib/systemd/user/* | \
        usr/share/icons/hicolor/*/apps/jotbird-widgets-desktop.* | usr/share/metainfo/*.xml) ;;
    *) fail "unexpected file in the package: $file" ;;
    esac
done <<<"$files"
grep -q stray-file "$scratch/contents" && fail "the package holds a stray file of the build tree"
# Owned by root; programs executable, everything else readable.
while read -r mode owner _ _ _ path; do
    [[ "$owner" == root/root ]] || fail "$path owned by $owner"
    case "$mode" in
    d*) [[ "$mode" == drwxr-xr-x ]] || fail "$path has mode $mode" ;;
    *) if [[ "$path" == ./usr/bin/* ]]; then want=-rwxr-xr-x; else want=-rw-r--r--; fi
       [[ "$mode" == "$want" ]] || fail "$path has mode $mode, not $want" ;;
    esac
done <"$scratch/contents"

# What the package holds is what `cmake --install` puts under DESTDIR.
DESTDIR="$scratch/destdir" cmake --install "$build" --prefix /usr >/dev/null
installed=$(cd "$scratch/destdir" && find . ! -type d | sed 's|^\./||' | sort)
[[ "$installed" == "$files" ]] ||
    fail "DESTDIR install and package differ: $(diff <(echo "$installed") <(echo "$files"))"

# --- the installed tree -------------------------------------------------------------------
root=$scratch/root
dpkg-deb -x "$deb" "$root"
cmp -s "$root/usr/share/doc/$package/copyright" "$source/LICENSE" ||
    fail "copyright is not the LICENSE"
gzip -dc "$root/usr/share/doc/$package/changelog.gz" >"$scratch/changelog"
changelog_version=$(dpkg-parsechangelog -l "$scratch/changelog" -S Version)
[[ "$changelog_version" == "$version" ]] || fail "the changelog's last version is $changelog_version"
[[ "$("$root/usr/bin/JotbirdWidgets" --version)" == "JotbirdWidgets $version" ]] ||
    fail "--version of the installed widget"

export XDG_DATA_HOME=$scratch/data TZ=UTC
unset LANG LC_ALL LC_MESSAGES
publish() {
    printf '%s' "$1" | "$root/usr/bin/JotbirdWidgetBridge" publish >/dev/null ||
        fail "the installed bridge cannot publish"
}
draw() { "$1" render --family medium --png "$2" >/dev/null || fail "render with $1"; }
same_as_built() {
    draw "$root/usr/bin/JotbirdWidgets" "$scratch/installed-$1.png"
    draw "$build/bin/JotbirdWidgets" "$scratch/built-$1.png"
    cmp -s "$scratch/installed-$1.png" "$scratch/built-$1.png" ||
        fail "the installed widget draws $1 otherwise than the built one"
}
publish '{"schema":1,"updatedAt":0,"account":"","total":1,"notes":[{"id":"n","title":"Buy milk"}]}'
same_as_built latin
# The same program with no bundle beside it draws the header's name as text instead.
mkdir -p "$scratch/bare/bin"
cp "$root/usr/bin/JotbirdWidgets" "$scratch/bare/bin/"
draw "$scratch/bare/bin/JotbirdWidgets" "$scratch/bare.png"
cmp -s "$scratch/installed-latin.png" "$scratch/bare.png" &&
    fail "the installed widget did not find its brand picture"
# Titles in many scripts with emoji are drawn with the bundle's font set, not the system's.
publish '{"schema":1,"updatedAt":0,"account":"","total":3,"notes":[
    {"id":"a","title":"会议 🍅 Встреча اجتماع"},
    {"id":"b","title":"ประชุม बैठक 회의 👩‍👩‍👧"},
    {"id":"c","title":"Ελληνικά עברית 🇩🇪 ✅"}]}'
same_as_built scripts

# lintian finds nothing to say, informational tags included.
lintian_log=$scratch/lintian.log
if ! lintian --fail-on error,warning,info --display-info "$deb" >"$lintian_log" 2>&1; then
    grep -v '^N:' "$lintian_log" | grep -v 'running with root privileges' || true
    fail "lintian has tags for the package"
fi

# `man` finds the installed pages, and formats them without a warning.
export MANWIDTH=80 LC_ALL=C.UTF-8
for page in JotbirdWidgetBridge JotbirdWidgets; do
    warnings=$(man -M "$root/usr/share/man" --warnings "$page" 2>&1 >/dev/null) ||
        fail "man cannot find $page"
    [[ -z "$warnings" ]] || fail "man $page: $warnings"
done

[[ $failed -eq 0 ]] && echo "package $(basename "$deb"): fields, contents and installed tree as expected"
exit $failed
