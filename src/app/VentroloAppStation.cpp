// The rotator server's item in the main window's menu: its check mark and caption follow the
// server, and its clicks turn the server on or off.
#include "app/VentroloApp.h"

namespace app {

void VentroloApp::wireStation() {
    station::RotatorServer& rotator = station_.rotator();
    connect(&rotator, &station::RotatorServer::listeningChanged, &window_,
            [this, &rotator](bool listening) { window_.setRotatorServer(listening, rotator.port()); });
    connect(&window_, &mainwindow::MainWindow::rotatorServerRequested, this,
            [this, &rotator](bool on) {
                station_.setRotatorServer(on);
                window_.setRotatorServer(rotator.listening(), rotator.port());
            });
}

} // namespace app
