#!/usr/bin/env bash
# A toll gate of 例句填空 played to its end in the real program with real X
# key events: each box is typed as the form its sentence uses, and each
# sentence is heard when its box comes into view.
#
#   cloze-toll-gate.sh PROGRAM_DIR E2E_CHECK OUTPUT_DIR
#
# A book of ten words is imported into a copy of the program folder; every
# example of each word uses one and the same form of it, never the spelling
# itself, so the typist knows the answers whichever example a box shows.
# "例句填空" is ticked before the game starts ("读音" is ticked by default).
#   1. The typist types each word's form once its sentence is heard, until
#      the end of the toll gate.
#   2. The speech log (switched on through QT_LOGGING_RULES) holds the
#      sentence of every word, whole; the recorded score counts right words
#      typed as forms.
# Like the other scripts it runs in a network namespace with only a loopback
# device, under a virtual X server of its own, without a window manager.
set -euo pipefail

. "$(dirname "$0")/e2e-common.sh"

program_src=$(cd "$1" && pwd)
check=$2
out=$3

# Button places from the window's top-left corner in the default look.
readonly START_BUTTON_X=38 START_BUTTON_Y=40      # "开始游戏"
readonly RESTART_BUTTON_X=114 RESTART_BUTTON_Y=40 # "重新游戏"
readonly CLOZE_BOX_X=545 CLOZE_BOX_Y=40           # "例句填空"
readonly RECORD_BUTTON_X=726 RECORD_BUTTON_Y=40   # "记录当前成绩"
readonly PLAYER_NAME=kivrocloze
readonly TYPE_DELAY_MS=15
readonly START_TIMEOUT=60 PLAY_TIMEOUT=150 DIALOG_TIMEOUT=30 EXIT_TIMEOUT=60
# The book's words and the one form their examples use. No y or n in any
# form: a letter typed just as the end message opens must not answer it.
readonly WORDS=(devote bury lick prick vigour fiber brood assail ossify vagary)
readonly FORMS=(devoted buried licked pricked vigor fibers brooded assailed ossified vagaries)

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

# The texts the speech log says were spoken, one a line.
spoken() { sed -n 's/^kivro\.speech: speak //p' "$log_file" 2> /dev/null; }
end_message_open() { window_named '提示信息'; }

# ---- a copy of the program playing a book of our own
log "copying $program_src"
cp -a "$program_src" "$dir"
rm -f "$dir/UseRecord.txt"
# 20 ms a pixel: a word stays on view for about nine seconds.
sed -i -E 's/^(LevelInterval[123])=[^\r]*/\1=20/' "$dir/data/typeconfig.ini"
for w in "${WORDS[@]}"; do printf '%s[p]词\r\n' "$w"; done | iconv -f UTF-8 -t GBK > "$work/book.txt"
"$check" book "$dir" "$work/book.txt" || fail "the test book was not imported"
# Every example sentence of the book's words: one of them is each word's.
for w in "${WORDS[@]}"; do
    "$check" examples "$dir" "$w" > "$work/$w.sentences" || fail "no examples of $w read"
    [ -s "$work/$w.sentences" ] || fail "the reference data hold no example of $w"
done

if [ -n "${ASAN_OPTIONS:-}" ]; then
    export ASAN_OPTIONS="$ASAN_OPTIONS:strict_string_checks=0"
fi
QT_LOGGING_RULES="kivro.speech.info=true" "$dir/kivrotype" > "$log_file" 2>&1 &
pid=$!
wait_for "$START_TIMEOUT" "the main window" window_named 'Kivro单词速打'
main=$found
sleep 1
focus "$main"
# "例句填空" first, so that every box comes into view in the mode; then
# "开始游戏" and "重新游戏": toll gate 1 runs its ten words once, as loaded.
click_at "$CLOZE_BOX_X" "$CLOZE_BOX_Y"
sleep 0.3
shot start
click_at "$START_BUTTON_X" "$START_BUTTON_Y"
sleep 0.3
click_at "$RESTART_BUTTON_X" "$RESTART_BUTTON_Y"
log "started"
sleep 1

# ---- 1. the forms typed until the end of the toll gate, each once its
# sentence has been heard (a box typed before it is wholly on view is never
# spoken)
deadline=$((SECONDS + PLAY_TIMEOUT))
shots=0
typed=()
until end_message_open; do
    [ "$SECONDS" -lt "$deadline" ] || fail "the toll gate did not end within ${PLAY_TIMEOUT}s"
    kill -0 "$pid" 2> /dev/null || fail "the program ended while playing"
    for i in "${!WORDS[@]}"; do
        [ -z "${typed[$i]:-}" ] || continue
        end_message_open && break
        has_focus "$main" || break
        spoken | grep -qxFf "$work/${WORDS[$i]}.sentences" || continue
        xdotool type --delay "$TYPE_DELAY_MS" "${FORMS[$i]}"
        typed[$i]=1
    done
    if [ "$shots" -eq 0 ] && [ "${#typed[@]}" -ge 3 ]; then
        shot playing
        shots=1
    fi
    sleep 0.1
done
message=$found
shot end
log "the toll gate ended"

# ---- 2. every word's sentence was spoken whole
for w in "${WORDS[@]}"; do
    spoken | grep -qxFf "$work/$w.sentences" || fail "no sentence of $w was spoken"
done
log "every word's sentence was spoken"

# "否": the game is finished; record its score.
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

quit_from_file_menu

score=$("$check" score "$dir" "$PLAYER_NAME") || fail "no score was recorded"
right=$((score / 100))
log "score $score: $right right words; spoken: $(spoken | tr '\n' '|')"
[ "$right" -ge 5 ] || fail "only $right words were typed right as their sentences' forms"
# The memory holds each book word, typed as its form, as a 例句填空 meeting (mode 2).
for w in "${WORDS[@]}"; do
    modes=$("$check" modes "$dir" "$w" | tr '\n' ' ')
    [ "$modes" = "2 " ] || fail "the review log of $w holds play modes '$modes', not one 例句填空 meeting"
done
log "every word is in the learning memory as a 例句填空 meeting"
log "passed"
