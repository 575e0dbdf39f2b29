#pragma once
// The spellings a word box accepts. By default a box accepts exactly its
// word's spelling; its owner may give it others instead (the word's other
// spelling, the form a sentence uses). Each key advances the box while it
// matches some accepted answer at the next position; the box follows one
// answer at a time (the first while it still matches), draws that one, and
// completing any answer completes the box.
//
// Progress stays where it always was: TypedFlags, one per byte of the answer
// being followed, its 1s a prefix.

#include <cstddef>
#include <string>
#include <vector>

#include "BoardTypes.h"

// How many answers the box accepts, and each of them; answer 0 is the one a
// box with nothing typed follows.
size_t BoxAnswerCount(const TTypeWordItem &item);
const std::string &BoxAnswer(const TTypeWordItem &item, size_t index);
// The answer the typed letters follow (and the box draws).
const std::string &BoxFollowedAnswer(const TTypeWordItem &item);
// Letters typed so far: the length of the flags' prefix of 1s.
size_t BoxTypedLength(const TTypeWordItem &item);
// Every letter of the followed answer is typed.
bool BoxComplete(const TTypeWordItem &item);
// Some accepted answer agrees with the typed letters and has key next.
bool BoxAwaits(const TTypeWordItem &item, char key);
// Applies one typed character: true when it advanced the box (perhaps onto
// another answer); a key no answer has next changes nothing.
bool AdvanceBox(TTypeWordItem &item, char key);
// Nothing typed, following answer 0 again.
void ClearBoxTyping(TTypeWordItem &item);
// Gives the box its accepted answers (empty: its word's spelling only) and
// clears its progress.
void SetBoxAnswers(TTypeWordItem &item, std::vector<std::string> answers);
