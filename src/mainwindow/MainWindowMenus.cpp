// The main window's menu entries: those of its own logic forwarded to it, those of other windows
// and of the configuration asked of the application; and the check marks the application sets.
#include "display/Resources.h"
#include "mainwindow/ClickableLabel.h"
#include "mainwindow/MainWindow.h"

#include <QAction>
#include <QGroupBox>
#include <QProgressBar>
#include <QPushButton>

namespace mainwindow {

namespace {

// The text window's entries, in the order of display::HelpTexts.
std::array<QAction*, display::HelpTexts.size()> TextEntries(const MainWindowForm& form) {
    return {form.mnuVentroloUK, form.mnuVentroloNL, form.mnuChangesTxt};
}

// The picture windows' entries, in the order of display::Pictures.
std::array<QAction*, display::Pictures.size()> PictureEntries(const MainWindowForm& form) {
    return {form.mnuSchemaCat, form.mnuCircuitBi, form.mnuCircuitUni,     form.mnuSchemaOpto,
            form.mnuBrenik,    form.mnuComponent, form.mnuCircuitStepDir, form.mnuCircuitInhibit};
}

} // namespace

void MainWindow::connectMenus() {
    auto on = [this](QAction* action, auto handler) {
        connect(action, &QAction::triggered, this, handler);
    };
    engine::Engine& engine = logic_.engine;

    // --- "&Files" ---
    on(form_.mnuSavecfg, [this] { emit saveConfigRequested(); });
    on(form_.mnuDefaultCfg, [this] { emit defaultConfigRequested(); });
    connect(form_.mnuOverlay, &QAction::triggered, &logic_.overlay,
            &panel::OverlayPanel::MenuToggled);
    on(form_.mnuJoyStick, [this](bool checked) {
        form_.mnuJoyStick->setChecked(logic_.joystick.MenuToggled(checked));
        logic_.presenter.ShowJoystick();
    });
    connect(form_.mnuExit, &QAction::triggered, &logic_.exitPath, &panel::ExitPath::ExitProgram);

    // --- "&Edit" ---
    connect(form_.mnuSet, &QAction::triggered, this, [this] { logic_.counterByHand.Ask(); });
    connect(form_.mnuCalibraStaps, &QAction::triggered, &logic_.calibration,
            &panel::CalibrationRun::AskCalibrationSteps);
    // The check marks are the inputs' state: every entry tells menusChanged(), also a refused
    // one, so Qt's own flip of the mark is undone.
    using port::SwitchInputs;
    port::SwitchInputs& switches = logic_.switches;
    connect(form_.mnuEndSwitchCenter, &QAction::triggered, &switches,
            &SwitchInputs::CenterSwitchClicked);
    connect(form_.mnuEndSwitches, &QAction::triggered, &switches,
            &SwitchInputs::BeginEndSwitchesClicked);
    connect(form_.mnuEndSwitchesShow, &QAction::triggered, &switches,
            &SwitchInputs::ShowOnlyClicked);
    connect(form_.mnuEndSwitchesOff, &QAction::triggered, &switches,
            &SwitchInputs::AllSwitchesOffClicked);
    connect(form_.mnuRemoteTurning, &QAction::triggered, &switches,
            &SwitchInputs::RemoteTurningClicked);
    on(form_.mnuSimulate, [this] {
        logic_.switches.simulation().MenuClicked();
        logic_.presenter.ShowSwitchMenus();
    });
    on(form_.mnuLPT89, [this, &engine] {
        engine.StopTurningAndFollowing();
        logic_.portCommands.ToggleLpt89();
    });
    on(form_.mnuTarvex, [this] { emit bothSteppersPin6Requested(); });
    on(form_.mnuRotctld, [this](bool on) { emit rotatorServerRequested(on); });
    on(form_.mnuWebServer, [this](bool on) { emit webServerRequested(on); });

    // --- "&Info" ---
    connect(form_.mnuToetsInfo, &QAction::triggered, &logic_.keys, &panel::KeyControl::ShowKeyInfo);
    on(form_.mnuAbout, [this] { emit aboutRequested(); });

    // --- pop-up menu ---
    on(form_.mnuStepper12, [this, &engine] {
        engine.StopTurningAndFollowing();
        logic_.presenter.EnableStepperOptions();
        engine.SwitchStepper(logic_.state.SelectedStepper == 1 ? 0 : 1);
    });
    auto wheelEntry = [this, on](QAction* action, engine::WheelFunction function) {
        on(action, [this, function] { logic_.wheel.ChooseWheelFunction(function); });
    };
    wheelEntry(form_.mnuWheelStepper, engine::WheelFunction::Stepper);
    wheelEntry(form_.mnuWheelTable, engine::WheelFunction::Table);
    wheelEntry(form_.mnuWheelFrequency, engine::WheelFunction::Frequency);
    wheelEntry(form_.mnuWheelSpeed, engine::WheelFunction::Speed);
    on(form_.mnuDegreeColor, [this] { emit degreeColorRequested(); });
}

// The entries and buttons of the windows the application opens.
void MainWindow::connectWindowEntries() {
    connect(form_.mnuTableUnity, &QAction::triggered, this, &MainWindow::tableRequested);
    connect(form_.cmdTableUnity, &QPushButton::clicked, form_.mnuTableUnity, &QAction::trigger);
    connect(form_.mnuTableDirect, &QAction::triggered, this, &MainWindow::directRequested);
    connect(form_.cmdDirect, &QPushButton::clicked, this, &MainWindow::directRequested);
    connect(form_.mnuTableTimer, &QAction::triggered, this, &MainWindow::timerRequested);
    connect(form_.cmdTimer, &QPushButton::clicked, this, &MainWindow::timerRequested);
    connect(form_.lblTimer, &ClickableLabel::clicked, this, &MainWindow::timerLabelClicked);

    connect(form_.mnuPelorus, &QAction::triggered, this, [this] { emit pelorusRequested(false); });
    connect(form_.cmdPelorus, &QPushButton::clicked, this, [this] {
        emit pelorusRequested(false);
        logic_.fields.setKeyPreview(true);
    });
    connect(form_.mnuPelSmall, &QAction::triggered, this, [this] { emit pelorusRequested(true); });
    connect(form_.Image1, &ClickableLabel::clicked, this, &MainWindow::webcamRequested);

    connect(form_.mnuLptOutput, &QAction::triggered, this, &MainWindow::lptOutputRequested);
    connect(form_.mnuMoveLog, &QAction::triggered, this, &MainWindow::moveLogRequested);
    connect(form_.mnuLptInput, &QAction::triggered, this, &MainWindow::lptInputRequested);
    connect(form_.lblInputport, &ClickableLabel::clicked, form_.mnuLptInput, &QAction::trigger);

    const auto texts = TextEntries(form_);
    for (std::size_t i = 0; i < texts.size(); ++i) {
        connect(texts[i], &QAction::triggered, this,
                [this, i](bool checked) { emit textRequested(i, checked); });
    }
    const auto pictures = PictureEntries(form_);
    for (std::size_t i = 0; i < pictures.size(); ++i) {
        connect(pictures[i], &QAction::triggered, this,
                [this, i](bool checked) { emit pictureRequested(i, checked); });
    }
}

void MainWindow::setTableChecked(bool open) {
    form_.mnuTableUnity->setChecked(open);
}

void MainWindow::setDirectChecked(bool open) {
    form_.mnuTableDirect->setChecked(open);
}

void MainWindow::setTimerChecked(bool open) {
    form_.mnuTableTimer->setChecked(open);
}

void MainWindow::setTimerText(const QString& text) {
    form_.lblTimer->setText(text);
}

void MainWindow::setTimerLabelVisible(bool visible) {
    form_.lblTimer->setVisible(visible);
}

void MainWindow::setShuttlePanelEnabled(bool enabled) {
    form_.Frame1->setEnabled(enabled);
}

void MainWindow::setPelorusShown(bool big, bool small) {
    form_.mnuPelorus->setChecked(big);
    form_.cmdPelorus->setText(big ? QStringLiteral("Pel&orus on") : QStringLiteral("Pel&orus off"));
    form_.mnuPelSmall->setChecked(small);
}

void MainWindow::setLptTestsShown(bool output, bool input) {
    form_.mnuLptOutput->setChecked(output);
    form_.mnuLptInput->setChecked(input);
}

void MainWindow::setTextShown(std::size_t index, bool shown) {
    TextEntries(form_)[index]->setChecked(shown);
}

void MainWindow::setPictureShown(std::size_t index, bool shown) {
    PictureEntries(form_)[index]->setChecked(shown);
}

void MainWindow::showSMeter(int value) {
    form_.ProgressBar1->setValue(value);
}

void MainWindow::setSMeterVisible(bool visible) {
    form_.ProgressBar1->setVisible(visible);
}

void MainWindow::setRotatorServer(bool listening, int port) {
    form_.mnuRotctld->setChecked(listening);
    form_.mnuRotctld->setText(listening ? QStringLiteral("Rotator ser&ver (rotctld :%1)").arg(port)
                                        : QStringLiteral("Rotator ser&ver (rotctld)"));
}

void MainWindow::setWebServer(bool listening, int port, const QString& token) {
    form_.mnuWebServer->setChecked(listening);
    if (!listening)
        form_.mnuWebServer->setText(QStringLiteral("&Web server"));
    else if (token.isEmpty())
        form_.mnuWebServer->setText(QStringLiteral("&Web server (:%1)").arg(port));
    else
        form_.mnuWebServer->setText(
            QStringLiteral("&Web server (:%1, token %2)").arg(port).arg(token));
}

} // namespace mainwindow
