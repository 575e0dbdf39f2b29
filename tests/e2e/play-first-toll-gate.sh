#!/usr/bin/env bash
# Plays the first toll gate of the default book in the real program, with real
# X key and mouse events, the way a player does, and checks what the game left
# behind: a leaderboard record, the settings at toll gate 2, both toll gates
# in the recent list, and a rated memory of every word the typist met.
#
#   play-first-toll-gate.sh PROGRAM_DIR E2E_CHECK OUTPUT_DIR
#
# PROGRAM_DIR is the built program folder (it is copied, never changed);
# E2E_CHECK the e2e-check tool; OUTPUT_DIR receives screenshots, the program's
# output and, on failure, the files of the copied folder.
#
# The script puts itself in a network namespace with only a loopback device
# (so the program's Internet check never leaves the machine) and then under a
# virtual X server of its own. There is no window manager: windows are focused
# with "xdotool windowfocus", and the buttons are clicked at their place in
# the default look, measured from the window's corner.
set -euo pipefail

. "$(dirname "$0")/e2e-common.sh"
. "$(dirname "$0")/e2e-play.sh"

program_src=$(cd "$1" && pwd)
check=$2
out=$3

readonly PLAYER_NAME=kivroplayer

export LC_ALL=C.UTF-8
rm -rf "$out"
mkdir -p "$out"
work=$(mktemp -d)
dir=$work/kivrotype
pid=

trap cleanup EXIT

# ---- a copy of the program whose words fall fast
log "copying $program_src"
cp -a "$program_src" "$dir"
rm -f "$dir/UseRecord.txt"
sed -i -E 's/^(LevelInterval[123])=[^\r]*/\1=10/' "$dir/data/typeconfig.ini"
grep -c '^LevelInterval[123]=10' "$dir/data/typeconfig.ini" | grep -qx 3 ||
    fail "the level intervals were not set in typeconfig.ini"

mapfile -t words < <("$check" words "$dir" 1)
[ "${#words[@]}" -eq 20 ] || fail "toll gate 1 has ${#words[@]} words, not 20"
log "toll gate 1: ${words[*]}"

# ---- start, play, record the score and quit
play_first_toll_gate "$dir/kivrotype"

# ---- what the game left behind
cp -f "$dir/UseRecord.txt" "$dir/data/typeconfig.ini" "$out/"
"$check" verify "$dir" "$PLAYER_NAME" || fail "the played game was not stored as expected"
log "passed"
