#include "app/TableWindows.h"

namespace app {

TableWindows::TableWindows(station::Station& station, mainwindow::MainWindow& main,
                           DisplayWindows& displays, QObject* parent)
    : QObject(parent), station_(station), state_(station.state()), engine_(station.engine()),
      wheel_(station.wheel()), tuning_(station.tuning()), window_(main), displays_(displays) {
    // The pelorus's and the main window's states show on the window's buttons.
    connect(&displays_, &DisplayWindows::shownWindowsChanged, this, &TableWindows::render);
    connect(&window_, &mainwindow::MainWindow::tableRequested, this, [this](bool checked) {
        if (checked)
            openTableWindow();
        else
            closeTableWindow(false);
    });

    // The main window's S-meter while the rig's port is open.
    connect(&tuning_, &tuning::RigTuning::changed, this,
            [this] { window_.showSMeter(int(tuning_.rigState().sMeter())); });
    connect(&tuning_, &tuning::RigTuning::portOpenChanged, this, [this](bool open) {
        window_.setSMeterVisible(open);
        // The CAT terminal closes with the port; the wheel's frequency function needs it.
        if (!open)
            showCatTerminal(false);
        wheel_.SelectWheelFunction(-1);
    });
    // Another stepper's profile: the window stays as long as it is open.
    connect(&engine_, &engine::Engine::stepperSwitched, this, [this] {
        window_.setSMeterVisible(tuning_.port().portOpen());
        wheel_.SelectWheelFunction(-1);
    });
    // The way out closes the table window before the park question (the station has ended
    // following by then).
    connect(&station_.exitPath(), &panel::ExitPath::exitStarted, this,
            [this] { closeTableWindow(true); });
}

TableWindows::~TableWindows() {
    delete vnaDialog_; // before the presenter it shows
    delete terminal_;
    delete tableWindow_;
}

void TableWindows::render() {
    if (tableWindow_)
        tableWindow_->render();
}

bool TableWindows::openTableWindow() {
    if (tableWindow_) {
        tableWindow_->raise();
        tableWindow_->activateWindow();
        return true;
    }
    // The table, direct and timer windows are open one at a time.
    emit opening();
    window_.setTableChecked(true);

    auto* w = new table::TableWindow({state_, station_.platform(), engine_, wheel_,
                                      station_.tableEditor(), station_.tableView(), tuning_,
                                      station_.simulatedRig(), station_.bandSets()});
    tableWindow_ = w;
    using table::TableWindow;
    connect(&station_.tableView(), &table::TableViewModel::changed, w, &TableWindow::render);
    connect(&tuning_, &tuning::RigTuning::changed, w, &TableWindow::render);
    connect(&wheel_, &engine::WheelControl::displayChanged, w, &TableWindow::renderWheelDisplay);
    connect(&engine_, &engine::Engine::counterChanged, w, &TableWindow::showCounter);
    connect(w, &TableWindow::closeRequested, this, [this] { closeTableWindow(false); });
    connect(w, &TableWindow::mainClicked, this, &TableWindows::mainWindowClicked);
    connect(w, &TableWindow::pelorusClicked, this, [this] { displays_.pelorusMenuClicked(false); });
    connect(w, &TableWindow::terminalToggled, this, &TableWindows::showCatTerminal);
    connect(w, &TableWindow::buildWithVnaRequested, this, &TableWindows::showVnaBuild);
    // Loading may tell or ask (a damaged or missing table); the way out may have begun meanwhile
    // and closed the window.
    if (!station_.openFollowing() || !tableWindow_)
        return false;
    w->showCounter(state_.StepCounter);
    w->render();
    w->adjustSize();
    displays_.placeBesideMainWindow(*w);
    w->show();
    wheel_.SelectWheelFunction(-1);
    return true;
}

void TableWindows::closeTableWindow(bool exiting, bool keepLink) {
    table::TableWindow* w = tableWindow_;
    if (!w) {
        window_.setTableChecked(false);
        return;
    }
    // A table that could not be saved keeps the window open when the user says so.
    if (!station_.closeFollowing(exiting, keepLink)) {
        window_.setTableChecked(true);
        return;
    }
    showCatTerminal(false);
    window_.setTableChecked(false);
    // The user is never left without a window (shown first: the last window closing would
    // end the program).
    if (!exiting && !state_.MainShown && !state_.PelorusShown && !state_.TimerWindowShown) {
        state_.MainShown = true;
        window_.show();
    }
    // Hidden now and deleted once the handler that closed it (perhaps inside a turn) is over;
    // it shows nothing more meanwhile.
    for (const QObject* sender :
         std::initializer_list<const QObject*>{&station_.tableView(), &tuning_, &wheel_, &engine_})
        disconnect(sender, nullptr, w, nullptr);
    tableWindow_.clear();
    w->allowClose();
    w->hide();
    w->deleteLater();
    const engine::WheelFunction function = wheel_.function();
    if (function == engine::WheelFunction::Table || function == engine::WheelFunction::Frequency)
        wheel_.ChooseWheelFunction(engine::WheelFunction::Stepper);
    else
        wheel_.SelectWheelFunction(-1);
}

void TableWindows::showVnaBuild() {
    if (!vnaPresenter_) {
        vnaPresenter_ =
            std::make_unique<vna::BuildPresenter>(station_.platform(), station_.vnaBuild(), state_);
        connect(vnaPresenter_.get(), &vna::BuildPresenter::overlayChosen, this,
                [this](int steps) { station_.overlay().Use(steps); });
    }
    if (!vnaDialog_) {
        vnaDialog_ = new vna::VnaBuildDialog(*vnaPresenter_, state_);
        vnaDialog_->setAttribute(Qt::WA_DeleteOnClose);
    }
    vnaDialog_->show();
    vnaDialog_->raise();
    vnaDialog_->activateWindow();
}

void TableWindows::showCatTerminal(bool shown) {
    if (shown && !terminal_) {
        terminal_ = new display::CatTerminalWindow(station_.catLog(), state_, station_.platform(),
                                                   tableWindow_);
        terminal_->setAttribute(Qt::WA_DeleteOnClose);
        connect(terminal_, &display::CatTerminalWindow::closed, this, [this] {
            terminal_.clear(); // deleted later
            if (tableWindow_)
                tableWindow_->setTerminalChecked(false);
        });
        terminal_->show();
        terminal_->dock();
    } else if (!shown && terminal_) {
        terminal_->close();
    }
    if (tableWindow_)
        tableWindow_->setTerminalChecked(terminal_ != nullptr);
}

void TableWindows::mainWindowClicked() {
    state_.MainShown = !window_.isVisible();
    window_.setVisible(state_.MainShown);
    if (tableWindow_)
        tableWindow_->render();
}

} // namespace app
