#include "TempInstalledProgram.h"

#include "Settings.h"

TempInstalledProgram::TempInstalledProgram()
{
    SetProgramDirs({m_player.Dir(), m_installed.Dir()});
}

TempInstalledProgram::~TempInstalledProgram()
{
    SetProgramDir({});
}
