#include "MessageBoxes.h"

#include <QWidget>

namespace {

class ModalMessageBoxes final : public TMessageBoxes {
public:
    QMessageBox::StandardButton Show(QWidget *parent, const QString &caption, const QString &text,
                                     TMsgIcon icon, QMessageBox::StandardButtons buttons) override
    {
        QMessageBox box(parent);
        box.setWindowTitle(caption);
        // Messages may carry names and paths typed by people: never markup.
        box.setTextFormat(Qt::PlainText);
        // Texts break lines with a carriage return, as the stored messages do.
        QString shown = text;
        shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
        box.setText(shown);
        switch (icon) {
        case TMsgIcon::Information:
            box.setIcon(QMessageBox::Information);
            break;
        case TMsgIcon::Question:
            box.setIcon(QMessageBox::Question);
            break;
        case TMsgIcon::Exclamation:
            box.setIcon(QMessageBox::Warning);
            break;
        }
        box.setStandardButtons(buttons);
        return static_cast<QMessageBox::StandardButton>(box.exec());
    }
};

std::shared_ptr<TMessageBoxes> &current()
{
    static std::shared_ptr<TMessageBoxes> boxes = std::make_shared<ModalMessageBoxes>();
    return boxes;
}

}  // namespace

QString MessageCaption()
{
    return QStringLiteral("提示信息");
}

QMessageBox::StandardButton MessageBox(QWidget *parent, const QString &text, TMsgIcon icon,
                                       QMessageBox::StandardButtons buttons)
{
    // Keep the box alive even if a handler swaps the implementation meanwhile.
    const std::shared_ptr<TMessageBoxes> boxes = current();
    return boxes->Show(parent, MessageCaption(), text, icon, buttons);
}

void ShowMessage(QWidget *parent, const QString &text, TMsgIcon icon)
{
    MessageBox(parent, text, icon, QMessageBox::Ok);
}

bool AskYesNo(QWidget *parent, const QString &text)
{
    return MessageBox(parent, text, TMsgIcon::Question, QMessageBox::Yes | QMessageBox::No)
           == QMessageBox::Yes;
}

void SetMessageBoxes(std::shared_ptr<TMessageBoxes> boxes)
{
    current() = boxes ? std::move(boxes) : std::make_shared<ModalMessageBoxes>();
}

std::shared_ptr<TMessageBoxes> CurrentMessageBoxes()
{
    return current();
}
