#pragma once
// The speech log: one line per word the game asks to be spoken. Silent by
// default; QT_LOGGING_RULES="kivro.speech.info=true" switches it on (the
// lines go to standard error); "kivro.speech.debug=true" adds the errors of
// the speech engine that are handled where they happen.

#include <QLoggingCategory>

#include "CommonLog.h"

Q_DECLARE_LOGGING_CATEGORY(lcSpeech)
