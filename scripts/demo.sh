#!/usr/bin/env bash
# Publishes a sample snapshot through the bridge into a container under the build tree
# (never the user's own), then draws the widget in its three sizes, light and dark.
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
echo "== medium width:  $("$bridge" medium-width) (recorded by the widget's medium timeline)"
echo "== a click on the first row opens: $("$widget" click 60 70 --family medium)"
echo
echo "Pictures of the widget, small, medium and large, in light and dark:"
ls -1 "$pictures"/*.png | sed 's/^/  /'
echo
echo "Keep it live (redraws on every publish):"
echo "  XDG_DATA_HOME=$XDG_DATA_HOME $widget serve --out $build/demo/live"
