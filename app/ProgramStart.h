#pragma once
// The program's start, kept apart from main() so a probe can run it.

#include <functional>

class TFrmType;

struct TProgramStartOptions {
    // Called once, when the main window has painted its first frame.
    std::function<void(TFrmType &)> OnFirstFrame;
};

// Runs the whole program and returns its exit status.
int ProgramMain(int argc, char **argv, const TProgramStartOptions &options = {});
