#include "app/ProgramWindows.h"

#include <QApplication>
#include <algorithm>

namespace app {

using program::DirectTableWindow;
using program::ProgramWindow;
using program::TimerTableWindow;

ProgramWindows::ProgramWindows(station::Station& station, mainwindow::MainWindow& main,
                               const DisplayWindows& displays, QObject* parent)
    : QObject(parent), station_(station), state_(station.state()), engine_(station.engine()),
      window_(main), displays_(displays) {
    using mainwindow::MainWindow;
    connect(&window_, &MainWindow::directRequested, this, &ProgramWindows::directClicked);
    connect(&window_, &MainWindow::timerRequested, this, &ProgramWindows::timerClicked);
    connect(&window_, &MainWindow::timerLabelClicked, this, [this] {
        if (TimerTableWindow* timer = timerWindow()) {
            timer->show();
            timer->raise();
            timer->activateWindow();
        }
    });
    connect(&station_.mainInit(), &panel::MainInit::mainWindowChanged, this,
            &ProgramWindows::afterInitMain);
    connect(&station_.exitPath(), &panel::ExitPath::exitStarted, this,
            &ProgramWindows::exitStarted);
}

ProgramWindows::~ProgramWindows() {
    delete directWindow_;
    delete timerWindow_;
}

DirectTableWindow* ProgramWindows::directWindow() const {
    return directWindow_ && !directWindow_->isClosed() ? directWindow_.data() : nullptr;
}

TimerTableWindow* ProgramWindows::timerWindow() const {
    return timerWindow_ && !timerWindow_->isClosed() ? timerWindow_.data() : nullptr;
}

void ProgramWindows::closeDirectWindow() {
    if (directWindow())
        directClicked();
}

void ProgramWindows::closeTimerWindow() {
    if (timerWindow())
        timerClicked();
}

void ProgramWindows::renderTableEntries() {
    window_.setDirectChecked(directWindow() != nullptr);
    window_.setTimerChecked(timerWindow() != nullptr);
}

// ---------------------------------------------------------------------------------------------
// The direct table

void ProgramWindows::directClicked() {
    engine_.StopTurningAndFollowing();
    if (DirectTableWindow* direct = directWindow())
        direct->close();
    else
        openDirectWindow();
    renderTableEntries();
}

void ProgramWindows::openDirectWindow() {
    emit directOpening();
    // The shuttle and pulse panel rests while a program runs (the stop ended both modes).
    station_.shuttlePuls().LockPulsShuttle();
    window_.setShuttlePanelEnabled(false);
    station_.wheel().SelectWheelFunction(-1);
    auto* direct = new DirectTableWindow(state_, station_.platform(), station_.turner(),
                                         station_.programDirectory());
    directWindow_ = direct;
    connect(direct, &ProgramWindow::closed, this, &ProgramWindows::directWindowClosed);
    connect(direct, &DirectTableWindow::keyCommand, &station_.keys(), &panel::KeyControl::HandleKey);
    connect(direct, &DirectTableWindow::wheelTurned, &station_.wheel(), &engine::WheelControl::HandleWheel);
    displays_.placeBesideMainWindow(*direct);
    direct->show();
}

void ProgramWindows::directWindowClosed() {
    engine_.StopTurningAndFollowing();
    window_.setShuttlePanelEnabled(true);
    renderTableEntries();
    keepAWindowVisible(directWindow_);
}

// ---------------------------------------------------------------------------------------------
// The timer table

void ProgramWindows::timerClicked() {
    engine_.StopTurningAndFollowing();
    if (TimerTableWindow* timer = timerWindow())
        timer->close();
    else
        openTimerWindow();
    renderTableEntries();
}

bool ProgramWindows::openTimerWindow() {
    if (!timerWindow()) {
        emit timerOpening();
        station_.wheel().SelectWheelFunction(-1);
        // Reading the table may tell of damage; the way out may have begun meanwhile.
        program::TimerTable& table = station_.loadTimer();
        if (station_.ending()) {
            station_.unloadTimer();
            return false;
        }
        auto* timer = new TimerTableWindow(state_, table);
        timerWindow_ = timer;
        connect(timer, &ProgramWindow::closed, this, &ProgramWindows::timerWindowClosed);
        connect(timer, &TimerTableWindow::mainToggled, this, &ProgramWindows::toggleMainWindow);
        connect(timer, &ProgramWindow::keyCommand, &station_.keys(), &panel::KeyControl::HandleKey);
        connect(timer, &TimerTableWindow::hiddenToBackground, this, &ProgramWindows::timerHidden);
        connect(&table, &program::TimerTable::tableChanged, this,
                [this, &table] { window_.setTimerText(table.Form1LabelTimer()); });
        window_.setTimerText(table.Form1LabelTimer());
        setTimerWindowShown(true);
        displays_.placeBesideMainWindow(*timer);
        timer->show();
        renderTableEntries();
    }
    return timerWindow()->isVisible();
}

void ProgramWindows::setTimerWindowShown(bool shown) {
    // The timer table turns either stepper: it stays open whichever one is selected.
    state_.TimerWindowShown = shown;
    for (core::StepperProfile& profile : state_.StoredProfiles)
        profile.TimerWindowShown = shown;
}

void ProgramWindows::timerWindowClosed() {
    // The window may still be inside a handler of its own: the table goes with it.
    station_.unloadTimer(timerWindow_);
    window_.setTimerLabelVisible(false);
    setTimerWindowShown(false);
    renderTableEntries();
    keepAWindowVisible(timerWindow_);
}

void ProgramWindows::timerHidden(bool runs) {
    if (runs) {
        window_.setTimerText(timerWindow_->table().Form1LabelTimer());
        window_.setTimerLabelVisible(true);
    }
    keepAWindowVisible(timerWindow_);
}

void ProgramWindows::toggleMainWindow() {
    state_.MainShown = !state_.MainShown;
    window_.setVisible(state_.MainShown);
}

// ---------------------------------------------------------------------------------------------
// Start-up, stepper switch, the way out

void ProgramWindows::afterInitMain() {
    // The main window built anew: a program stops with its window; the timer table stays only
    // when the profile has it open (a timed switch to the other stepper keeps it so).
    if (DirectTableWindow* direct = directWindow())
        direct->close();
    if (TimerTableWindow* timer = timerWindow(); timer && !state_.TimerWindowShown)
        timer->close();
    renderTableEntries();
}

void ProgramWindows::exitStarted() {
    if (DirectTableWindow* direct = directWindow())
        direct->close();
    // The station has stopped the timer; its window hides, and its flag stays, so the next
    // start opens it again.
    if (TimerTableWindow* timer = timerWindow())
        timer->hide();
}

void ProgramWindows::keepAWindowVisible(const QWidget* except) {
    if (station_.ending() || window_.isVisible())
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

} // namespace app
