// The rotator server's item in the main window's menu: its check mark and caption follow the
// server, and its clicks turn the server on or off.
#include "app/VentroloApp.h"

#include <QAction>

namespace app {

void VentroloApp::wireStation() {
    station::RotatorServer& rotator = station_.rotator();
    QAction* item = window_.form().mnuRotctld;
    connect(&rotator, &station::RotatorServer::listeningChanged, item,
            [item, &rotator](bool listening) {
                item->setChecked(listening);
                item->setText(listening ? QStringLiteral("Rotator ser&ver (rotctld :%1)")
                                              .arg(rotator.port())
                                        : QStringLiteral("Rotator ser&ver (rotctld)"));
            });
    connect(item, &QAction::triggered, this, [this, item, &rotator](bool on) {
        station_.setRotatorServer(on);
        item->setChecked(rotator.listening());
    });
}

} // namespace app
