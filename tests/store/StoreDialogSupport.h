#pragma once
// What the dialog tests share: finding a control by its name and the texts
// of the message boxes shown so far.

#include <stdexcept>
#include <string>

#include <QString>
#include <QStringList>
#include <QWidget>

#include "ScriptedMessageBoxes.h"

template <typename T>
T *child(QWidget *dialog, const char *name)
{
    T *w = dialog->findChild<T *>(QString::fromLatin1(name));
    if (!w)
        throw std::runtime_error(std::string("no control ") + name);
    return w;
}

inline QStringList Texts()
{
    return ScriptedMessageBoxes::Global().Texts();
}
