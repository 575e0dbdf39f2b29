#pragma once
// The learning memory's tables and indexes (WordMemory.h reads and writes
// them). Only statements on a transaction: the schema steps create them while
// a file is being opened, before any data module is there to use.

#include <string>
#include <vector>

#include "SqlDatabase.h"

// Creates the memory tables and their indexes (the migration step to version 2).
void CreateMemoryTables(TSqlTransaction &transaction);
// The step to version 3: the review log's typing columns (level, play mode,
// key times, letters per second; NULL on older rows) and the dated log of the
// scheduler's parameters (memoryparams: time, retention, the 21 weights).
void AddTypingAndParameterTables(TSqlTransaction &transaction);

// The step to version 4: the computer's identity (ComputerIdentity.h), a
// global id (origin, originseq) on every row that travels to other computers
// (the review, slip, play and parameter logs, the scores, and the books: a
// file cannot tell a shipped book from one the learner imported, so every
// book gets one, the new-words book and the shuffled copies excepted, which
// are made from the logs and the books), given to the rows already there in
// their order under one new id; and the review log's share of each word's
// counts (seen, right, missed) and the book row it was met in, NULL on older
// rows.
void AddGlobalIds(TSqlTransaction &transaction);
// The step to version 5: the segments of the logs exchanged with other
// computers through a sync server (SyncSegments.h), each as its file,
// held once it was written here or merged, and per computer the last
// sequence number those segments hold.
void AddSyncTables(TSqlTransaction &transaction);
// The tables whose rows carry a global id, in the order the step numbers them.
const std::vector<std::string> &GlobalIdTables();
