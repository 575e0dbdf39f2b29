#pragma once
// A word with a British and an American spelling: what its box accepts while
// both spellings are (Setting::BothSpellings), and what the last-word line
// adds from the reference data.

#include <string>
#include <vector>

#include "LastWordLine.h"

class TReferenceData;

// The word's own spelling and its other one, in that order; empty (its own
// only) when it has no other.
std::vector<std::string> BothSpellingsOf(const TReferenceData &reference,
                                         const std::string &spelling);
// The American pronunciation and the other spelling the reference data hold.
TWordVariants WordVariantsOf(const TReferenceData &reference, const std::string &spelling);
