#include "port/LptBackendFactory.h"

#include "core/VersionTexts.h"
#include "port/DirectIoLpt.h"
#include "port/GpioLpt.h"
#include "port/PortLogLpt.h"
#include "port/PpdevLpt.h"
#include "port/SerializedLpt.h"
#include "port/SimulatedLpt.h"

#include <QCoreApplication>
#include <QFile>
#include <QThread>
#include <QLoggingCategory>
#include <cerrno>

namespace port {

Q_LOGGING_CATEGORY(lcLptBackend, "ventrolo.port.backend")

namespace {

// A device or log failure may come up on the stepping thread: the message is shown by the GUI
// thread.
void Tell(platform::Platform& platform, const QString& text) {
    QCoreApplication* application = QCoreApplication::instance();
    if (application == nullptr || QThread::currentThread() == application->thread()) {
        platform.messageBox(text, core::MessageTitle(), platform::Icon::Exclamation);
        return;
    }
    QMetaObject::invokeMethod(
        application,
        [&platform, text] {
            platform.messageBox(text, core::MessageTitle(), platform::Icon::Exclamation);
        },
        Qt::QueuedConnection);
}

// The failure that says most: the first that is not a missing device (the usual state of the
// second and third port), else the first.
const PpdevLpt::OpenFailure& MostTelling(const std::vector<PpdevLpt::OpenFailure>& failures) {
    for (const auto& f : failures) {
        if (f.errorNumber != ENOENT)
            return f;
    }
    return failures.front();
}

std::unique_ptr<platform::LptPort> OpenChosen(const LptBackendOptions& options,
                                              platform::Platform& platform) {
    const QString goingOn = QStringLiteral(".\nVentrolo goes on with the simulated port.");
    switch (options.choice) {
    case LptBackend::Simulated:
        break;
    case LptBackend::Auto:
    case LptBackend::Ppdev: {
        auto opened = PpdevLpt::open(options.devices);
        if (opened.port) {
            opened.port->onDeviceFailure = [&platform](const QString& text) {
                Tell(platform, text);
            };
            return std::move(opened.port);
        }
        if (options.choice == LptBackend::Ppdev) {
            const QString why = opened.failures.empty()
                                    ? QStringLiteral("no ppdev device is set in [lpt] of "
                                                     "Ventrolo.ini")
                                    : MostTelling(opened.failures).text;
            Tell(platform, why + goingOn);
        }
        break;
    }
    case LptBackend::Gpio: {
        auto opened = GpioLpt::open(options.gpio);
        if (opened.port) {
            opened.port->onDeviceFailure = [&platform](const QString& text) {
                Tell(platform, text);
            };
            return std::move(opened.port);
        }
        Tell(platform, opened.failure + goingOn);
        break;
    }
    case LptBackend::DirectIo: {
        QString why;
        if (auto direct = DirectIoLpt::open(&why))
            return direct;
        Tell(platform, why + goingOn);
        break;
    }
    }
    return std::make_unique<SimulatedLpt>();
}

} // namespace

namespace {

std::unique_ptr<platform::LptPort> OpenLogged(const LptBackendOptions& options,
                                              platform::Platform& platform) {
    std::unique_ptr<platform::LptPort> port = OpenChosen(options, platform);
    qCInfo(lcLptBackend) << "parallel port:" << port->backendName();
    if (options.portLogFile.isEmpty())
        return port;
    auto file = std::make_unique<QFile>(options.portLogFile);
    if (!file->open(QIODevice::WriteOnly | QIODevice::Append)) {
        Tell(platform, QStringLiteral("cannot open the port log %1: %2. Port writes are not "
                                      "logged.")
                           .arg(options.portLogFile, file->errorString()));
        return port;
    }
    auto logged = std::make_unique<PortLogLpt>(std::move(port), std::move(file),
                                               [&platform] { return platform.steadyMs(); });
    logged->onLogFailure = [&platform](const QString& text) { Tell(platform, text); };
    return logged;
}

} // namespace

std::unique_ptr<platform::LptPort> CreateLptBackend(const LptBackendOptions& options,
                                                    platform::Platform& platform) {
    return std::make_unique<SerializedLpt>(OpenLogged(options, platform));
}

SimulatedLpt* SimulatedBackend(platform::LptPort& port) {
    if (auto* shared = dynamic_cast<SerializedLpt*>(&port))
        return SimulatedBackend(shared->inner());
    if (auto* logged = dynamic_cast<PortLogLpt*>(&port))
        return SimulatedBackend(logged->inner());
    return dynamic_cast<SimulatedLpt*>(&port);
}

} // namespace port
