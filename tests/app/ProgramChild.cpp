// The whole program in a process of its own, for the tests that start it.
// The program folder comes from KIVRO_CHILD_PROGRAM_DIR (when empty, the
// program finds its folders as an installed one does); with
// KIVRO_CHILD_INSTALLED_DIR too, the program runs as installed there, with
// that folder as the player's. What the child does
// and shows is printed to standard output, one line each:
//
//   KIVRO_CHILD_FIRST_FRAME   print "FIRST FRAME <toll gate label>" when the
//                             game is first painted, and "BOOK <book label>",
//                             then close the window
//   KIVRO_CHILD_STAY          print that line and keep running
//   KIVRO_CHILD_LEVEL=n       after the first frame choose level n (1..3)
//   KIVRO_CHILD_OPEN=name     after the first frame trigger the menu item or
//                             press the button of that object name
//   KIVRO_CHILD_IMPORT=file|name
//                             in the import dialog, import the file under the
//                             name; print "IMPORT RUNNING" once the first
//                             line is stored and hold the import there until
//                             the program is asked to end
//   KIVRO_CHILD_REAL_BOXES    show real modal message boxes ("BOX <icon>
//                             <text>", then "ANSWER <button>"); otherwise a
//                             box is printed and answered with its first button
//
// Each modal dialog that opens is printed as "MODAL <object name or class>",
// and "FINISHED <name> <result>" when it closes.
#include <cstdio>
#include <cstdlib>
#include <memory>

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

#include "MessageBoxes.h"
#include "ProgramEnd.h"
#include "ProgramStart.h"
#include "Settings.h"
#include "UFrmType.h"
#include "UTypeGameType.h"

namespace {

void say(const QString &line)
{
    std::printf("%s\n", line.toUtf8().constData());
    std::fflush(stdout);
}

QString shownName(const QObject *object)
{
    return object->objectName().isEmpty() ? QString::fromLatin1(object->metaObject()->className())
                                          : object->objectName();
}

class PrintedBoxes final : public TMessageBoxes {
public:
    explicit PrintedBoxes(bool real) : m_real(real) {}

    QMessageBox::StandardButton Show(QWidget *parent, const QString &caption, const QString &text,
                                     TMsgIcon icon, QMessageBox::StandardButtons buttons) override
    {
        say(QStringLiteral("BOX %1 %2").arg(static_cast<int>(icon)).arg(text));
        if (m_real) {
            const QMessageBox::StandardButton answer =
                m_modal->Show(parent, caption, text, icon, buttons);
            say(QStringLiteral("ANSWER %1").arg(static_cast<int>(answer)));
            return answer;
        }
        for (QMessageBox::StandardButton b : {QMessageBox::Ok, QMessageBox::Yes, QMessageBox::No}) {
            if (buttons.testFlag(b))
                return b;
        }
        return QMessageBox::NoButton;
    }

    // The program's own boxes, taken before these are installed.
    void SetModal(std::shared_ptr<TMessageBoxes> modal) { m_modal = std::move(modal); }

private:
    bool m_real;
    std::shared_ptr<TMessageBoxes> m_modal;
};

// Watches for modal dialogs, reports them and works the import dialog.
class ModalWatch : public QObject {
public:
    ModalWatch()
    {
        if (const char *import = std::getenv("KIVRO_CHILD_IMPORT")) {
            const QStringList parts = QString::fromUtf8(import).split(u'|');
            m_importFile = parts.value(0);
            m_importName = parts.value(1);
        }
        connect(&m_timer, &QTimer::timeout, this, &ModalWatch::look);
        m_timer.start(20);
    }

private:
    void look()
    {
        if (m_holding)
            return;
        QWidget *modal = QApplication::activeModalWidget();
        if (modal != m_last) {
            m_last = modal;
            if (modal) {
                say(QStringLiteral("MODAL ") + shownName(modal));
                if (auto *dialog = qobject_cast<QDialog *>(modal)) {
                    connect(dialog, &QDialog::finished, this,
                            [name = shownName(dialog)](int result) {
                                say(QStringLiteral("FINISHED %1 %2").arg(name).arg(result));
                            });
                }
                if (!m_importFile.isEmpty()
                    && modal->objectName() == QStringLiteral("FrmImportLib"))
                    startImport(modal);
            }
        }
        holdRunningImport();
    }

    void startImport(QWidget *dialog)
    {
        dialog->findChild<QLineEdit *>(QStringLiteral("sFileName"))->setText(m_importFile);
        dialog->findChild<QLineEdit *>(QStringLiteral("ediLibName"))->setText(m_importName);
        m_importBar = dialog->findChild<QProgressBar *>(QStringLiteral("pbImport"));
        QPushButton *start = dialog->findChild<QPushButton *>(QStringLiteral("btnImport"));
        QTimer::singleShot(0, start, &QPushButton::click);
    }

    // Runs inside the import's own event processing: the import goes on
    // only once the program has been asked to end.
    void holdRunningImport()
    {
        if (!m_importBar || m_importBar->value() < 1 || m_held)
            return;
        m_held = true;
        m_holding = true;
        say(QStringLiteral("IMPORT RUNNING"));
        while (!ProgramEndRequested())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        m_holding = false;
    }

    QTimer m_timer;
    QPointer<QWidget> m_last;
    QString m_importFile;
    QString m_importName;
    QPointer<QProgressBar> m_importBar;
    bool m_held = false;
    bool m_holding = false;
};

void afterFirstFrame(TFrmType &window)
{
    say(QStringLiteral("FIRST FRAME ")
        + window.findChild<QLabel *>(QStringLiteral("labGate"))->text());
    say(QStringLiteral("BOOK ") + window.findChild<QLabel *>(QStringLiteral("labBook"))->text());
    if (std::getenv("KIVRO_CHILD_FIRST_FRAME")) {
        window.close();
        return;
    }
    if (const char *level = std::getenv("KIVRO_CHILD_LEVEL")) {
        const char *items[] = {"N8", "N9", "N10"};
        const int n = std::atoi(level);
        if (n >= 1 && n <= 3) {
            window.findChild<QAction *>(QString::fromLatin1(items[n - 1]))->trigger();
            say(QStringLiteral("LEVEL %1").arg(window.Flow().GamePara().Level));
        }
    }
    if (const char *open = std::getenv("KIVRO_CHILD_OPEN")) {
        const QString name = QString::fromUtf8(open);
        // Queued, so that this callback returns before the dialog runs.
        if (QAction *action = window.findChild<QAction *>(name))
            QTimer::singleShot(0, action, &QAction::trigger);
        else if (QAbstractButton *button = window.findChild<QAbstractButton *>(name))
            QTimer::singleShot(0, button, &QAbstractButton::click);
    }
}

}  // namespace

int main(int argc, char **argv)
{
    // Empty: the folders the program finds for itself (HOME, XDG_DATA_HOME).
    if (const char *dir = std::getenv("KIVRO_CHILD_PROGRAM_DIR"); dir && *dir) {
        if (const char *installed = std::getenv("KIVRO_CHILD_INSTALLED_DIR"))
            SetProgramDirs({dir, installed});
        else
            SetProgramDir(dir);
    }
    auto boxes = std::make_shared<PrintedBoxes>(std::getenv("KIVRO_CHILD_REAL_BOXES") != nullptr);
    boxes->SetModal(CurrentMessageBoxes());
    SetMessageBoxes(boxes);
    std::unique_ptr<ModalWatch> watch;
    TProgramStartOptions options;
    if (std::getenv("KIVRO_CHILD_FIRST_FRAME") || std::getenv("KIVRO_CHILD_STAY")) {
        options.OnFirstFrame = [&watch](TFrmType &window) {
            watch = std::make_unique<ModalWatch>();
            afterFirstFrame(window);
        };
    }
    const int status = ProgramMain(argc, argv, options);
    watch.reset();
    return status;
}
