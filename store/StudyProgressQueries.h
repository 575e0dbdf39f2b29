#pragma once
// The progress window's reads of the learning memory, each one query over a
// whole table (no per-word round trips), and its one write, emptying it.
// Queries throw EDatabaseError.

#include <cstdint>
#include <vector>

#include "Records.h"
#include "StudyHabit.h"
#include "StudyProgress.h"
#include "StudyRecordCsv.h"

// Every figure of the window; "due" counts cards due before the local
// midnight after NowMs.
TStudyProgress ReadStudyProgress(std::int64_t NowMs);
// The same without the words missed most and the weak letters, which the
// window reads when their tab is first shown; the words learnt over time
// from Log.
TStudyProgress ReadBookProgress(std::int64_t nowMs, const TStudyLog &log);
// Fills in the words missed most and the weak letters.
void ReadStudyMistakes(TStudyProgress &progress);
// Every word of the memory with its meaning (from the book of its last
// meeting), by spelling.
std::vector<TStudyRecordRow> ReadStudyRecords();
// The words with the most slips, most first, with their meanings where the
// book still has them.
TWordInfos WeakSpellingWords(int Limit = WeakSpellingCount);
// Forgets every word, slip, review and toll gate played; the books and the
// new-words book stay. False on an engine failure (nothing is removed then).
bool ClearStudyRecords();
