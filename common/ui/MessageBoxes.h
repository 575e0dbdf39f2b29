#pragma once
// Every message to the player goes through here: caption "提示信息" and an
// information, question (Yes/No) or exclamation icon. Tests install scripted
// answers so that no test ever waits on a modal box.

#include <memory>

#include <QMessageBox>
#include <QString>

class QWidget;

enum class TMsgIcon { Information, Question, Exclamation };

class TMessageBoxes {
public:
    virtual ~TMessageBoxes() = default;
    virtual QMessageBox::StandardButton Show(QWidget *parent, const QString &caption,
                                             const QString &text, TMsgIcon icon,
                                             QMessageBox::StandardButtons buttons) = 0;
};

// The caption of every message box.
QString MessageCaption();

// An OK box with the given icon.
void ShowMessage(QWidget *parent, const QString &text, TMsgIcon icon = TMsgIcon::Information);
// A question with Yes and No; true for Yes.
bool AskYesNo(QWidget *parent, const QString &text);
// The general form.
QMessageBox::StandardButton MessageBox(QWidget *parent, const QString &text, TMsgIcon icon,
                                       QMessageBox::StandardButtons buttons);

// nullptr goes back to real modal boxes.
void SetMessageBoxes(std::shared_ptr<TMessageBoxes> boxes);
// The boxes in use: the real modal ones unless replaced.
std::shared_ptr<TMessageBoxes> CurrentMessageBoxes();
