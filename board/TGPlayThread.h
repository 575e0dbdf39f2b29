#pragma once
// The board's play thread: sleeps the level's interval (milliseconds), then
// has the UI thread run one tick and waits until it has run. Restart and
// ResizeBoard pause it first, so a tick queued before them does nothing.

#include "UiTickThread.h"

class TTGPlayThread : public TUiTickThread {
public:
    TTGPlayThread(QObject *Context, TTickSource Source)
        : TUiTickThread(Context, Source, TFirstTick::AfterInterval)
    {
    }
};
