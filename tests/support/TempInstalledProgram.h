#pragma once
// An installed program in fresh temporary folders: the installed files and
// the player's folder apart, as a package puts them. GetProgramDir and
// GetInstalledDir point at them for the object's lifetime.

#include "TempProgramDir.h"

class TempInstalledProgram {
public:
    TempInstalledProgram();
    ~TempInstalledProgram();
    TempInstalledProgram(const TempInstalledProgram &) = delete;
    TempInstalledProgram &operator=(const TempInstalledProgram &) = delete;

    const TempProgramDir &Player() const { return m_player; }
    const TempProgramDir &Installed() const { return m_installed; }

private:
    TempProgramDir m_player{TempProgramDir::Contents::Empty};
    TempProgramDir m_installed{TempProgramDir::Contents::Empty};
};
