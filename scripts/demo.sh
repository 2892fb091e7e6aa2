#!/usr/bin/env bash
# Publishes a sample snapshot through the bridge into a container under the build tree
# (never the user's own), then draws the widget in its three sizes, light and dark, and the
# medium one in Arabic and Hebrew.
#   scripts/demo.sh BUILD_DIR [PICTURE_DIR]
set -euo pipefail
build=$(cd "${1:-build}" && pwd)
pictures=${2:-$build/demo/pictures}
bridge="$build/bin/JotbirdWidgetBridge"
widget="$build/bin/JotbirdWidgets"
export XDG_DATA_HOME="$build/demo"
mkdir -p "$XDG_DATA_HOME" "$pictures"

# Reminders at fixed times of day, so the pictures read the same whenever they are made.
today_ms=$(($(date -u -d 'today 00:00' +%s) * 1000))
snapshot=$(cat <<JSON
{"schema":1,"updatedAt":$((today_ms + 8 * 3600000)),"account":"demo@jotbird","total":6,"folded":2,
 "notes":[
  {"id":"groceries","title":"买菜：番茄🍅、鸡蛋、葱","remindAt":$((today_ms + 17 * 3600000 + 30 * 60000))},
  {"id":"call mom/weekend","title":"Call mom about the weekend"},
  {"id":"便签-42","title":"整理本周的读书笔记","remindAt":$((today_ms + 21 * 3600000))},
  {"id":"report","title":"Finish the quarterly report draft before Friday's review meeting"},
  {"id":"empty-title","title":""}]}
JSON
)

# The desktop host's medium and large windows at scale 2 in the top-left corner of an Xvfb
# screen of its own, photographed once both have drawn, then stopped.
desktop_screenshot() {
    local xvfb display host frames
    Xvfb -displayfd 1 -screen 0 1600x1200x24 -nolisten tcp >"$build/demo/xvfb-display" \
        2>/dev/null &
    xvfb=$!
    for _ in $(seq 100); do [[ -s "$build/demo/xvfb-display" ]] && break; sleep 0.05; done
    display=":$(cat "$build/demo/xvfb-display")"
    frames="$build/demo/desktop-frames"
    DISPLAY=$display GDK_SCALE=2 NO_AT_BRIDGE=1 TZ=UTC "$build/bin/JotbirdWidgetsDesktop" \
        --family medium --family large --corner top-left --scheme light >"$frames" &
    host=$!
    for _ in $(seq 200); do [[ $(wc -l <"$frames") -ge 2 ]] && break; sleep 0.05; done
    sleep 0.2
    DISPLAY=$display "$build/tools/jotbird_screenshot" 0 0 $(((24 + 364 + 24) * 2)) \
        $(((24 + 170 + 16 + 382 + 24) * 2)) "$1"
    kill "$host" "$xvfb"
    wait "$host" "$xvfb" 2>/dev/null || true
    rm -f "$frames" "$build/demo/xvfb-display"
}

echo "== publish into $XDG_DATA_HOME/group-containers"
printf '%s' "$snapshot" | "$bridge" publish
echo "== status:        $("$bridge" status)"
echo "== read:          $("$bridge" read | head -c 120)..."

echo "== drawing the widget"
for family in small medium large; do
    for scheme in light dark; do
        TZ=UTC "$widget" render --family "$family" --scheme "$scheme" \
            --png "$pictures/$family-$scheme.png" >/dev/null
    done
done
# Right to left: the medium widget in Arabic and in Hebrew, whatever the user's locale.
for lang in ar_EG he_IL; do
    env -u LC_ALL -u LC_MESSAGES -u LANGUAGE LANG=$lang.UTF-8 TZ=UTC "$widget" render \
        --family medium --scheme light --png "$pictures/medium-light-${lang%_*}.png" >/dev/null
done
echo "== the desktop host on a virtual X display"
desktop_screenshot "$pictures/desktop.png"

echo "== medium width:  $("$bridge" medium-width) (recorded by the widget's medium timeline)"
echo "== a click on the first row opens: $("$widget" click 60 70 --family medium)"
echo
echo "Pictures of the widget, small, medium and large, in light and dark, and the desktop host:"
ls -1 "$pictures"/*.png | sed 's/^/  /'
echo
echo "Keep it live (redraws on every publish):"
echo "  XDG_DATA_HOME=$XDG_DATA_HOME $widget serve --out $build/demo/live"
echo "Or on your desktop (windows below the others, live, clickable):"
echo "  XDG_DATA_HOME=$XDG_DATA_HOME $build/bin/JotbirdWidgetsDesktop"
