#pragma once
// The two folders the program uses. A portable folder (the build folder, or a
// copy of it) holds a writable data/ beside the executable and is both. An
// installed program is read-only: its files are in <exe dir>/../share/kivrotype/,
// and the player's data is kept in the desktop's data folder, seeded from
// the installed copy at the first start.

#include <string>

#include <QString>

struct TProgramDirs {
    // The program directory of the settings, the database, the recent list,
    // skins, adverts and added music. UTF-8, trailing '/'.
    std::string Player;
    // The files installed with the program: help, notices, shipped music, the
    // keys the program never writes, the shipped books. UTF-8, trailing '/'.
    std::string Installed;

    bool Portable() const { return Player == Installed; }
    bool operator==(const TProgramDirs &) const = default;
};

// Applies the rule to an executable's folder and a data home (the desktop's
// data folder, "~/.local/share/" normally). Both arguments end in '/'.
TProgramDirs ResolveProgramDirs(const std::string &exeDir, const std::string &dataHome);

// Copies every file of the installed data/ that the player's data/ lacks
// (a file the player has is never touched), leaving the copies writable, and
// makes the player's source/mp3/. False when a folder or a copy failed; what
// was copied stays.
bool SeedPlayerDir(const TProgramDirs &dirs);

// Makes the player's folder and its data/ when missing (an installed
// program) and says, for the player, why the program cannot keep its files
// there: "无法创建玩家文件夹：" + the folder that could not be made, or
// "玩家文件夹不可写：" + the folder it cannot write. The same for a portable
// folder whose data/ is read-only, which the rule above takes for an
// installation without its files. Empty when every folder is writable.
QString PreparePlayerDir(const TProgramDirs &dirs, const std::string &exeDir);
