#pragma once
// The program started in a process of its own (the app_program_child
// executable, see ProgramChild.cpp) on a copied program folder, without a
// network when the system lets it: the real Internet check starts with the
// window.

#include <QProcess>
#include <QString>
#include <QStringList>

class TempProgramDir;

struct ChildRun {
    int exitCode = -1;  // -1: killed by a signal, or never ended
    QString out;
    QString err;
};

bool NetworkCanBeCut();
// The child can be given a private mount namespace with a read-only folder.
bool FoldersCanBeMadeReadOnly();

class ProgramChild {
public:
    // env: "NAME=value" settings on top of the test's own environment;
    // args: the program's command line; readOnly: a folder the child sees
    // mounted read-only (a mount namespace of its own; see
    // FoldersCanBeMadeReadOnly).
    ProgramChild(const TempProgramDir &dir, const QStringList &env, const QStringList &args = {},
                 const QString &readOnly = {});
    // Kills a child still running.
    ~ProgramChild();
    ProgramChild(const ProgramChild &) = delete;
    ProgramChild &operator=(const ProgramChild &) = delete;

    // Waits until the child printed a line starting with prefix; false when
    // it ended or the time ran out first.
    bool WaitForLine(const QString &prefix, int timeoutMs = 60000);
    void Signal(int signal) const;
    // Waits for the end (killing the child after the time) and collects it.
    ChildRun Finish(int timeoutMs = 60000);
    const QString &Out() const { return m_out; }

private:
    void readOutput();

    QProcess m_process;
    QString m_out;
    QString m_err;
};

// Starts the child and waits for its end.
ChildRun RunProgram(const TempProgramDir &dir, const QStringList &env, const QStringList &args = {},
                    const QString &readOnly = {});
