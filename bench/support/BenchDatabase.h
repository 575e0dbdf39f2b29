#pragma once
// A program folder of the benchmark's own holding a new, empty word database
// (settings data=bench, no scrambling), connected and installed as the
// program's data module.

#include <QTemporaryDir>

#include "UDataInterface.h"

struct TBenchDatabase {
    // Throws std::runtime_error when the database does not open.
    TBenchDatabase();

    QTemporaryDir dir;
    TDataInterface db;
};
