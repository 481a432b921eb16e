#include "mainwindow/MainWindow.h"

#include "mainwindow/ClickableLabel.h"
#include "mainwindow/EntryField.h"
#include "mainwindow/PressButton.h"
#include "mainwindow/SelectionSlider.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>

namespace mainwindow {

MainWindow::MainWindow(const MainWindowParts& parts, QWidget* parent)
    : QMainWindow(parent), parts_(parts), form_(*this) {
    setObjectName(QStringLiteral("Form1"));
    portStatus_ = new QLabel(this);
    portStatus_->setObjectName(QStringLiteral("portStatus"));
    statusBar()->addPermanentWidget(portStatus_);
    parts_.engine.setView(this);
}

MainWindow::~MainWindow() { parts_.engine.setView(nullptr); }

// Placeholder until the window's own panel wiring lands.
void MainWindow::setPanels(engine::StepperParams*, engine::ShuttlePuls*, engine::CalibrationRun*,
                           engine::OverlayPanel*) {}

void MainWindow::showPortStatus(const QString& text) { portStatus_->setText(text); }

void MainWindow::closeEvent(QCloseEvent* event) {
    // The window stays until the exit path has stored, parked and saved.
    if (!closingAllowed_ && onCloseRequested)
        onCloseRequested();
    event->setAccepted(closingAllowed_);
}

EntryField* MainWindow::field(engine::EntryField which) const {
    const std::array<EntryField*, 12> fields{form_.Text1, form_.Text2, form_.Text3, form_.Text4,
                                             form_.Text5, form_.Text6, form_.Text7, form_.Text8,
                                             form_.Text9, form_.Text10, form_.Text11,
                                             form_.Text12};
    return fields[static_cast<int>(which) - 1];
}

// --- engine::EngineView ---

void MainWindow::showCounter(const QString& text) { form_.lblTeller->setText(text); }
void MainWindow::setSliderValue(core::Long value) { form_.VSlider1->setValue(value); }
void MainWindow::refreshSliderLabel(engine::SliderLabelSource) {}
void MainWindow::showDegrees(const QString& text) { form_.lblDegrees->setText(text); }
void MainWindow::setDegreesVisible(bool visible) { form_.lblDegrees->setVisible(visible); }
void MainWindow::showOverlay(const engine::OverlayDisplay& display) {
    form_.lblOverlaySteps->setText(display.stepsText);
    form_.lblOverlayDegrees->setText(display.degreesText);
    form_.lblOverlayDirection->setVisible(display.directionVisible);
    form_.lblOverlayDirection->setText(display.directionText);
    refreshOverlayTooltips();
}
void MainWindow::refreshOverlayTooltips() {}
void MainWindow::showPcSpeed(const QString& text) { form_.lblPcspeed->setText(text); }
void MainWindow::speedChanged() {}
void MainWindow::powerChanged() {}
void MainWindow::modesChanged() {
    const engine::TurningModes& modes = parts_.engine.modes();
    form_.cmdShuttle->setText(modes.shuttleCaption());
    form_.cmdPulsloop->setText(modes.pulsCaption());
    form_.cmdCalibreer->setText(modes.calibrationCaption());
}
void MainWindow::portPanelChanged() {}
void MainWindow::busyLockChanged(bool) {}
void MainWindow::setStepperOptionsEnabled(bool enabled) {
    for (QRadioButton* option : form_.OptStepper)
        option->setEnabled(enabled);
}
void MainWindow::setWindowEnabled(bool enabled) { setEnabled(enabled); }
bool MainWindow::housekeepingRunning() const { return false; }
void MainWindow::setHousekeepingRunning(bool) {}
void MainWindow::runHousekeeping() {}

// --- engine::PanelView ---

QString MainWindow::fieldText(engine::EntryField which) const { return field(which)->text(); }
void MainWindow::setFieldText(engine::EntryField which, const QString& text) {
    field(which)->setText(text);
}
void MainWindow::setFieldLocked(engine::EntryField which, bool locked) {
    field(which)->setLocked(locked);
}
void MainWindow::setTurnButtonsEnabled(bool) {}
void MainWindow::setLoopKeysEnabled(bool) {}
void MainWindow::setModeButtonsEnabled(bool shuttle, bool puls) {
    form_.cmdShuttle->setEnabled(shuttle);
    form_.cmdPulsloop->setEnabled(puls);
}
void MainWindow::setKeyPreview(bool on) { keyPreview_ = on; }
void MainWindow::showTime(const QString& text) { form_.lblTime->setText(text); }
void MainWindow::setPulsShuttleText(const QString& text) { form_.lblPulsShuttle->setText(text); }
void MainWindow::setMaxTurnToolTip(const QString& text) { form_.cmdMaxCw->setToolTip(text); }
void MainWindow::setMinTurnToolTip(const QString& text) { form_.cmdMinCcw->setToolTip(text); }
void MainWindow::sliderRangeChanged() {}
void MainWindow::pelorusOff() {}
void MainWindow::setCalibrationMenuCaption(const QString& text) {
    form_.mnuCalibraStaps->setText(text);
}
void MainWindow::setOverlayPanelsShown(bool shown) { form_.setOverlayPanelsShown(shown); }
void MainWindow::showOverlayCheck(bool ticked, bool enabled) {
    form_.chkOverlay->setChecked(ticked);
    form_.chkOverlay->setEnabled(enabled);
}
void MainWindow::setOverlayControlsEnabled(bool) {}

} // namespace mainwindow
