#include "DetectableAutoRepeat.h"

#include <QGuiApplication>

// Xlib's headers define macros (None, Bool, KeyPress...) that clash with Qt:
// they come last, and nothing of Qt is used after them.
#include <X11/XKBlib.h>

bool UseDetectableAutoRepeat()
{
    const auto *x11 =
        qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    Display *display = x11 ? x11->display() : nullptr;
    if (display == nullptr)
        return false;
    // A per-client flag: it covers this connection only and ends with it.
    Bool supported = False;
    return XkbSetDetectableAutoRepeat(display, True, &supported) == True && supported == True;
}
