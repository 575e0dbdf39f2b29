#pragma once
// Loading 学习进度's plugin, the one part of the program that uses Qt Charts:
// once, when the window first opens, and kept loaded from then on.

#include <memory>

#include <QString>

#include "StudyProgressWindow.h"

class QWidget;

// The plugin's file: lib/ in a portable folder, <prefix>/lib/kivrotype/ for
// an installed program (beside its share/kivrotype/).
QString StudyProgressPluginPath();
// Tests point the program at another file; an empty path restores the rule.
void SetStudyProgressPluginPath(const QString &path);

// A new window, or nullptr (the reason logged) when the plugin cannot be
// loaded or lacks its entry point.
std::unique_ptr<TStudyProgressWindow> MakeStudyProgressWindow(QWidget *parent);
