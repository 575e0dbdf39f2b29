#include "BenchDatabase.h"

#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>

#include "Settings.h"

TBenchDatabase::TBenchDatabase()
{
    const std::string root = dir.path().toStdString() + "/";
    std::filesystem::create_directories(root + "data");
    std::ofstream(root + "data/typeconfig.ini") << "[system]\r\ndata=bench\r\nencrypt=0\r\n";
    SetProgramDir(root);
    CreateStoreDatabase(DatabaseFilePath());
    if (!db.ConnectDatabase())
        throw std::runtime_error("the benchmark database does not open");
    SetDataInterface(&db);
}
