#include "app/VentroloApp.h"

#include "core/ProgramDirectory.h"
#include "core/SettingsFile.h"
#include "core/SingleInstance.h"
#include "core/VersionTexts.h"
#include "platform/QtPlatform.h"
#include "port/LptBackendFactory.h"
#include "station/StatusSocket.h"

#include <QApplication>
#include <QDesktopServices>
#include <QIcon>
#include <QLoggingCategory>
#include <QUrl>
#include <cstdio>

namespace app {

Q_LOGGING_CATEGORY(lcApp, "ventrolo.app")

VentroloApp::VentroloApp(const QString& programDirectory, platform::Platform& platform,
                         std::unique_ptr<platform::LptPort> lpt)
    : station_(programDirectory, platform, std::move(lpt)),
      window_({state_, platform_, engine_, station_.speed(), station_.modes(),
               station_.counterByHand(), fields_, turns_, params_, shuttlePuls_, calibration_,
               overlay_, keys_, wheel_, exitPath_, switches_, joystick_, station_.portCommands(),
               presenter_}) {
    wireLogic();
    wireMainWindow();
    connectMenus();
    displays_ = std::make_unique<DisplayWindows>(station_, window_);
    connect(displays_.get(), &DisplayWindows::portLineChanged, &presenter_,
            &panel::MainPresenter::ShowPortPanel);
    tables_ = std::make_unique<TableWindows>(station_, window_, *displays_);
    programs_ = std::make_unique<ProgramWindows>(station_, window_, *displays_);
    connect(tables_.get(), &TableWindows::opening, this,
            [this] { closeOtherTableWindows(TableKind::Table); });
    connect(programs_.get(), &ProgramWindows::directOpening, this,
            [this] { closeOtherTableWindows(TableKind::Direct); });
    connect(programs_.get(), &ProgramWindows::timerOpening, this,
            [this] { closeOtherTableWindows(TableKind::Timer); });
    wireRotatorServerItem();
    wireWebServerItem();
    // The session ending (logout) quits the application, which closes every window: that
    // takes the way out without a question, before the main window sees its close.
    if (QCoreApplication* application = QCoreApplication::instance())
        application->installEventFilter(this);
}

VentroloApp::~VentroloApp() {
    if (QCoreApplication* application = QCoreApplication::instance())
        application->removeEventFilter(this);
    delete exitDialog_;
    delete splash_;
    delete simulationWindow_;
}

bool VentroloApp::eventFilter(QObject* watched, QEvent* event) {
    if (watched == QCoreApplication::instance() && event->type() == QEvent::Quit)
        station_.endUnattended();
    return QObject::eventFilter(watched, event);
}

int VentroloApp::Run(const core::CommandLineOptions& options) {
    const core::ProgramDirectoryResult directory =
        core::ResolveProgramDirectory(options.directory, QCoreApplication::applicationDirPath());
    if (directory.path.isEmpty()) {
        std::fprintf(stderr, "ventrolo: %s\n", qPrintable(directory.error));
        return 1;
    }
    QApplication::setWindowIcon(QIcon(display::IconResource()));
    platform::QtPlatform platform;
    core::SingleInstance instance(directory.path,
                                  [&] { return station::StationAnswering(directory.path); });
    if (!instance.acquire(platform))
        return 1;
    {
        // The splash for one second while events are served.
        mainwindow::SplashWindow splash(platform);
        connect(&splash, &mainwindow::SplashWindow::addressClicked,
                [&platform] { OpenHomePage(platform); });
        splash.show();
        platform.waitMs(1000, true);
    }
    const QString settingsFile = core::SettingsFilePath(directory.path);
    core::SettingsReport lptSettings;
    if (const auto problem = core::SettingsFileProblem(settingsFile))
        lptSettings.Unreadable(settingsFile, *problem);
    const port::LptBackendOptions lpt = port::LptOptionsFor(options, settingsFile, lptSettings);
    VentroloApp ventrolo(directory.path, platform, port::CreateLptBackend(lpt, platform));
    ventrolo.settingsReport().Add(lptSettings);
    platform.setDialogParent(&ventrolo.mainWindow());
    return ventrolo.exec();
}

int VentroloApp::exec() {
    int code = 1;
    try {
        if (!started_)
            start();
        code = ended() ? 0 : QApplication::exec();
    } catch (const std::exception& e) {
        qCCritical(lcApp) << "the program ends on an exception:" << e.what();
    } catch (...) {
        qCCritical(lcApp) << "the program ends on an exception";
    }
    // Coils and drivers off, whatever ended the program and whatever ran after the exit path
    // (code after a dismissed dialog may have put a coil code back).
    station_.portDrive().coil().WriteData(0);
    return code;
}

void VentroloApp::start() {
    started_ = true;
    if (!station_.load())
        return;
    displays_->seedHelpTexts();
    // A signal may have ended the program while a message of the help texts was open.
    if (!exitPath_.ending())
        mainInit_.InitMain(false);
    station_.serve();
}

void VentroloApp::showWindows(const panel::StartWindows& windows) {
    bool opened = false;
    if (windows.pelorus)
        opened |= displays_->openPelorusWindow();
    if (windows.smallPelorus)
        opened |= displays_->openSmallPelorusWindow();
    // Each of these may tell or ask while it opens, and the way out may begin meanwhile: no
    // window opens after it.
    if (windows.table && !exitPath_.ending())
        opened |= tables_->openTableWindow();
    if (windows.timer && !exitPath_.ending())
        opened |= programs_->openTimerWindow();
    if (exitPath_.ending())
        return;
    // The user is never left without a window.
    if (windows.main || !opened)
        window_.show();
}

void VentroloApp::closeOtherTableWindows(TableKind opening) {
    // The rig link stays: a program's or a timer's turn waits while the rig transmits.
    if (opening != TableKind::Table && tables_->tableWindow())
        tables_->closeTableWindow(false, true);
    if (opening != TableKind::Direct)
        programs_->closeDirectWindow();
    if (opening != TableKind::Timer) {
        // A timer table running hidden showed itself only by the main window's timer line:
        // its turns stop with it, and the user is told so.
        program::TimerTableWindow* timer = programs_->timerWindow();
        const bool ranHidden = timer && !timer->isVisible() && timer->table().timerEnabled() &&
                               !timer->table().records().empty();
        programs_->closeTimerWindow();
        if (ranHidden && !programs_->timerWindow()) {
            qCInfo(lcApp) << "the timer table running hidden closed: another table window opened";
            platform_.notify(QStringLiteral("Timertable stopped: the table windows open one at "
                                            "a time."),
                             core::MessageTitle(), platform::Icon::Information);
        }
    }
}

// ---------------------------------------------------------------------------------------------
// The way out

void VentroloApp::exitStarted() {
    // Every other window closes; the park question is the last window of the run.
    if (splash_)
        splash_->close();
    if (simulationWindow_)
        simulationWindow_->close();
    window_.hide();
}

void VentroloApp::openParkQuestion(panel::ExitCountdown& countdown) {
    exitDialog_ = new mainwindow::ExitDialog(countdown);
    exitDialog_->show();
}

void VentroloApp::finish() {
    window_.close();
    if (exitDialog_)
        exitDialog_->hide();
    // Every running event loop ends, also a dialog's that is open when a signal arrives during
    // start-up (quit() would be ignored before the main loop runs). Queued: this may run inside
    // the main window's own close.
    QMetaObject::invokeMethod(
        QCoreApplication::instance(), [] { QCoreApplication::exit(0); }, Qt::QueuedConnection);
}

void OpenHomePage(platform::Platform& platform) {
    if (QDesktopServices::openUrl(QUrl(core::HomePageAddress)))
        return;
    qCWarning(lcApp) << "no browser opened" << core::HomePageAddress;
    platform.messageBox(QStringLiteral("No web browser could be opened for ") +
                            core::HomePageAddress,
                        core::MessageTitle(), platform::Icon::Exclamation);
}

} // namespace app
