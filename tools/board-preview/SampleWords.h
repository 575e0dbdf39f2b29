#pragma once
// Forty real words with their Chinese meanings, for previews without a list.

#include "Records.h"

TWordInfos SampleWords();
