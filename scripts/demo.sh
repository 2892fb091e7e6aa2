#!/usr/bin/env bash
# Publishes a sample snapshot through the bridge into a container under the build tree
# (never the user's own) and shows what the bridge reports back.
set -euo pipefail
build=${1:-build}
bridge="$build/bin/JotbirdWidgetBridge"
export XDG_DATA_HOME="$(cd "$build" && pwd)/demo"
mkdir -p "$XDG_DATA_HOME"

now_ms=$(($(date +%s) * 1000))
snapshot=$(cat <<JSON
{"schema":1,"updatedAt":$now_ms,"account":"demo@jotbird","total":5,"folded":2,"notes":[
 {"id":"groceries","title":"买菜：番茄、鸡蛋、葱","remindAt":$((now_ms + 3600000))},
 {"id":"call mom/2","title":"Call mom about the weekend"},
 {"id":"便签-42","title":"整理本周的读书笔记","remindAt":$((now_ms + 7200000))},
 {"id":"report","title":"Finish the quarterly report draft before Friday's review meeting"},
 {"id":"empty-title","title":""}]}
JSON
)

echo "== publish (container: $XDG_DATA_HOME/group-containers)"
printf '%s' "$snapshot" | "$bridge" publish
echo "== status"
"$bridge" status
echo "== read"
"$bridge" read
echo
echo "== medium-width"
"$bridge" medium-width
