#!/usr/bin/env bash
# Two things a player notices, checked in the real program with real X key
# events: a key held down types one letter, and every word typed is heard,
# the last word of the toll gate included.
#
#   held-key-and-last-word.sh PROGRAM_DIR E2E_CHECK OUTPUT_DIR
#
# A book of 20 words is imported into a copy of the program folder; its
# first word is "zzzz". The speech log (switched on through QT_LOGGING_RULES)
# has one line per word the game speaks.
#   1. Holding z for 1.5 s (keydown, a pause, keyup) types one z: "zzzz" is
#      not spoken; typing "zzz" then completes it and it is.
#   2. The typist types the other words until the end of the toll gate; the
#      last word of the toll gate is among the spoken words, and as many
#      words were spoken as the recorded score counts right words.
# Like play-first-toll-gate.sh it runs in a network namespace with only a
# loopback device, under a virtual X server of its own, without a window
# manager.
set -euo pipefail

. "$(dirname "$0")/e2e-common.sh"

program_src=$(cd "$1" && pwd)
check=$2
out=$3

# Button places from the window's top-left corner in the default look.
readonly START_BUTTON_X=38 START_BUTTON_Y=40      # "开始游戏"
readonly RESTART_BUTTON_X=114 RESTART_BUTTON_Y=40 # "重新游戏"
readonly RECORD_BUTTON_X=726 RECORD_BUTTON_Y=40   # "记录当前成绩"
readonly PLAYER_NAME=kivroheld
readonly TYPE_DELAY_MS=15
readonly START_TIMEOUT=60 PLAY_TIMEOUT=150 DIALOG_TIMEOUT=30 EXIT_TIMEOUT=60
# No y or n in any word: a letter typed just as the end message opens must
# not answer it. The last word of the toll gate is the last one here.
readonly WORDS=(zzzz cat dog elk fox gull hare ibis kiwi lark mule wasp pike quail ram seal toad wolf crab duck)

export LC_ALL=C.UTF-8
rm -rf "$out"
mkdir -p "$out"
work=$(mktemp -d)
dir=$work/kivrotype
log_file=$out/kivrotype.log
pid=

fail() {
    log "FAIL: $*"
    shot failure
    echo "---- speech log"
    grep 'kivro.speech' "$log_file" 2> /dev/null || echo "(no lines)"
    echo "---- program output"
    grep -v 'kivro.speech' "$log_file" 2> /dev/null | tail -n 40 || true
    echo "screenshots and files are in $out"
    exit 1
}

trap cleanup EXIT

# The words the speech log says were spoken, one a line.
spoken() { sed -n 's/^kivro\.speech: speak //p' "$log_file" 2> /dev/null; }
was_spoken() { spoken | grep -qx "$1"; }
end_message_open() { window_named '提示信息'; }

# ---- a copy of the program playing a book of our own
log "copying $program_src"
cp -a "$program_src" "$dir"
rm -f "$dir/UseRecord.txt"
# 20 ms a pixel: a word stays on view for about nine seconds.
sed -i -E 's/^(LevelInterval[123])=[^\r]*/\1=20/' "$dir/data/typeconfig.ini"
for w in "${WORDS[@]}"; do printf '%s[p]词\r\n' "$w"; done | iconv -f UTF-8 -t GBK > "$work/book.txt"
"$check" book "$dir" "$work/book.txt" || fail "the test book was not imported"

if [ -n "${ASAN_OPTIONS:-}" ]; then
    export ASAN_OPTIONS="$ASAN_OPTIONS:strict_string_checks=0"
fi
QT_LOGGING_RULES="kivro.speech.info=true" "$dir/kivrotype" > "$log_file" 2>&1 &
pid=$!
wait_for "$START_TIMEOUT" "the main window" window_named 'Kivro单词速打'
main=$found
sleep 1
focus "$main"
shot start
# "开始游戏", then "重新游戏": toll gate 1 runs its 20 words once, as loaded.
click_at "$START_BUTTON_X" "$START_BUTTON_Y"
sleep 0.3
click_at "$RESTART_BUTTON_X" "$RESTART_BUTTON_Y"
log "started"
sleep 1

# ---- 1. a held key types one letter
xdotool keydown z
sleep 1.5
xdotool keyup z
log "held z for 1.5 s"
sleep 1.5
shot held
if was_spoken zzzz; then
    fail "holding z typed more than one letter: zzzz was completed and spoken"
fi
xdotool type --delay "$TYPE_DELAY_MS" zzz
wait_for 5 "zzzz to be spoken after three more z" was_spoken zzzz
log "the held z typed one letter"

# ---- 2. every word typed is heard, the last one too
deadline=$((SECONDS + PLAY_TIMEOUT))
until end_message_open; do
    [ "$SECONDS" -lt "$deadline" ] || fail "the toll gate did not end within ${PLAY_TIMEOUT}s"
    kill -0 "$pid" 2> /dev/null || fail "the program ended while playing"
    for word in "${WORDS[@]:1}"; do
        end_message_open && break
        has_focus "$main" || break
        xdotool type --delay "$TYPE_DELAY_MS" "$word"
    done
done
message=$found
shot end
last=${WORDS[-1]}
was_spoken "$last" || fail "the last word of the toll gate, $last, was not spoken"
log "the last word, $last, was spoken"

# "否": the game is finished, the labels keep its counts; record them.
focus "$message"
xdotool key Escape
wait_for "$DIALOG_TIMEOUT" "the end message to close" only_main_window
focus "$main"
click_at "$RECORD_BUTTON_X" "$RECORD_BUTTON_Y"
wait_for "$DIALOG_TIMEOUT" "the question whether to record the score" window_named '提示信息'
focus "$found"
xdotool key Return
wait_for "$DIALOG_TIMEOUT" "the name dialog" window_named '用户名'
focus "$found"
xdotool type --delay "$TYPE_DELAY_MS" "$PLAYER_NAME"
xdotool key Return
wait_for "$DIALOG_TIMEOUT" "the dialogs to close" only_main_window

# ---- quit from the file menu
quit_from_file_menu

score=$("$check" score "$dir" "$PLAYER_NAME") || fail "no score was recorded"
right=$((score / 100))
count=$(spoken | wc -l)
log "score $score: $right right words; $count words spoken: $(spoken | tr '\n' ' ')"
[ "$right" -ge 2 ] || fail "only $right words were typed right"
[ "$count" -eq "$right" ] || fail "$right words were typed right but $count were spoken"
log "passed"
