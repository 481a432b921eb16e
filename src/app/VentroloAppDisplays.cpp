// The display windows: the pelorus and the small pelorus, the webcam turning window, the LPT
// test windows, the text window and the circuit pictures; their menu entries, and the news of
// the engine they follow.
#include "app/VentroloApp.h"
#include "core/VersionTexts.h"
#include "display/LptInputWindow.h"
#include "display/LptOutputWindow.h"
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

// A window opened beside the main window and its pelorus, on top of the others, where the user
// can reach it.
void Present(QWidget& window, const QWidget& main, const QWidget* pelorus) {
    window.show(); // its frame is known once shown
    display::PlaceBeside(window, app::VentroloApp::WindowsAnchor(main, pelorus));
    window.raise();
    window.activateWindow();
}

} // namespace

// What a window opens beside: the main window, or the pelorus when that docked on the main
// window's right for want of room on its left.
const QWidget& VentroloApp::WindowsAnchor(const QWidget& main, const QWidget* pelorus) {
    if (pelorus != nullptr && pelorus->isVisible() && pelorus->x() > main.x())
        return *pelorus;
    return main;
}

void VentroloApp::wireDisplays(const QString& programDirectory) {
    programDirectory_ = programDirectory;
    // The dials follow the degrees and the counter; a stop ends the port tests, which write the
    // port themselves.
    connect(&engine_, &Engine::degreesChanged, this, &VentroloApp::redrawPelorus);
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
    connect(&params_, &engine::StepperParams::pelorusOff, this, [this] {
        Close(pelorusWindow_);
        Close(smallPelorusWindow_);
    });
    // Another profile closes the dials it does not mark as shown.
    connect(&mainInit_, &engine::MainInit::windowsShown, this,
            [this](const engine::StartWindows& windows) {
                if (!windows.pelorus)
                    Close(pelorusWindow_);
                if (!windows.smallPelorus)
                    Close(smallPelorusWindow_);
            });
    connect(&wheel_, &engine::WheelControl::webcamPictureShown, this, [this](bool second) {
        if (webcamWindow_ && webcamWindow_->isActiveWindow())
            webcamWindow_->showPicture(second);
    });
    connect(&exitPath_, &engine::ExitPath::exitStarted, this, &VentroloApp::displaysExitStarted);
    connectDisplayMenus();
}

void VentroloApp::connectDisplayMenus() {
    using mainwindow::MainWindow;
    connect(&window_, &MainWindow::pelorusRequested, this, &VentroloApp::pelorusMenuClicked);
    // The degree colour is the pelorus's too.
    connect(&window_, &MainWindow::degreeColorRequested, this, &VentroloApp::redrawPelorus);
    connect(&window_, &MainWindow::webcamRequested, this, [this] {
        engine_.StopTurning();
        showWebcam();
    });

    connect(&window_, &MainWindow::lptOutputRequested, this, [this](bool checked) {
        if (!checked)
            return Close(lptOutputWindow_);
        engine_.StopTurning();
        openLptOutput();
    });
    connect(&window_, &MainWindow::lptInputRequested, this, [this](bool checked) {
        if (!checked)
            return Close(lptInputWindow_);
        engine_.StopTurning();
        openLptInput();
    });

    connect(&window_, &MainWindow::textRequested, this, [this](std::size_t i, bool checked) {
        Close(textWindow_);
        if (checked)
            showText(display::HelpTexts[i]);
    });
    connect(&window_, &MainWindow::pictureRequested, this, &VentroloApp::showPicture);
}

void VentroloApp::seedHelpTexts() {
    const display::SeedResult seeded = display::SeedHelpTexts(programDirectory_);
    if (!seeded.error.isEmpty())
        platform_.messageBox(QStringLiteral("The help texts are missing: ") + seeded.error,
                             core::MessageTitle(), platform::Icon::Exclamation);
}

void VentroloApp::deleteDisplays() {
    delete pelorusWindow_;
    delete smallPelorusWindow_;
    delete webcamWindow_;
    delete lptOutputWindow_;
    delete lptInputWindow_;
    delete textWindow_;
    for (const auto& picture : pictureWindows_)
        delete picture;
}

// ---------------------------------------------------------------------------------------------
// The pelorus windows

void VentroloApp::redrawPelorus() {
    if (pelorusWindow_)
        pelorusWindow_->Pelorus(state_.CurrentDegrees);
    if (smallPelorusWindow_)
        smallPelorusWindow_->PelorusSmall(state_.CurrentDegrees);
}

void VentroloApp::renderPelorusEntries() {
    window_.setPelorusShown(!pelorusWindow_.isNull(), !smallPelorusWindow_.isNull());
    // The table window's pelorus button too.
    if (tableWindow_)
        tableWindow_->render();
}

bool VentroloApp::openPelorusWindow() {
    if (!pelorusWindow_) {
        pelorusWindow_ =
            new display::PelorusWindow({state_, platform_, engine_, keys_, wheel_}, window_);
        connect(pelorusWindow_, &display::PelorusWindow::closed, this, &VentroloApp::pelorusClosed);
        connect(pelorusWindow_, &display::PelorusWindow::mainToggled, this,
                &VentroloApp::mainToggled);
    }
    state_.PelorusShown = true;
    pelorusWindow_->show();
    pelorusWindow_->dock();
    renderPelorusEntries();
    return true;
}

bool VentroloApp::openSmallPelorusWindow() {
    if (!smallPelorusWindow_) {
        smallPelorusWindow_ =
            new display::SmallPelorusWindow({state_, platform_, engine_, keys_, wheel_});
        connect(smallPelorusWindow_, &display::SmallPelorusWindow::closed, this,
                &VentroloApp::smallPelorusClosed);
        smallPelorusWindow_->show();
        display::PlaceBeside(*smallPelorusWindow_, WindowsAnchor(window_, pelorusWindow_));
    }
    state_.SmallPelorusShown = true;
    smallPelorusWindow_->show();
    renderPelorusEntries();
    return true;
}

void VentroloApp::pelorusMenuClicked(bool small) {
    if (state_.StepsPer360 < 1) {
        platform_.beep();
    } else {
        engine_.StopTurning();
        QWidget* shown = small ? static_cast<QWidget*>(smallPelorusWindow_) : pelorusWindow_;
        if (shown) {
            shown->close();
        } else {
            small ? openSmallPelorusWindow() : openPelorusWindow();
            engine_.ShowDegrees();
            window_.activateWindow();
        }
    }
    renderPelorusEntries();
}

void VentroloApp::pelorusClosed() {
    pelorusWindow_ = nullptr;
    engine_.StopTurning();
    state_.PelorusShown = false;
    renderPelorusEntries();
    anyWindowClosed();
}

void VentroloApp::smallPelorusClosed() {
    smallPelorusWindow_ = nullptr;
    state_.SmallPelorusShown = false;
    renderPelorusEntries();
    anyWindowClosed();
}

void VentroloApp::anyWindowClosed() {
    // The user is never left without a window.
    if (exitPath_.ending() || state_.MainShown || state_.PelorusShown || state_.TimerWindowShown ||
        state_.TableWindowShown)
        return;
    state_.MainShown = true;
    window_.show();
}

void VentroloApp::mainToggled() {
    state_.MainShown = !state_.MainShown;
    window_.setVisible(state_.MainShown);
    if (tableWindow_)
        tableWindow_->render(); // its "Ma&in" button follows
}

// ---------------------------------------------------------------------------------------------
// The webcam and the LPT tests

void VentroloApp::showWebcam() {
    if (!webcamWindow_) {
        webcamWindow_ = new display::WebcamWindow(webcam_);
        connect(webcamWindow_, &display::WebcamWindow::closed, this, [this] {
            webcamWindow_ = nullptr;
            window_.show();
        });
        connect(webcamWindow_, &display::WebcamWindow::lptOutToggled, this,
                &VentroloApp::webcamLptOut);
    }
    Present(*webcamWindow_, window_, pelorusWindow_);
}

void VentroloApp::webcamLptOut(bool checked) {
    if (!checked)
        return Close(lptOutputWindow_);
    openLptOutput();
    if (webcamWindow_ && lptOutputWindow_)
        display::PlaceUnder(*lptOutputWindow_, *webcamWindow_);
}

void VentroloApp::openLptOutput() {
    if (!lptOutputWindow_) {
        // The housekeeping would switch the drivers off under the pins being set.
        if (state_.AutoPower == 1)
            housekeeping_.Pause();
        state_.LptOutTestOpen = true;
        lptOutputWindow_ = new display::LptOutputWindow(lptOutput_, platform_);
        connect(lptOutputWindow_, &display::LptOutputWindow::extraBitsChanged, &window_,
                &mainwindow::MainWindow::renderPortPanel);
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
    Present(*lptOutputWindow_, window_, pelorusWindow_);
}

void VentroloApp::openLptInput() {
    if (!lptInputWindow_) {
        if (state_.AutoPower == 1)
            housekeeping_.Pause();
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
    Present(*lptInputWindow_, window_, pelorusWindow_);
}

void VentroloApp::lptTestClosed() {
    window_.setLptTestsShown(!lptOutputWindow_.isNull(), !lptInputWindow_.isNull());
    // The housekeeping runs again once neither test writes or reads the port.
    if (!lptOutputWindow_ && !lptInputWindow_)
        housekeeping_.Resume();
}

// ---------------------------------------------------------------------------------------------
// Texts and pictures

void VentroloApp::showText(HelpText text) {
    Close(textWindow_);
    textWindow_ = new display::TextWindow(platform_, programDirectory_, text);
    for (std::size_t i = 0; i < display::HelpTexts.size(); ++i)
        window_.setTextShown(i, display::HelpTexts[i] == text);
    connect(textWindow_, &display::TextWindow::closed, this, [this] {
        textWindow_ = nullptr;
        for (std::size_t i = 0; i < display::HelpTexts.size(); ++i)
            window_.setTextShown(i, false);
    });
    Present(*textWindow_, window_, pelorusWindow_);
}

void VentroloApp::showPicture(std::size_t index, bool open) {
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
    Present(*window, window_, pelorusWindow_);
}

void VentroloApp::displaysExitStarted() {
    // The park question is the last window: the tests, texts and pictures close; the dials and
    // the webcam window only hide, so the profile still says they were shown.
    Close(lptOutputWindow_);
    Close(lptInputWindow_);
    Close(textWindow_);
    for (const auto& picture : pictureWindows_)
        Close(picture);
    for (QWidget* window :
         std::initializer_list<QWidget*>{pelorusWindow_, smallPelorusWindow_, webcamWindow_}) {
        if (window)
            window->hide();
    }
}

} // namespace app
