// The direct table and the timer table: their windows, the main window's entries and buttons
// that open and close them, the timer's label on the main window, and their part of start-up,
// of a stepper switch and of the way out.
#include "app/VentroloApp.h"
#include "display/PelorusWindow.h"
#include "display/ScreenPlacement.h"

#include <QApplication>
#include <algorithm>

namespace app {

using program::DirectTableWindow;
using program::ProgramWindow;
using program::TimerTableWindow;

void VentroloApp::wirePrograms() {
    using mainwindow::MainWindow;
    connect(&window_, &MainWindow::directRequested, this, &VentroloApp::directClicked);
    connect(&window_, &MainWindow::timerRequested, this, &VentroloApp::timerClicked);
    connect(&window_, &MainWindow::timerLabelClicked, this, [this] {
        if (TimerTableWindow* timer = timerWindow()) {
            timer->show();
            timer->raise();
            timer->activateWindow();
        }
    });
    connect(&mainInit_, &engine::MainInit::mainWindowChanged, this,
            &VentroloApp::programsAfterInitMain);
    connect(&exitPath_, &engine::ExitPath::exitStarted, this, &VentroloApp::programsAtExit);
}

DirectTableWindow* VentroloApp::directWindow() const {
    return directWindow_ && !directWindow_->isClosed() ? directWindow_.data() : nullptr;
}

TimerTableWindow* VentroloApp::timerWindow() const {
    return timerWindow_ && !timerWindow_->isClosed() ? timerWindow_.data() : nullptr;
}

void VentroloApp::closeOtherTableWindows(TableKind opening) {
    // In the order of their entries; the direct and timer entries toggle an open window closed.
    if (opening != TableKind::Table && tableWindow_)
        closeTableWindow(false);
    if (opening != TableKind::Direct && directWindow())
        directClicked();
    if (opening != TableKind::Timer && timerWindow())
        timerClicked();
}

void VentroloApp::renderTableEntries() {
    window_.setDirectChecked(directWindow() != nullptr);
    window_.setTimerChecked(timerWindow() != nullptr);
}

// ---------------------------------------------------------------------------------------------
// The direct table

void VentroloApp::directClicked() {
    engine_.StopTurning();
    if (DirectTableWindow* direct = directWindow())
        direct->close();
    else
        openDirectWindow();
    renderTableEntries();
}

void VentroloApp::openDirectWindow() {
    closeOtherTableWindows(TableKind::Direct);
    // The shuttle and pulse panel rests while a program runs (the stop ended both modes).
    shuttlePuls_.LockPulsShuttle();
    window_.setShuttlePanelEnabled(false);
    wheel_.SelectWheelFunction(-1);
    auto* direct = new DirectTableWindow(state_, platform_, station_.turner(), config_.programDirectory());
    directWindow_ = direct;
    connect(direct, &ProgramWindow::closed, this, &VentroloApp::directWindowClosed);
    connect(direct, &DirectTableWindow::keyCommand, &keys_, &engine::KeyControl::HandleKey);
    connect(direct, &DirectTableWindow::wheelTurned, &wheel_, &engine::WheelControl::HandleWheel);
    placeBesideMainWindow(direct);
    direct->show();
}

void VentroloApp::directWindowClosed() {
    engine_.StopTurning();
    window_.setShuttlePanelEnabled(true);
    renderTableEntries();
    keepAWindowVisible(directWindow_);
}

// ---------------------------------------------------------------------------------------------
// The timer table

void VentroloApp::timerClicked() {
    engine_.StopTurning();
    if (TimerTableWindow* timer = timerWindow())
        timer->close();
    else
        openTimerWindow();
    renderTableEntries();
}

bool VentroloApp::openTimerWindow() {
    if (!timerWindow()) {
        closeOtherTableWindows(TableKind::Timer);
        wheel_.SelectWheelFunction(-1);
        auto* timer = new TimerTableWindow(state_, platform_, station_.turner(), config_.programDirectory());
        // Reading the table may tell of damage; the way out may have begun meanwhile.
        if (exitPath_.ending()) {
            timer->table().WindowGone();
            timer->deleteLater();
            return false;
        }
        timerWindow_ = timer;
        connect(timer, &ProgramWindow::closed, this, &VentroloApp::timerWindowClosed);
        connect(timer, &TimerTableWindow::mainToggled, this, &VentroloApp::toggleMainWindow);
        connect(timer, &ProgramWindow::keyCommand, &keys_, &engine::KeyControl::HandleKey);
        connect(timer, &TimerTableWindow::hiddenToBackground, this, &VentroloApp::timerHidden);
        connect(&timer->table(), &program::TimerTable::tableChanged, this,
                [this, timer] { window_.setTimerText(timer->table().Form1LabelTimer()); });
        window_.setTimerText(timer->table().Form1LabelTimer());
        setTimerWindowShown(true);
        placeBesideMainWindow(timer);
        timer->show();
        renderTableEntries();
    }
    return timerWindow()->isVisible();
}

void VentroloApp::setTimerWindowShown(bool shown) {
    // The timer table turns either stepper: it stays open whichever one is selected.
    state_.TimerWindowShown = shown;
    for (core::StepperProfile& profile : state_.StoredProfiles)
        profile.TimerWindowShown = shown;
}

void VentroloApp::timerWindowClosed() {
    window_.setTimerLabelVisible(false);
    setTimerWindowShown(false);
    renderTableEntries();
    keepAWindowVisible(timerWindow_);
}

void VentroloApp::timerHidden(bool runs) {
    if (runs) {
        window_.setTimerText(timerWindow_->table().Form1LabelTimer());
        window_.setTimerLabelVisible(true);
    }
    keepAWindowVisible(timerWindow_);
}

void VentroloApp::toggleMainWindow() {
    state_.MainShown = !state_.MainShown;
    window_.setVisible(state_.MainShown);
}

// ---------------------------------------------------------------------------------------------
// Start-up, stepper switch, the way out

void VentroloApp::programsAfterInitMain() {
    // The main window built anew: a program stops with its window; the timer table stays only
    // when the profile has it open (a timed switch to the other stepper keeps it so).
    if (DirectTableWindow* direct = directWindow())
        direct->close();
    if (TimerTableWindow* timer = timerWindow(); timer && !state_.TimerWindowShown)
        timer->close();
    renderTableEntries();
}

void VentroloApp::programsAtExit() {
    if (DirectTableWindow* direct = directWindow())
        direct->close();
    // The timer stops and hides; its flag stays, so the next start opens it again.
    if (TimerTableWindow* timer = timerWindow()) {
        timer->table().WindowGone();
        timer->hide();
    }
}

void VentroloApp::keepAWindowVisible(const QWidget* except) {
    if (exitPath_.ending() || window_.isVisible())
        return;
    const QWidgetList windows = QApplication::topLevelWidgets();
    const bool another = std::any_of(windows.begin(), windows.end(), [except](QWidget* w) {
        return w != except && w->isVisible() &&
               (w->windowType() == Qt::Window || w->windowType() == Qt::Dialog);
    });
    if (another)
        return;
    state_.MainShown = true;
    window_.show();
}

void VentroloApp::placeBesideMainWindow(QWidget* window) {
    display::PlaceBesideOrUnder(*window, WindowsAnchor(window_, pelorusWindow_), window_);
}

} // namespace app
