#pragma once
// The learning memory's tables and indexes (WordMemory.h reads and writes
// them). Only statements on a transaction: the schema steps create them while
// a file is being opened, before any data module is there to use.

#include "SqlDatabase.h"

// Creates the memory tables and their indexes (the migration step to version 2).
void CreateMemoryTables(TSqlTransaction &transaction);
