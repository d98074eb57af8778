#include "UntitledWindow.h"

#include <QGuiApplication>
#include <QWidget>
#include <QtGui/qguiapplication_platform.h>

#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <cstdio>

namespace vlmr {

void RemoveWindowTitle(QWidget& window) {
    const auto window_id = static_cast<Window>(window.winId());
    const auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    Display* display = x11 ? x11->display() : nullptr;
    if (!display) {
        std::fprintf(stderr, "VLMR: not an X11 display, the banner keeps the title \"%s\"\n",
                     qPrintable(QGuiApplication::applicationName()));
        return;
    }
    // On Qt's own connection, so the removal comes after Qt set the names.
    XDeleteProperty(display, window_id, XA_WM_NAME);
    XDeleteProperty(display, window_id, XInternAtom(display, "_NET_WM_NAME", False));
    XFlush(display);
}

}  // namespace vlmr
