#include "app/DisplayWindows.h"

#include "core/VersionTexts.h"
#include "display/LptInputWindow.h"
#include "display/LptOutputWindow.h"
#include "display/MoveLogWindow.h"
#include "display/PelorusWindow.h"
#include "display/PictureWindow.h"
#include "display/ScreenPlacement.h"
#include "display/SmallPelorusWindow.h"
#include "display/TextWindow.h"
#include "display/WebcamWindow.h"

namespace app {

using display::HelpText;
using engine::Engine;

namespace {

template <typename Window> void Close(const QPointer<Window>& window) {
    if (window)
        window->close();
}

} // namespace

const QWidget& DisplayWindows::WindowsAnchor(const QWidget& main, const QWidget* pelorus) {
    if (pelorus != nullptr && pelorus->isVisible() && pelorus->x() > main.x())
        return *pelorus;
    return main;
}

DisplayWindows::DisplayWindows(station::Station& station, mainwindow::MainWindow& main,
                               QObject* parent)
    : QObject(parent), station_(station), state_(station.state()), platform_(station.platform()),
      engine_(station.engine()), window_(main),
      lptOutput_(state_, station.lpt(), platform_, station.portDrive().coil().outputs(),
                 station.portDrive().coil().inhibit()),
      lptInput_(station.lpt()), webcam_({state_, platform_, engine_, station.portDrive().coil(),
                                         station.mainInit(), station.wheel()}),
      moveLogLines_(station.moveLog()) {
    wireNews();
    connectMenus();
}

DisplayWindows::~DisplayWindows() {
    delete pelorusWindow_;
    delete smallPelorusWindow_;
    delete webcamWindow_;
    delete lptOutputWindow_;
    delete lptInputWindow_;
    delete textWindow_;
    delete moveLogWindow_;
    for (const auto& picture : pictureWindows_)
        delete picture;
}

void DisplayWindows::present(QWidget& window) const {
    window.show(); // its frame is known once shown
    display::PlaceBeside(window, WindowsAnchor(window_, pelorusWindow_));
    window.raise();
    window.activateWindow();
}

void DisplayWindows::placeBesideMainWindow(QWidget& window) const {
    display::PlaceBesideOrUnder(window, WindowsAnchor(window_, pelorusWindow_), window_);
}

void DisplayWindows::wireNews() {
    // The dials follow the degrees and the counter; a stop ends the port tests, which write the
    // port themselves.
    connect(&engine_, &Engine::degreesChanged, this, &DisplayWindows::redrawPelorus);
    connect(&engine_, &Engine::counterChanged, this, [this] {
        if (pelorusWindow_)
            pelorusWindow_->ShowCounter(false);
        if (webcamWindow_)
            webcamWindow_->render();
    });
    connect(&engine_, &Engine::stopped, this, [this] {
        Close(lptOutputWindow_);
        Close(lptInputWindow_);
    });
    // Without degrees there is nothing to show.
    connect(&station_.params(), &panel::StepperParams::pelorusOff, this, [this] {
        Close(pelorusWindow_);
        Close(smallPelorusWindow_);
    });
    // Another profile closes the dials it does not mark as shown.
    connect(&station_.mainInit(), &panel::MainInit::windowsShown, this,
            [this](const panel::StartWindows& windows) {
                if (!windows.pelorus)
                    Close(pelorusWindow_);
                if (!windows.smallPelorus)
                    Close(smallPelorusWindow_);
            });
    connect(&station_.wheel(), &engine::WheelControl::webcamPictureShown, this,
            [this](bool second) {
                if (webcamWindow_ && webcamWindow_->isActiveWindow())
                    webcamWindow_->showPicture(second);
            });
    connect(&station_.exitPath(), &panel::ExitPath::exitStarted, this,
            &DisplayWindows::exitStarted);
}

void DisplayWindows::connectMenus() {
    using mainwindow::MainWindow;
    connect(&window_, &MainWindow::pelorusRequested, this, &DisplayWindows::pelorusMenuClicked);
    // The degree colour is the pelorus's too.
    connect(&window_, &MainWindow::degreeColorRequested, this, &DisplayWindows::redrawPelorus);
    connect(&window_, &MainWindow::webcamRequested, this, [this] {
        engine_.StopTurningAndFollowing();
        showWebcam();
    });

    connect(&window_, &MainWindow::lptOutputRequested, this, [this](bool checked) {
        if (!checked)
            return Close(lptOutputWindow_);
        engine_.StopTurningAndFollowing();
        openLptOutput();
    });
    connect(&window_, &MainWindow::lptInputRequested, this, [this](bool checked) {
        if (!checked)
            return Close(lptInputWindow_);
        engine_.StopTurningAndFollowing();
        openLptInput();
    });

    connect(&window_, &MainWindow::moveLogRequested, this, &DisplayWindows::showMoveLog);
    // After the station's own handler has written the turn's line.
    connect(&engine_, &engine::Engine::turnFinished, this, [this] {
        if (moveLogWindow_)
            moveLogLines_.Refresh();
    });
    connect(&window_, &MainWindow::textRequested, this, [this](std::size_t i, bool checked) {
        Close(textWindow_);
        if (checked)
            showText(display::HelpTexts[i]);
    });
    connect(&window_, &MainWindow::pictureRequested, this, &DisplayWindows::showPicture);
}

void DisplayWindows::seedHelpTexts() {
    const display::SeedResult seeded = display::SeedHelpTexts(station_.programDirectory());
    if (!seeded.error.isEmpty())
        platform_.messageBox(QStringLiteral("The help texts are missing: ") + seeded.error,
                             core::MessageTitle(), platform::Icon::Exclamation);
}

// ---------------------------------------------------------------------------------------------
// The pelorus windows

void DisplayWindows::redrawPelorus() {
    if (pelorusWindow_)
        pelorusWindow_->Pelorus(state_.CurrentDegrees);
    if (smallPelorusWindow_)
        smallPelorusWindow_->PelorusSmall(state_.CurrentDegrees);
}

void DisplayWindows::renderPelorusEntries() {
    window_.setPelorusShown(!pelorusWindow_.isNull(), !smallPelorusWindow_.isNull());
    emit shownWindowsChanged();
}

bool DisplayWindows::openPelorusWindow() {
    if (!pelorusWindow_) {
        pelorusWindow_ = new display::PelorusWindow(
            {state_, platform_, engine_, station_.modes().modes(), station_.counterByHand(),
             station_.keys(), station_.wheel()},
            window_);
        connect(pelorusWindow_, &display::PelorusWindow::closed, this,
                &DisplayWindows::pelorusClosed);
        connect(pelorusWindow_, &display::PelorusWindow::mainToggled, this,
                &DisplayWindows::mainToggled);
        connect(pelorusWindow_, &display::PelorusWindow::coloursChanged, this,
                &DisplayWindows::redrawPelorus);
    }
    state_.PelorusShown = true;
    pelorusWindow_->show();
    pelorusWindow_->dock();
    renderPelorusEntries();
    return true;
}

bool DisplayWindows::openSmallPelorusWindow() {
    if (!smallPelorusWindow_) {
        smallPelorusWindow_ = new display::SmallPelorusWindow(
            {state_, platform_, engine_, station_.modes().modes(), station_.counterByHand(),
             station_.keys(), station_.wheel()});
        connect(smallPelorusWindow_, &display::SmallPelorusWindow::closed, this,
                &DisplayWindows::smallPelorusClosed);
        smallPelorusWindow_->show();
        display::PlaceBeside(*smallPelorusWindow_, WindowsAnchor(window_, pelorusWindow_));
    }
    state_.SmallPelorusShown = true;
    smallPelorusWindow_->show();
    renderPelorusEntries();
    return true;
}

void DisplayWindows::pelorusMenuClicked(bool small) {
    if (state_.StepsPer360 < 1) {
        platform_.beep();
    } else {
        engine_.StopTurningAndFollowing();
        QWidget* shown = small ? static_cast<QWidget*>(smallPelorusWindow_) : pelorusWindow_;
        if (shown) {
            shown->close();
        } else {
            small ? openSmallPelorusWindow() : openPelorusWindow();
            redrawPelorus();
            window_.activateWindow();
        }
    }
    renderPelorusEntries();
}

void DisplayWindows::pelorusClosed() {
    pelorusWindow_ = nullptr;
    engine_.StopTurningAndFollowing();
    state_.PelorusShown = false;
    renderPelorusEntries();
    anyWindowClosed();
}

void DisplayWindows::smallPelorusClosed() {
    smallPelorusWindow_ = nullptr;
    state_.SmallPelorusShown = false;
    renderPelorusEntries();
    anyWindowClosed();
}

void DisplayWindows::anyWindowClosed() {
    // The user is never left without a window.
    if (station_.ending() || state_.MainShown || state_.PelorusShown || state_.TimerWindowShown ||
        state_.TableWindowShown)
        return;
    state_.MainShown = true;
    window_.show();
}

void DisplayWindows::mainToggled() {
    state_.MainShown = !state_.MainShown;
    window_.setVisible(state_.MainShown);
    emit shownWindowsChanged(); // the table window's "Ma&in" button follows
}

// ---------------------------------------------------------------------------------------------
// The webcam and the LPT tests

void DisplayWindows::showWebcam() {
    if (!webcamWindow_) {
        webcamWindow_ = new display::WebcamWindow(webcam_);
        connect(webcamWindow_, &display::WebcamWindow::closed, this, [this] {
            webcamWindow_ = nullptr;
            window_.show();
        });
        connect(webcamWindow_, &display::WebcamWindow::lptOutToggled, this,
                &DisplayWindows::webcamLptOut);
    }
    present(*webcamWindow_);
}

void DisplayWindows::webcamLptOut(bool checked) {
    if (!checked)
        return Close(lptOutputWindow_);
    openLptOutput();
    if (webcamWindow_ && lptOutputWindow_)
        display::PlaceUnder(*lptOutputWindow_, *webcamWindow_);
}

void DisplayWindows::openLptOutput() {
    if (!lptOutputWindow_) {
        // The housekeeping would switch the drivers off under the pins being set.
        if (state_.AutoPower == 1)
            station_.housekeeping().Pause();
        state_.LptOutTestOpen = true;
        lptOutputWindow_ = new display::LptOutputWindow(lptOutput_, platform_);
        connect(lptOutputWindow_, &display::LptOutputWindow::extraBitsChanged, this,
                &DisplayWindows::portLineChanged);
        connect(lptOutputWindow_, &display::LptOutputWindow::helpRequested, this,
                [this] { showText(HelpText::English); });
        connect(lptOutputWindow_, &display::LptOutputWindow::closed, this, [this] {
            lptOutputWindow_ = nullptr;
            state_.LptOutTestOpen = false;
            if (webcamWindow_)
                webcamWindow_->setLptOutChecked(false);
            lptTestClosed();
        });
    }
    window_.setLptTestsShown(true, !lptInputWindow_.isNull());
    present(*lptOutputWindow_);
}

void DisplayWindows::openLptInput() {
    if (!lptInputWindow_) {
        if (state_.AutoPower == 1)
            station_.housekeeping().Pause();
        state_.LptInTestOpen = true;
        lptInputWindow_ =
            new display::LptInputWindow(lptInput_, platform_, state_.LptStatusAddress);
        connect(lptInputWindow_, &display::LptInputWindow::helpRequested, this,
                [this] { showText(HelpText::English); });
        connect(lptInputWindow_, &display::LptInputWindow::closed, this, [this] {
            lptInputWindow_ = nullptr;
            state_.LptInTestOpen = false;
            lptTestClosed();
        });
    }
    window_.setLptTestsShown(!lptOutputWindow_.isNull(), true);
    present(*lptInputWindow_);
}

void DisplayWindows::lptTestClosed() {
    window_.setLptTestsShown(!lptOutputWindow_.isNull(), !lptInputWindow_.isNull());
    // The housekeeping runs again once neither test writes or reads the port.
    if (!lptOutputWindow_ && !lptInputWindow_)
        station_.housekeeping().Resume();
}

// ---------------------------------------------------------------------------------------------
// Texts and pictures

void DisplayWindows::showText(HelpText text) {
    Close(textWindow_);
    textWindow_ = new display::TextWindow(platform_, station_.programDirectory(), text);
    for (std::size_t i = 0; i < display::HelpTexts.size(); ++i)
        window_.setTextShown(i, display::HelpTexts[i] == text);
    connect(textWindow_, &display::TextWindow::closed, this, [this] {
        textWindow_ = nullptr;
        for (std::size_t i = 0; i < display::HelpTexts.size(); ++i)
            window_.setTextShown(i, false);
    });
    present(*textWindow_);
}

void DisplayWindows::showMoveLog() {
    if (!moveLogWindow_) {
        moveLogLines_.Refresh();
        moveLogWindow_ = new display::MoveLogWindow(moveLogLines_);
    }
    present(*moveLogWindow_);
    moveLogWindow_->raise();
}

void DisplayWindows::showPicture(std::size_t index, bool open) {
    QPointer<display::PictureWindow>& window = pictureWindows_[index];
    if (!open)
        return Close(window);
    if (!window) {
        window = new display::PictureWindow(display::Pictures[index]);
        connect(window, &display::PictureWindow::closed, this, [this, index] {
            pictureWindows_[index] = nullptr;
            window_.setPictureShown(index, false);
        });
    }
    window_.setPictureShown(index, true);
    present(*window);
}

void DisplayWindows::exitStarted() {
    // The park question is the last window: the tests, texts and pictures close; the dials and
    // the webcam window only hide, so the profile still says they were shown.
    Close(lptOutputWindow_);
    Close(lptInputWindow_);
    Close(textWindow_);
    Close(moveLogWindow_);
    for (const auto& picture : pictureWindows_)
        Close(picture);
    for (QWidget* window :
         std::initializer_list<QWidget*>{pelorusWindow_, smallPelorusWindow_, webcamWindow_}) {
        if (window)
            window->hide();
    }
}

} // namespace app
