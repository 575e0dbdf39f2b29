#pragma once
// The speech log: one line per word the game asks to be spoken. Silent by
// default; QT_LOGGING_RULES="kivro.speech.info=true" switches it on (the
// lines go to standard error). The speech engine's errors that are handled
// where they happen are warnings, shown by default; "kivro.speech.debug=true"
// adds the traces.

#include <QLoggingCategory>

#include "CommonLog.h"

Q_DECLARE_LOGGING_CATEGORY(lcSpeech)
