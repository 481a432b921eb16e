#include "display/LptTestMenus.h"

#include "core/VersionTexts.h"
#include "widgets/NamedAction.h"

#include <QLayout>
#include <QMenu>
#include <QMenuBar>
#include <QWidget>

namespace display {

LptTestMenus AddLptTestMenus(QWidget& window, platform::Platform& platform,
                             const QString& exitCaption, const QString& about) {
    auto* bar = new QMenuBar(&window);
    window.layout()->setMenuBar(bar);
    QMenu* files = bar->addMenu(QStringLiteral("&Files"));
    files->setObjectName(QStringLiteral("mnuFiles"));
    QMenu* info = bar->addMenu(QStringLiteral("&Info"));
    info->setObjectName(QStringLiteral("mnuInfo"));
    const LptTestMenus menus{
        widgets::AddNamedAction(*files, "mnuExit", exitCaption),
        widgets::AddNamedAction(*info, "mnuVentroUk", QStringLiteral("&VentroloUK.txt")),
        widgets::AddNamedAction(*info, "mnuAbout", QStringLiteral("&About"))};
    QObject::connect(menus.mnuExit, &QAction::triggered, &window, &QWidget::close);
    QObject::connect(menus.mnuAbout, &QAction::triggered, &window, [&platform, about] {
        platform.messageBox(about, core::MessageTitle(), platform::Icon::Information);
    });
    return menus;
}

} // namespace display
