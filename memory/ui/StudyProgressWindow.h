#pragma once
// 学习进度 as the main window sees it. The window is built as a plugin of its
// own (kivrotype-progress.so) so that Qt Charts is loaded only when it first
// opens; the program includes this header only and reaches the window
// through the plugin's one entry point.

#include <cstdint>
#include <functional>

#include "Records.h"

class QDialog;
class QWidget;
class TMemoryFitRun;

class TStudyProgressWindow {
public:
    virtual ~TStudyProgressWindow() = default;

    virtual QDialog &Dialog() = 0;
    // The words a day that count for the streak and shade the calendar.
    virtual void SetDailyGoal(int goal) = 0;
    // The fits of the memory parameters go through run, which outlives the window.
    virtual void AttachMemoryFit(TMemoryFitRun *run) = 0;
    // Reads the memory as it is at NowMs and shows it.
    virtual void LoadProgress(std::int64_t nowMs) = 0;
    // Practice hears the learner ask for a toll gate of the words with the most slips.
    virtual void OnPracticeWeakSpellings(std::function<void(const TWordInfos &)> practice) = 0;
};

// The plugin's file, and its entry point by name: a new window, owned by the caller.
inline constexpr char kStudyProgressPluginFile[] = "kivrotype-progress.so";
inline constexpr char kMakeStudyProgressWindow[] = "KivroMakeStudyProgressWindow";
using TMakeStudyProgressWindow = TStudyProgressWindow *(*)(QWidget *parent);
extern "C" TStudyProgressWindow *KivroMakeStudyProgressWindow(QWidget *parent);
