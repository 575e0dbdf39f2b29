#!/usr/bin/env bash
# The login reminder (`kivrotype --remind`) on a session bus of its own, with
# a real notification server, under a virtual X server, in a network namespace
# with only a loopback device.
#
#   remind-notification.sh PROGRAM_DIR E2E_CHECK OUTPUT_DIR
#
#   1. Without a notification server (notification-daemon has no activation
#      file, so none starts by itself) and words due: status 0 within
#      $QUIET_TIMEOUT seconds, no window on the screen.
#   2. With notification-daemon and nothing due: status 0, no Notify call
#      (dbus-monitor sees every call; a call of our own after the program
#      ended marks the end of what it could have sent).
#   3. With words due: exactly one Notify call, its text naming their number,
#      its action "开始复习"; the action's button clicked on the server's
#      pop-up starts the game on 今日复习 (the flow's debug trace "word game:
#      今日复习 N words", the main window on screen), and the reminder ends
#      with status 0.
set -euo pipefail

. "$(dirname "$0")/e2e-common.sh"

# A session bus of the script's own, inside the namespace and the display.
if [ "${KIVRO_E2E_BUS:-}" != own ]; then
    export KIVRO_E2E_BUS=own
    exec dbus-run-session -- "$0" "$@"
fi

program_src=$(cd "$1" && pwd)
check=$2
out=$3

readonly DAEMON=/usr/lib/notification-daemon/notification-daemon
readonly START_TIMEOUT=60 DIALOG_TIMEOUT=30 QUIET_TIMEOUT=10 EXIT_TIMEOUT=60
# The action button on notification-daemon's pop-up, from its bottom-right
# corner (see notification.png in the output folder).
readonly BUTTON_FROM_RIGHT=88 BUTTON_FROM_BOTTOM=40

export LC_ALL=C.UTF-8
# The flow's trace says which game started.
export QT_LOGGING_RULES="kivro.flow.debug=true"
# The server's toolkit would start an accessibility bus of its own.
export NO_AT_BRIDGE=1
if [ -n "${ASAN_OPTIONS:-}" ]; then
    # As in the other scripts: the X libraries' string reads, not ours.
    export ASAN_OPTIONS="$ASAN_OPTIONS:strict_string_checks=0"
fi
rm -rf "$out"
mkdir -p "$out"
work=$(mktemp -d)
pid=
remind=
daemon=
monitor=
calls=$out/dbus-monitor.log

fail() {
    log "FAIL: $*"
    shot failure
    for f in "$out"/*.log; do
        echo "---- $f"
        tail -n 40 "$f"
    done
    echo "screenshots and logs are in $out"
    exit 1
}

stop() {
    local p=$1
    if [ -n "$p" ] && kill -0 "$p" 2> /dev/null; then
        kill "$p" 2> /dev/null || true
        wait "$p" 2> /dev/null || true
    fi
}

finish() {
    stop "$remind"
    stop "$daemon"
    stop "$monitor"
    # The game the action started is not our child: ended by its pid, and
    # waited for before its folder goes.
    if [ -n "$pid" ] && kill "$pid" 2> /dev/null; then
        local deadline=$((SECONDS + EXIT_TIMEOUT))
        while kill -0 "$pid" 2> /dev/null && [ "$SECONDS" -lt "$deadline" ]; do sleep 0.1; done
    fi
    pid=
    cleanup
}
trap finish EXIT

# A program folder of its own for each case; $1 toll gates of words made due.
fresh_folder() {
    dir=$work/$2
    cp -a "$program_src" "$dir"
    if [ "$1" -gt 0 ]; then
        "$check" due "$dir" "$1" > "$work/due.txt" || fail "no words were made due"
        due=$(awk '{print $1}' "$work/due.txt")
        [ "$due" -gt 0 ] || fail "e2e-check made no word due: $(cat "$work/due.txt")"
    fi
}

has_owner() {
    dbus-send --session --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
        org.freedesktop.DBus.NameHasOwner "string:$1" 2> /dev/null | grep -q 'boolean true'
}
notify_calls() { grep -c 'member=Notify$' "$calls" || true; }
marker_seen() { grep -q 'member=GetServerInformation$' "$calls"; }
ended() { ! kill -0 "$remind" 2> /dev/null; }
# The visible windows of the screen, against those before the reminder.
on_screen() { xdotool search --onlyvisible --name '' 2> /dev/null | sort; }
visible_any() { [ "$(on_screen)" != "$screen_before" ]; }

# Runs the reminder in $dir in the background: $remind.
start_reminder() {
    "$dir/kivrotype" --remind >> "$out/$1.log" 2>&1 &
    remind=$!
}

# Waits for the reminder's end; its status must be 0.
reminder_status_0() {
    local status=0
    wait "$remind" || status=$?
    remind=
    [ "$status" -eq 0 ] || fail "the reminder ended with status $status"
}

# Every call and signal of the notification interface, from here on.
dbus-monitor --session "interface='org.freedesktop.Notifications'" > "$calls" 2> "$out/dbus-monitor.err" &
monitor=$!
wait_for "$DIALOG_TIMEOUT" "dbus-monitor" test -s "$calls"

# ---- 1. no notification server
fresh_folder 1 no-server
has_owner org.freedesktop.Notifications && fail "a notification server is on the bus already"
screen_before=$(on_screen)
start_reminder no-server
deadline=$((SECONDS + QUIET_TIMEOUT))
while ! ended; do
    [ "$SECONDS" -lt "$deadline" ] || fail "the reminder still runs ${QUIET_TIMEOUT}s after start without a server"
    visible_any && fail "a window is on the screen without a notification server"
    sleep 0.1
done
reminder_status_0
visible_any && fail "a window is on the screen without a notification server"
shot no-server
[ ! -s "$out/no-server.log" ] || fail "the reminder said something without a server: $(cat "$out/no-server.log")"
log "no server: status 0, nothing on the screen"

# ---- the server
"$DAEMON" > "$out/notification-daemon.log" 2>&1 &
daemon=$!
wait_for "$START_TIMEOUT" "notification-daemon on the bus" has_owner org.freedesktop.Notifications

# ---- 2. nothing due
fresh_folder 0 nothing-due
before=$(notify_calls)
start_reminder nothing-due
wait_for "$QUIET_TIMEOUT" "the reminder's end with nothing due" ended
reminder_status_0
dbus-send --session --print-reply --dest=org.freedesktop.Notifications \
    /org/freedesktop/Notifications org.freedesktop.Notifications.GetServerInformation > /dev/null
wait_for "$DIALOG_TIMEOUT" "the marker call in dbus-monitor's log" marker_seen
[ "$(notify_calls)" -eq "$before" ] || fail "a notification was sent with nothing due"
log "nothing due: status 0, no notification"

# ---- 3. words due, the action clicked
fresh_folder 1 due
log "$due words due"
# The call without a server reached the bus too (and was refused there).
before=$(notify_calls)
new_calls() { echo $(($(notify_calls) - before)); }
start_reminder due
one_call() { [ "$(new_calls)" -ge 1 ]; }
wait_for "$START_TIMEOUT" "the Notify call" one_call
[ "$(new_calls)" -eq 1 ] || fail "$(new_calls) Notify calls, not one"
# The call's arguments follow it: the summary, and the action's key and label.
notify_block=$(awk -v skip="$before" '
    /member=Notify$/ { if (seen++ == skip) { on = 1; next } }
    on && /^(method|signal|method return|error) / { exit }
    on' "$calls")
grep -qF "string \"Kivro单词速打：今天有${due}个单词需要复习\"" <<< "$notify_block" ||
    fail "the notification does not say ${due} words: $notify_block"
grep -qF 'string "开始复习"' <<< "$notify_block" || fail "no action 开始复习: $notify_block"

popup_shown() {
    found=$(xdotool search --onlyvisible --pid "$daemon" 2> /dev/null | head -n 1)
    [ -n "$found" ]
}
wait_for "$DIALOG_TIMEOUT" "the notification's pop-up" popup_shown
popup=$found
sleep 0.5 # the pop-up fades in; the screenshot is for the eye only
shot notification
eval "$(xdotool getwindowgeometry --shell "$popup")"
xdotool mousemove --sync $((X + WIDTH - BUTTON_FROM_RIGHT)) $((Y + HEIGHT - BUTTON_FROM_BOTTOM)) click 1

game_window() {
    found=$(xdotool search --onlyvisible --name '^Kivro单词速打$' 2> /dev/null | head -n 1)
    [ -n "$found" ]
}
wait_for "$START_TIMEOUT" "the game's main window" game_window
pid=$(xdotool getwindowpid "$found")
review_started() { grep -qF "kivro.flow: word game: 今日复习 ${due} words" "$out/due.log"; }
wait_for "$START_TIMEOUT" "the game on 今日复习 in the log" review_started
wait_for "$EXIT_TIMEOUT" "the reminder's end after the action" ended
reminder_status_0
grep -q 'member=ActionInvoked$' "$calls" || fail "no ActionInvoked signal was seen"
[ "$(new_calls)" -eq 1 ] || fail "$(new_calls) Notify calls, not one"
sleep 1 # the window's first paints; the screenshot is for the eye only
shot review
log "words due: one notification, the action started 今日复习"
log "passed"
