#pragma once
// How the words of a toll gate are put to the learner. Each mode is a task of
// its own difficulty, so typing speeds are compared within one mode only. The
// values are stored in the review log: append, never renumber.

enum class TPlayMode { Normal = 0, Dictation = 1, Cloze = 2 };
