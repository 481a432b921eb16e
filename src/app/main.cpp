#include "app/DisplaySetup.h"
#include "app/VentroloApp.h"
#include "core/CommandLine.h"
#include "display/Resources.h"
#include "headless/HeadlessMain.h"
#include "port/LptSettings.h"

#include <QApplication>
#include <QCoreApplication>
#include <QIcon>
#include <cstdio>
#include <memory>

int main(int argc, char* argv[]) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    // Read before the application exists: --help and --version need no display.
    const QList<core::OptionChoice> lptChoices = port::LptBackendChoices();
    const core::CommandLineResult parsed = core::ParseCommandLine(arguments, lptChoices);
    if (!parsed.options) {
        std::fprintf(stderr, "ventrolo: %s\n\n%s", qPrintable(parsed.error),
                     qPrintable(core::CommandLineHelp(lptChoices)));
        return 2;
    }
    if (parsed.options->showHelp) {
        std::fputs(qPrintable(core::CommandLineHelp(lptChoices)), stdout);
        return 0;
    }
    if (parsed.options->showVersion) {
        std::printf("%s\n", qPrintable(core::VersionLine()));
        return 0;
    }

    if (parsed.options->headless) {
        // No display and no platform plugin: the station alone.
        QCoreApplication application(argc, argv);
        application.setApplicationName(QStringLiteral("Ventrolo"));
        return headless::RunHeadless(*parsed.options);
    }
    const std::unique_ptr<QApplication> application = app::OpenWindowSystem(argc, argv);
    application->setApplicationName(QStringLiteral("Ventrolo"));
    // The desktop entry the windows belong to, so the desktop shows its name and icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.example.ventrolo"));
    QApplication::setWindowIcon(QIcon(display::IconResource()));
    application->setQuitOnLastWindowClosed(false);

    return app::VentroloApp::Run(*parsed.options);
}
