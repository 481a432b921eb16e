#include "display/LptTestMenus.h"

#include "core/VersionTexts.h"

#include <QLayout>
#include <QMenu>
#include <QMenuBar>
#include <QWidget>

namespace display {
namespace {

QAction* Entry(QMenu* menu, const char* name, const QString& caption) {
    QAction* action = menu->addAction(caption);
    action->setObjectName(QLatin1String(name));
    return action;
}

} // namespace

LptTestMenus AddLptTestMenus(QWidget& window, platform::Platform& platform,
                             const QString& exitCaption, const QString& about) {
    auto* bar = new QMenuBar(&window);
    window.layout()->setMenuBar(bar);
    QMenu* files = bar->addMenu(QStringLiteral("&Files"));
    files->setObjectName(QStringLiteral("mnuFiles"));
    QMenu* info = bar->addMenu(QStringLiteral("&Info"));
    info->setObjectName(QStringLiteral("mnuInfo"));
    const LptTestMenus menus{Entry(files, "mnuExit", exitCaption),
                             Entry(info, "mnuVentroUk", QStringLiteral("&VentroloUK.txt")),
                             Entry(info, "mnuAbout", QStringLiteral("&About"))};
    QObject::connect(menus.mnuExit, &QAction::triggered, &window, &QWidget::close);
    QObject::connect(menus.mnuAbout, &QAction::triggered, &window, [&platform, about] {
        platform.messageBox(about, core::MessageTitle(), platform::Icon::Information);
    });
    return menus;
}

} // namespace display
