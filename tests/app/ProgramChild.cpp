// The whole program in a process of its own, for the start-up tests. The
// program folder comes from KIVRO_CHILD_PROGRAM_DIR; message boxes are
// printed to standard output ("BOX <icon> <text>") and answered with their
// first button instead of waiting for a player. With KIVRO_CHILD_FIRST_FRAME
// set, the program prints what its first frame shows and closes its window.
#include <cstdio>
#include <cstdlib>
#include <memory>

#include <QLabel>

#include "MessageBoxes.h"
#include "ProgramStart.h"
#include "Settings.h"
#include "UFrmType.h"
#include "UTypeGameType.h"

namespace {

class PrintedBoxes final : public TMessageBoxes {
public:
    QMessageBox::StandardButton Show(QWidget *, const QString &, const QString &text, TMsgIcon icon,
                                     QMessageBox::StandardButtons buttons) override
    {
        std::printf("BOX %d %s\n", static_cast<int>(icon), text.toUtf8().constData());
        std::fflush(stdout);
        for (QMessageBox::StandardButton b : {QMessageBox::Ok, QMessageBox::Yes, QMessageBox::No}) {
            if (buttons.testFlag(b))
                return b;
        }
        return QMessageBox::NoButton;
    }
};

} // namespace

int main(int argc, char **argv)
{
    if (const char *dir = std::getenv("KIVRO_CHILD_PROGRAM_DIR"))
        SetProgramDir(dir);
    SetMessageBoxes(std::make_shared<PrintedBoxes>());
    TProgramStartOptions options;
    if (std::getenv("KIVRO_CHILD_FIRST_FRAME")) {
        options.OnFirstFrame = [](TFrmType &window) {
            std::printf("FIRST FRAME %s\n", window.labGate->text().toUtf8().constData());
            std::fflush(stdout);
            window.close();
        };
    }
    return ProgramMain(argc, argv, options);
}
