#include "app/VentroloApp.h"
#include "core/CommandLine.h"
#include "port/LptSettings.h"

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

    return app::VentroloApp::Run(*parsed.options);
}
