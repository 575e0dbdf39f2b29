#pragma once
// Every dialog of the settings and help commands is shown through here, so
// tests can work a dialog and close it instead of waiting on a modal loop.

#include <functional>

class QDialog;

// Shows the dialog modally and returns its result (QDialog::Accepted or Rejected).
using TModalRunner = std::function<int(QDialog &)>;

int RunModal(QDialog &dialog);

// An empty runner goes back to QDialog::exec.
void SetModalRunner(TModalRunner runner);
