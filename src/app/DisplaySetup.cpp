#include "app/DisplaySetup.h"

#include "widgets/AccessibleToggle.h"

#include <QApplication>
#include <QByteArray>
#include <cstdio>
#include <cstdlib>

namespace app {
namespace {

[[noreturn]] void EndWithoutDisplay() {
    std::fputs("ventrolo: no display: start with --headless for the station without windows\n",
               stderr);
    // Nothing has been opened or written yet.
    std::_Exit(1);
}

QtMessageHandler previousHandler = nullptr;

// Qt's fatal message while the application object is made is its window system failing to
// open.
void EndOnFatal(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (type == QtFatalMsg)
        EndWithoutDisplay();
    previousHandler(type, context, text);
}

// An X or Wayland display, or a window system chosen through QT_QPA_PLATFORM (offscreen, vnc,
// eglfs, ...), which Qt opens by itself.
bool DisplayNamed() {
    return !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") ||
           !qEnvironmentVariableIsEmpty("DISPLAY") ||
           !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

} // namespace

void PrepareDisplay() {
    qputenv("QT_XCB_NO_MITSHM", "1");
}

std::unique_ptr<QApplication> OpenWindowSystem(int& argc, char** argv) {
    if (!DisplayNamed())
        EndWithoutDisplay();
    PrepareDisplay();
    previousHandler = qInstallMessageHandler(&EndOnFatal);
    auto application = std::make_unique<QApplication>(argc, argv);
    qInstallMessageHandler(previousHandler);
    widgets::MakeAccessibleTogglesClick();
    return application;
}

} // namespace app
