#include "ProgramChildRun.h"

#include <algorithm>
#include <csignal>
#include <unistd.h>

#include <QDeadlineTimer>
#include <QProcessEnvironment>

#include <gtest/gtest.h>

#include "TempProgramDir.h"

bool NetworkCanBeCut()
{
    static const bool can =
        QProcess::execute(QStringLiteral("unshare"), {QStringLiteral("-n"), QStringLiteral("true")})
        == 0;
    return can;
}

namespace {

// sh -c script: makes $1 read-only in the new mount namespace, then runs $2.
const QString kReadOnlyScript =
    QStringLiteral("mount --make-rprivate / && mount -o bind,ro \"$1\" \"$1\" && exec \"$2\"");

// unshare's options for a child with a mount namespace (and a user namespace
// when not root, where mounting needs one) and, where possible, no network.
QStringList mountNamespace()
{
    QStringList options{QStringLiteral("-m")};
    if (::geteuid() != 0)
        options << QStringLiteral("-r");
    if (NetworkCanBeCut())
        options << QStringLiteral("-n");
    return options;
}

}  // namespace

bool FoldersCanBeMadeReadOnly()
{
    static const bool can =
        QProcess::execute(QStringLiteral("unshare"),
                          mountNamespace() << QStringLiteral("sh") << QStringLiteral("-c")
                                           << kReadOnlyScript << QStringLiteral("sh")
                                           << QStringLiteral("/tmp") << QStringLiteral("true"))
        == 0;
    return can;
}

ProgramChild::ProgramChild(const TempProgramDir &dir, const QStringList &env,
                           const QStringList &args, const QString &readOnly)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.insert(QStringLiteral("SDL_AUDIODRIVER"), QStringLiteral("dummy"));
    environment.insert(QStringLiteral("KIVRO_CHILD_PROGRAM_DIR"),
                       QString::fromStdString(dir.Dir()));
    for (const QString &setting : env) {
        const qsizetype eq = setting.indexOf(u'=');
        environment.insert(setting.left(eq), eq < 0 ? QString() : setting.mid(eq + 1));
    }
    m_process.setProcessEnvironment(environment);
    const QString program = QStringLiteral(KIVRO_PROGRAM_CHILD);
    // unshare execs the program: the child's process id is the program's.
    if (!readOnly.isEmpty())
        m_process.start(QStringLiteral("unshare"),
                        mountNamespace()
                            << QStringLiteral("sh") << QStringLiteral("-c") << kReadOnlyScript
                            << QStringLiteral("sh") << readOnly << program << args);
    else if (NetworkCanBeCut())
        m_process.start(QStringLiteral("unshare"),
                        QStringList{QStringLiteral("-n"), program} + args);
    else
        m_process.start(program, args);
}

ProgramChild::~ProgramChild()
{
    if (m_process.state() != QProcess::NotRunning) {
        m_process.kill();
        m_process.waitForFinished();
    }
}

void ProgramChild::readOutput()
{
    m_out += QString::fromUtf8(m_process.readAllStandardOutput());
    m_err += QString::fromUtf8(m_process.readAllStandardError());
}

bool ProgramChild::WaitForLine(const QString &prefix, int timeoutMs)
{
    const QDeadlineTimer deadline(timeoutMs);
    for (;;) {
        readOutput();
        for (const QString &line : m_out.split(u'\n')) {
            if (line.startsWith(prefix))
                return true;
        }
        if (m_process.state() == QProcess::NotRunning || deadline.hasExpired())
            return false;
        m_process.waitForReadyRead(
            static_cast<int>(std::min<qint64>(deadline.remainingTime(), 1000)));
    }
}

void ProgramChild::Signal(int signal) const
{
    const qint64 pid = m_process.processId();
    if (pid > 0)
        ::kill(static_cast<pid_t>(pid), signal);
}

ChildRun ProgramChild::Finish(int timeoutMs)
{
    ChildRun run;
    if (m_process.state() != QProcess::NotRunning && !m_process.waitForFinished(timeoutMs)) {
        ADD_FAILURE() << "the program did not end";
        m_process.kill();
        m_process.waitForFinished();
    } else if (m_process.exitStatus() == QProcess::NormalExit) {
        run.exitCode = m_process.exitCode();
    }
    readOutput();
    run.out = m_out;
    run.err = m_err;
    return run;
}

ChildRun RunProgram(const TempProgramDir &dir, const QStringList &env, const QStringList &args,
                    const QString &readOnly)
{
    ProgramChild child(dir, env, args, readOnly);
    return child.Finish();
}
