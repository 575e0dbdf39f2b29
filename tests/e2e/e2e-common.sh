# Sourced by the end-to-end scripts, first thing: checks the arguments
# (PROGRAM_DIR E2E_CHECK OUTPUT_DIR), puts the calling script in a network
# namespace with only a loopback device (so the program's Internet check never
# leaves the machine), then under a virtual X server of its own, and gives it
# the helpers both scripts use. There is no window manager: windows are
# focused with "xdotool windowfocus". The script defines fail() and sets
# $pid (the program) and $main (its main window).

if [ $# -ne 3 ]; then
    echo "usage: $0 PROGRAM_DIR E2E_CHECK OUTPUT_DIR" >&2
    exit 2
fi

case "${KIVRO_E2E_STAGE:-}" in
"")
    export KIVRO_E2E_STAGE=isolated
    if [ "$(id -u)" -eq 0 ]; then
        exec unshare --net "$0" "$@"
    fi
    # Without root, a user namespace gives the right to make the network one.
    exec unshare --map-root-user --net "$0" "$@"
    ;;
isolated)
    ip link set lo up
    devices=$(ip -o link show | awk -F': ' '{print $2}' | tr '\n' ' ')
    if [ "$devices" != "lo " ]; then
        echo "FAIL: the network namespace has other devices than loopback: $devices" >&2
        exit 1
    fi
    export KIVRO_E2E_STAGE=display
    exec xvfb-run --auto-servernum --server-args="-screen 0 1280x1024x24 -nolisten tcp" "$0" "$@"
    ;;
display) ;;
*)
    echo "unknown stage $KIVRO_E2E_STAGE" >&2
    exit 2
    ;;
esac

# The program must draw on this X server, whatever platform the calling
# environment chose for the other tests (offscreen).
export QT_QPA_PLATFORM=xcb

# Ends the program if it still runs and removes the script's $work folder.
cleanup() {
    if [ -n "$pid" ] && kill -0 "$pid" 2> /dev/null; then
        kill "$pid" 2> /dev/null || true
        wait "$pid" 2> /dev/null || true
    fi
    rm -rf "$work"
}

log() { printf '[%5ds] %s\n' "$SECONDS" "$*"; }

shot() { import -window root "$out/$1.png" 2> /dev/null || log "no screenshot $1"; }

# Polls a condition (a command) every tenth of a second until it holds.
wait_for() {
    local seconds=$1 what=$2
    shift 2
    local deadline=$((SECONDS + seconds))
    until "$@"; do
        [ "$SECONDS" -lt "$deadline" ] || fail "waited ${seconds}s for $what"
        if [ -n "$pid" ] && ! kill -0 "$pid" 2> /dev/null; then
            fail "the program ended while waiting for $what"
        fi
        sleep 0.1
    done
}

# The one visible window of the program with this title, in $found.
window_named() {
    found=$(xdotool search --all --onlyvisible --pid "$pid" --name "^$1\$" 2> /dev/null | head -n 1)
    [ -n "$found" ]
}

visible_windows() { xdotool search --onlyvisible --pid "$pid" 2> /dev/null | wc -l; }
only_main_window() { [ "$(visible_windows)" -eq 1 ]; }
more_than_main_window() { [ "$(visible_windows)" -gt 1 ]; }
has_focus() { [ "$(xdotool getwindowfocus 2> /dev/null)" = "$1" ]; }

# Gives the window the keyboard, as a window manager would on a click.
focus() {
    xdotool windowfocus --sync "$1"
    wait_for "$DIALOG_TIMEOUT" "the keyboard focus on window $1" has_focus "$1"
}

click_at() {
    eval "$(xdotool getwindowgeometry --shell "$main")"
    xdotool mousemove --sync $((X + $1)) $((Y + $2)) click 1
}

# "退出游戏" from the keyboard: the file menu, then up to its last item; the
# program must end, with status 0, within $EXIT_TIMEOUT seconds.
quit_from_file_menu() {
    focus "$main"
    xdotool key alt+f
    wait_for "$DIALOG_TIMEOUT" "the file menu" more_than_main_window
    shot menu
    xdotool key Up Return
    local deadline=$((SECONDS + EXIT_TIMEOUT)) status=0
    while kill -0 "$pid" 2> /dev/null; do
        [ "$SECONDS" -lt "$deadline" ] || fail "the program did not end within ${EXIT_TIMEOUT}s of 退出游戏"
        sleep 0.1
    done
    wait "$pid" || status=$?
    pid=
    [ "$status" -eq 0 ] || fail "the program ended with status $status"
}
