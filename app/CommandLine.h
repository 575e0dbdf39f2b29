#pragma once
// The program's command line. It is read before the application object
// exists, so that --help and --version need no display, open no window and
// take no program lock. An option is one entry of the parser and one field
// here.

#include <QString>
#include <QStringList>

struct TCommandLine {
    enum class TAction {
        Run,      // start the game
        Help,     // print Text (the usage) and exit 0
        Version,  // print Text (the version line) and exit 0
        Error,    // print Text (what was wrong, then the usage) on stderr and exit 2
        Remind,   // the login reminder of the words due: no window, no lock
    };
    TAction Action = TAction::Run;
    QString Text;
    // --data-dir: the folder of the player's files; empty for the usual one.
    QString DataDir;
    // --review: the game starts on 今日复习.
    bool Review = false;
};

// The program's version, as the build sets it.
QString ProgramVersion();

// Reads the arguments; the first is the program's name.
TCommandLine ParseCommandLine(const QStringList &arguments);

// The arguments of main() as text.
QStringList CommandLineArguments(int argc, char **argv);

// Prints the answer of a Help, Version or Error command line and returns the
// exit status.
int AnswerCommandLine(const TCommandLine &commandLine);
