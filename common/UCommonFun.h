#pragma once
// The shared records, settings accessors, text utilities and scrambling used
// across the program.

#include "Clock.h"
#include "GbkText.h"
#include "IniFile.h"
#include "Random.h"
#include "Records.h"
#include "Scramble.h"
#include "Settings.h"
#include "Speaker.h"
#include "TextUtils.h"
