#include "ModalRunner.h"

#include <QDialog>

namespace {

TModalRunner &current()
{
    static TModalRunner runner;
    return runner;
}

}  // namespace

int RunModal(QDialog &dialog)
{
    // A copy, so a runner that swaps the runner while it runs stays alive.
    const TModalRunner runner = current();
    return runner ? runner(dialog) : dialog.exec();
}

void SetModalRunner(TModalRunner runner)
{
    current() = std::move(runner);
}
