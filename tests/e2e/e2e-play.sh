# Sourced by the end-to-end scripts that play the first toll gate of the
# default book, after e2e-common.sh: the buttons' places, failure reports and
# the play itself.

# Where the buttons are, from the window's top-left corner, in the default
# look (the shipped skin and fonts); see start.png in the output folder.
readonly START_BUTTON_X=38 START_BUTTON_Y=40      # "开始游戏"
readonly RECORD_BUTTON_X=726 RECORD_BUTTON_Y=40   # "记录当前成绩"
readonly TYPE_DELAY_MS=15
# Seconds each phase may take before the test gives up.
readonly START_TIMEOUT=60 PLAY_TIMEOUT=150 DIALOG_TIMEOUT=30 EXIT_TIMEOUT=60


show_file() {
    echo "---- $1"
    if [ -f "$1" ]; then
        iconv -f GBK -t UTF-8 "$1" 2> /dev/null || cat "$1"
    else
        echo "(missing)"
    fi
}

fail() {
    log "FAIL: $*"
    shot failure
    echo "---- windows of the program"
    if [ -n "$pid" ]; then
        for w in $(xdotool search --onlyvisible --pid "$pid" 2> /dev/null); do
            echo "$w $(xdotool getwindowname "$w" 2> /dev/null)"
        done
        echo "focus: $(xdotool getwindowfocus 2> /dev/null)"
    fi
    show_file "$dir/UseRecord.txt"
    show_file "$dir/data/typeconfig.ini"
    cp -f "$dir/UseRecord.txt" "$dir/data/typeconfig.ini" "$out/" 2> /dev/null || true
    echo "---- program output"
    tail -n 60 "$out/kivrotype.log" 2> /dev/null || true
    echo "screenshots and files are in $out"
    exit 1
}

# The toll gate is listed in the recent file for the default book.
recent_lists() {
    [ -f "$dir/UseRecord.txt" ] &&
        LC_ALL=C awk -F'#@#' -v gate="$1" '
            { sub(/\r$/, "") }
            $1 == "lib109" && $5 == gate { found = 1 }
            END { exit !found }' "$dir/UseRecord.txt"
}

# Starts the program (the command given), plays the first toll gate with the
# words of $words, records the score under $PLAYER_NAME and quits through the
# menu. Expects $dir (the player's program folder), $out and $pid from the
# script.
play_first_toll_gate() {
    # ---- start, focus, "开始游戏"
    # In a sanitizer build, the X keyboard library's strndup of a name at the very
    # end of a server reply trips the strict string check; that check is for our
    # code, not the X libraries, so it is off for the program under X.
    if [ -n "${ASAN_OPTIONS:-}" ]; then
        export ASAN_OPTIONS="$ASAN_OPTIONS:strict_string_checks=0"
    fi
    "$@" > "$out/kivrotype.log" 2>&1 &
    pid=$!
    wait_for "$START_TIMEOUT" "the main window" window_named 'Kivro单词速打'
    main=$found
    # The first toll gate is written to the recent list when the window is ready.
    wait_for "$START_TIMEOUT" "toll gate 1 in UseRecord.txt" recent_lists 1
    focus "$main"
    xdotool getwindowgeometry "$main"
    shot start
    log "screenshots go to $out"
    click_at "$START_BUTTON_X" "$START_BUTTON_Y"
    log "started"

    # ---- type the words as they come into view until toll gate 2 is on
    deadline=$((SECONDS + PLAY_TIMEOUT))
    rounds=0
    playing_shot=
    until recent_lists 2; do
        [ "$SECONDS" -lt "$deadline" ] || fail "toll gate 2 did not come within ${PLAY_TIMEOUT}s"
        kill -0 "$pid" 2> /dev/null || fail "the program ended while playing"
        has_focus "$main" || fail "the main window lost the keyboard while playing"
        for word in "${words[@]}"; do
            xdotool type --delay "$TYPE_DELAY_MS" "$word"
            recent_lists 2 && break
        done
        rounds=$((rounds + 1))
        if [ -z "$playing_shot" ] && [ "$rounds" -ge 3 ]; then
            shot playing
            playing_shot=1
        fi
    done
    log "toll gate 2 is on after $rounds rounds of typing"
    shot tollgate2

    # ---- "记录当前成绩": Yes, a name, OK
    click_at "$RECORD_BUTTON_X" "$RECORD_BUTTON_Y"
    wait_for "$DIALOG_TIMEOUT" "the question whether to record the score" window_named '提示信息'
    question=$found
    focus "$question"
    shot question
    xdotool key Return
    wait_for "$DIALOG_TIMEOUT" "the name dialog" window_named '用户名'
    name_box=$found
    focus "$name_box"
    xdotool type --delay "$TYPE_DELAY_MS" "$PLAYER_NAME"
    shot name
    xdotool key Return
    wait_for "$DIALOG_TIMEOUT" "the dialogs to close" only_main_window
    log "score recorded as $PLAYER_NAME"
    wait_for "$DIALOG_TIMEOUT" "toll gate 2 in UseRecord.txt" recent_lists 2

    quit_from_file_menu
    log "the program ended"
}
