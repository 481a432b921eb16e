#include "app/VentroloApp.h"
#include "core/CommandLine.h"
#include "core/ProgramDirectory.h"
#include "core/SingleInstance.h"
#include "mainwindow/SplashWindow.h"
#include "platform/QtPlatform.h"
#include "port/LptBackendFactory.h"

#include <QApplication>
#include <cstdio>

int main(int argc, char* argv[]) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    core::CommandLineResult parsed = core::ParseCommandLine(arguments);
    if (parsed.options && !parsed.options->lpt.isEmpty() &&
        !port::LptBackendFromText(parsed.options->lpt)) {
        parsed.error = QStringLiteral("unknown --lpt backend '%1' (auto, sim, ppdev, direct)")
                           .arg(parsed.options->lpt);
        parsed.options.reset();
    }
    if (!parsed.options) {
        std::fprintf(stderr, "ventrolo: %s\n\n%s", qPrintable(parsed.error),
                     qPrintable(core::CommandLineHelp()));
        return 2;
    }
    if (parsed.options->showHelp) {
        std::fputs(qPrintable(core::CommandLineHelp()), stdout);
        return 0;
    }
    if (parsed.options->showVersion) {
        std::printf("%s\n", qPrintable(core::VersionLine()));
        return 0;
    }

    QApplication application(argc, argv);
    application.setApplicationName(QStringLiteral("Ventrolo"));
    application.setQuitOnLastWindowClosed(false);

    const core::ProgramDirectoryResult directory = core::ResolveProgramDirectory(
        parsed.options->directory, QCoreApplication::applicationDirPath());
    if (directory.path.isEmpty()) {
        std::fprintf(stderr, "ventrolo: %s\n", qPrintable(directory.error));
        return 1;
    }

    platform::QtPlatform platform;
    core::SingleInstance instance(directory.path);
    if (!instance.acquire(platform))
        return 1;

    // The splash for one second while events are served.
    {
        mainwindow::SplashWindow splash(platform);
        QObject::connect(&splash, &mainwindow::SplashWindow::addressClicked,
                         [&platform] { app::OpenHomePage(platform); });
        splash.show();
        platform.waitMs(1000, true);
    }

    const port::LptBackendOptions lpt =
        port::LptOptionsFor(*parsed.options, core::SettingsFilePath(directory.path), platform);
    app::VentroloApp ventrolo(directory.path, platform, port::CreateLptBackend(lpt, platform));
    platform.setDialogParent(&ventrolo.mainWindow());
    ventrolo.start();
    return ventrolo.ended() ? 0 : application.exec();
}
