#pragma once

#include "platform/Platform.h"

#include <QString>

class QAction;
class QWidget;

namespace display {

// The menu bar of both LPT test windows: "&Files" with the exit entry, "&Info" with the English
// help and "&About". The exit entry closes the window; "&About" tells what the window does.
struct LptTestMenus {
    QAction* mnuExit;
    QAction* mnuVentroUk;
    QAction* mnuAbout;
};
LptTestMenus AddLptTestMenus(QWidget& window, platform::Platform& platform,
                             const QString& exitCaption, const QString& about);

} // namespace display
