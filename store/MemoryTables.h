#pragma once
// The learning memory's tables and indexes (WordMemory.h reads and writes
// them). Only statements on a transaction: the schema steps create them while
// a file is being opened, before any data module is there to use.

#include "SqlDatabase.h"

// Creates the memory tables and their indexes (the migration step to version 2).
void CreateMemoryTables(TSqlTransaction &transaction);
// The step to version 3: the review log's typing columns (level, play mode,
// key times, letters per second; NULL on older rows) and the dated log of the
// scheduler's parameters (memoryparams: time, retention, the 21 weights).
void AddTypingAndParameterTables(TSqlTransaction &transaction);
