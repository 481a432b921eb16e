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
#include "mainwindow/ClickableLabel.h"

#include <QAction>
#include <QPushButton>

namespace app {

using display::HelpText;
using engine::Engine;

namespace {

// The text window's entries, in the order of display::HelpTexts.
std::array<QAction*, 3> TextEntries(mainwindow::MainWindowForm& form) {
    return {form.mnuVentroloUK, form.mnuVentroloNL, form.mnuChangesTxt};
}

// The picture windows' entries, in the order of display::Pictures.
std::array<QAction*, display::Pictures.size()> PictureEntries(mainwindow::MainWindowForm& form) {
    return {form.mnuSchemaCat, form.mnuCircuitBi, form.mnuCircuitUni,    form.mnuSchemaOpto,
            form.mnuBrenik,    form.mnuComponent, form.mnuCircuitStepDir};
}

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
    mainwindow::MainWindowForm& form = window_.form();
    connect(form.mnuPelorus, &QAction::triggered, this, [this] { pelorusMenuClicked(false); });
    connect(form.cmdPelorus, &QPushButton::clicked, this, [this] {
        pelorusMenuClicked(false);
        fields_.setKeyPreview(true);
    });
    connect(form.mnuPelSmall, &QAction::triggered, this, [this] { pelorusMenuClicked(true); });
    // The degree colour is the pelorus's too.
    connect(form.mnuDegreeColor, &QAction::triggered, this, &VentroloApp::redrawPelorus);
    connect(form.Image1, &mainwindow::ClickableLabel::clicked, this, [this] {
        engine_.StopTurning();
        showWebcam();
    });

    connect(form.mnuLptOutput, &QAction::triggered, this, [this](bool checked) {
        if (!checked)
            return Close(lptOutputWindow_);
        engine_.StopTurning();
        openLptOutput();
    });
    connect(form.mnuLptInput, &QAction::triggered, this, [this](bool checked) {
        if (!checked)
            return Close(lptInputWindow_);
        engine_.StopTurning();
        openLptInput();
    });
    connect(form.lblInputport, &mainwindow::ClickableLabel::clicked, form.mnuLptInput,
            &QAction::trigger);

    const auto texts = TextEntries(form);
    for (std::size_t i = 0; i < texts.size(); ++i) {
        connect(texts[i], &QAction::triggered, this, [this, i](bool checked) {
            Close(textWindow_);
            if (checked)
                showText(display::HelpTexts[i]);
        });
    }
    const auto pictures = PictureEntries(form);
    for (std::size_t i = 0; i < pictures.size(); ++i) {
        connect(pictures[i], &QAction::triggered, this,
                [this, i](bool checked) { showPicture(i, checked); });
    }
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
    mainwindow::MainWindowForm& form = window_.form();
    form.mnuPelorus->setChecked(!pelorusWindow_.isNull());
    form.cmdPelorus->setText(pelorusWindow_ ? QStringLiteral("Pel&orus on")
                                            : QStringLiteral("Pel&orus off"));
    form.mnuPelSmall->setChecked(!smallPelorusWindow_.isNull());
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
    window_.form().mnuLptOutput->setChecked(true);
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
    window_.form().mnuLptInput->setChecked(true);
    Present(*lptInputWindow_, window_, pelorusWindow_);
}

void VentroloApp::lptTestClosed() {
    mainwindow::MainWindowForm& form = window_.form();
    form.mnuLptOutput->setChecked(!lptOutputWindow_.isNull());
    form.mnuLptInput->setChecked(!lptInputWindow_.isNull());
    // The housekeeping runs again once neither test writes or reads the port.
    if (!lptOutputWindow_ && !lptInputWindow_)
        housekeeping_.Resume();
}

// ---------------------------------------------------------------------------------------------
// Texts and pictures

void VentroloApp::showText(HelpText text) {
    Close(textWindow_);
    textWindow_ = new display::TextWindow(platform_, programDirectory_, text);
    const auto entries = TextEntries(window_.form());
    for (std::size_t i = 0; i < entries.size(); ++i)
        entries[i]->setChecked(display::HelpTexts[i] == text);
    connect(textWindow_, &display::TextWindow::closed, this, [this] {
        textWindow_ = nullptr;
        for (QAction* entry : TextEntries(window_.form()))
            entry->setChecked(false);
    });
    Present(*textWindow_, window_, pelorusWindow_);
}

void VentroloApp::showPicture(std::size_t index, bool open) {
    QPointer<display::PictureWindow>& window = pictureWindows_[index];
    QAction* entry = PictureEntries(window_.form())[index];
    if (!open)
        return Close(window);
    if (!window) {
        window = new display::PictureWindow(display::Pictures[index]);
        connect(window, &display::PictureWindow::closed, this, [this, index, entry] {
            pictureWindows_[index] = nullptr;
            entry->setChecked(false);
        });
    }
    entry->setChecked(true);
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
