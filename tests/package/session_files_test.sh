#!/usr/bin/env bash
# The files that give the desktop host its place in a session, as `cmake --install` puts them
# under a prefix: the desktop entry and its icon, the AppStream metainfo, and the systemd
# user unit, which must not restart the host for ever where trying again cannot help.
#   session_files_test.sh BUILD_DIR
set -euo pipefail
build=$(cd "$1" && pwd)
scratch=$(mktemp -d)
serve=
trap '[[ -n "$serve" ]] && kill "$serve" 2>/dev/null; rm -rf "$scratch"' EXIT
prefix=$scratch/prefix
cmake --install "$build" --prefix "$prefix" >/dev/null

failed=0
fail() { echo "FAIL: $*"; failed=1; }

entry=$prefix/share/applications/jotbird-widgets-desktop.desktop
unit=$prefix/lib/systemd/user/jotbird-widgets-desktop.service
metainfo=$prefix/share/metainfo/jotbird.notes.Widgets.metainfo.xml
program=$prefix/bin/JotbirdWidgetsDesktop

# --- desktop entry and icon ---------------------------------------------------------------
out=$(desktop-file-validate "$entry" 2>&1) || fail "desktop-file-validate: $out"
[[ -z "$out" ]] || fail "desktop-file-validate: $out"
key() { sed -n "s/^$1=//p" "$2" | head -n 1; }
[[ "$(key Exec "$entry")" == "$program" ]] || fail "Exec= is $(key Exec "$entry")"
icon=$(key Icon "$entry")
# Every size is the size its folder says, so that the theme hands out the right one.
for size in 16 32 48 64 128 256; do
    png=$prefix/share/icons/hicolor/${size}x${size}/apps/$icon.png
    [[ -f "$png" ]] || { fail "no $size px icon $png"; continue; }
    shown=$(identify -format '%wx%h' "$png")
    [[ "$shown" == "${size}x${size}" ]] || fail "$png is $shown"
done
[[ -f "$prefix/share/icons/hicolor/scalable/apps/$icon.svg" ]] || fail "no scalable icon"

# --- AppStream ----------------------------------------------------------------------------
out=$(appstreamcli validate --no-net --explain "$metainfo" 2>&1) || fail "appstreamcli: $out"
grep -q "<launchable type=\"desktop-id\">$(basename "$entry")</launchable>" "$metainfo" ||
    fail "the metainfo does not launch $(basename "$entry")"

# --- the systemd user unit ----------------------------------------------------------------
runtime=$scratch/runtime
mkdir -m 700 "$runtime"
for mode in --system --user; do
    out=$(MANPATH=$prefix/share/man XDG_RUNTIME_DIR=$runtime \
        systemd-analyze "$mode" verify "$unit" 2>&1) || fail "systemd-analyze $mode verify: $out"
    [[ -z "$out" ]] || fail "systemd-analyze $mode verify: $out"
done
setting() { sed -n "s/^$1=//p" "$unit"; }
[[ "$(setting ExecStart)" == "$program --quiet" ]] || fail "ExecStart= is $(setting ExecStart)"
[[ "$(setting Restart)" == on-failure ]] || fail "Restart= is $(setting Restart)"
[[ "$(setting Documentation)" == "man:JotbirdWidgetsDesktop(1)" ]] ||
    fail "Documentation= is $(setting Documentation)"
# Other failures are tried again, but a start limit that restarts actually reach ends it.
burst=$(setting StartLimitBurst) interval=$(setting StartLimitIntervalSec) pause=$(setting RestartSec)
((burst * pause < interval)) ||
    fail "restarts every $pause s never reach $burst starts in $interval s"
read -r -a prevented <<<"$(setting RestartPreventExitStatus)"
not_restarted() { [[ " ${prevented[*]} " == *" $1 "* ]]; }

# The host run where a restart cannot help: each ends at once with a status the unit does
# not restart after.
export XDG_DATA_HOME=$scratch/data HOME=$scratch TZ=UTC
# In a sanitizer build the toolkit's caches, kept until exit, must not change the status.
export ASAN_OPTIONS=${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0
expect_status() {
    local want=$1 what=$2 status=0
    shift 2
    timeout 20 "$@" >/dev/null 2>"$scratch/stderr" || status=$?
    [[ $status -eq $want ]] || fail "$what: status $status, not $want: $(cat "$scratch/stderr")"
    not_restarted "$status" || fail "$what: the unit restarts after status $status"
    [[ $(wc -l <"$scratch/stderr") -eq 1 ]] || fail "$what: not one line: $(cat "$scratch/stderr")"
}
printf '%s' '{"schema":1,"updatedAt":0,"account":"","total":0,"notes":[]}' |
    "$prefix/bin/JotbirdWidgetBridge" publish >/dev/null
expect_status 4 "no display" env -u DISPLAY -u WAYLAND_DISPLAY "$program"
"$prefix/bin/JotbirdWidgets" serve --quiet --out "$scratch/pictures" &
serve=$!
socket=$XDG_DATA_HOME/group-containers/group.jotbird.notes/widget-host.sock
# A loaded machine may take a while to start it; without its socket the case means nothing.
for _ in $(seq 600); do [[ -S "$socket" ]] && break; sleep 0.05; done
[[ -S "$socket" ]] || fail "serve never bound $socket"
expect_status 3 "another host listening" env DISPLAY=:99999 "$program"
not_restarted 2 || fail "the unit restarts after bad arguments (status 2)"
not_restarted 1 && fail "the unit never restarts after status 1"

[[ $failed -eq 0 ]] && echo "session files: entry, icons, metainfo and unit as expected"
exit $failed
