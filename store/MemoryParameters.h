#pragma once
// The scheduler's parameters the learner chose or had fitted, kept as a log
// of dated changes in the word database (table memoryparams): the latest one
// is in force, none means the defaults. Changes are appended, never edited,
// so that the logs of two computers can be merged by time.

#include <cstdint>
#include <vector>

#include "FsrsScheduler.h"

struct TMemoryParameterChange {
    std::int64_t At = 0;  // Unix milliseconds
    TFsrsParameters Parameters;
};

// The parameters in force. A stored change that does not read (21 finite
// weights, a retention within kMinRetention … kMaxRetention) counts as
// none. Throws EDatabaseError on an engine error.
TFsrsParameters ReadMemoryParameters();
// Every change, oldest first (unreadable ones left out).
std::vector<TMemoryParameterChange> MemoryParameterChanges();

// Records the change and re-schedules every logged word with the new
// parameters (ReplayWordMemory), in one transaction; throws EDatabaseError
// with nothing changed.
void ChangeMemoryParameters(const TFsrsParameters &parameters, std::int64_t atMs);
