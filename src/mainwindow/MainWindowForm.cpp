#include "mainwindow/MainWindowForm.h"

#include "mainwindow/ClickableLabel.h"
#include "mainwindow/EntryField.h"
#include "mainwindow/PressButton.h"
#include "mainwindow/SelectionSlider.h"
#include "port/PowerControl.h"
#include "widgets/Readout.h"

#include <QCheckBox>
#include <QFontMetrics>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QVBoxLayout>
#include <algorithm>

namespace mainwindow {

namespace {

template <typename W> W* Named(W* widget, const QString& name, const QString& toolTip = {}) {
    widget->setObjectName(name);
    if (!toolTip.isEmpty())
        widget->setToolTip(toolTip);
    return widget;
}

QGroupBox* Frame(const QString& name, const QString& caption, const QString& toolTip = {}) {
    return Named(new QGroupBox(caption), name, toolTip);
}

QPushButton* Button(const QString& name, const QString& caption, const QString& toolTip = {}) {
    auto* button = Named(new QPushButton(caption), name, toolTip);
    button->setAutoDefault(false);
    return button;
}

// A button whose handler wants to know which mouse button went down.
PressButton* Presser(const QString& name, const QString& caption, const QString& toolTip) {
    auto* button = Named(new PressButton(caption), name, toolTip);
    button->setAutoDefault(false);
    return button;
}

QLabel* Label(const QString& name, const QString& caption, const QString& toolTip = {}) {
    return Named(new QLabel(caption), name, toolTip);
}

ClickableLabel* Clickable(const QString& name, const QString& caption,
                          const QString& toolTip = {}) {
    return Named(new ClickableLabel(caption), name, toolTip);
}

// A field is named for a screen reader after the button that takes its value (or what it
// holds); without a name it would be called after its frame, as its neighbours are.
EntryField* Field(const QString& name, const QString& accessibleName, const QString& toolTip) {
    auto* field = Named(new EntryField, name, toolTip);
    field->setAccessibleName(accessibleName);
    field->setMinimumWidth(60);
    return field;
}

QCheckBox* Check(const QString& name, const QString& caption, const QString& toolTip = {}) {
    return Named(new QCheckBox(caption), name, toolTip);
}

// The picture that opens the webcam turning window: a small camera.
QPixmap CameraPicture() {
    QPixmap picture(40, 28);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Qt::black, 1.5));
    painter.setBrush(QColor(0x50, 0x50, 0x50));
    painter.drawRoundedRect(QRectF(2, 7, 30, 19), 3, 3);
    painter.drawRect(QRectF(8, 3, 10, 4));
    painter.setBrush(QColor(0x80, 0xC0, 0xFF));
    painter.drawEllipse(QPointF(17, 16.5), 6.5, 6.5);
    painter.setBrush(QColor(0x50, 0x50, 0x50));
    painter.drawPolygon(
        QPolygonF({QPointF(32, 12), QPointF(38, 8), QPointF(38, 25), QPointF(32, 21)}));
    return picture;
}

QAction* Entry(QMenu* menu, const QString& name, const QString& caption, bool checkable = false) {
    QAction* action = menu->addAction(caption);
    action->setObjectName(name);
    action->setCheckable(checkable);
    return action;
}

} // namespace

MainWindowForm::MainWindowForm(QMainWindow& window) : window_(window) {
    buildOverlayPanels();
    buildStatus();
    buildCountDeg();
    buildSpeed();
    buildStepper();
    buildDragBar();
    buildFastkeys();
    buildTurnkeys();
    buildParams();
    buildTurning();
    buildShuttlePuls();
    buildLayout();
    buildMenus();
    setOverlayPanelsShown(false);
}

void MainWindowForm::buildOverlayPanels() {
    frmOverlayKeys = Frame("frmOverlayKeys", "Overlay turning");
    cmdOverCCWs = Button("cmdOverCCWs", "<<");
    cmdOverCCW = Button("cmdOverCCW", "<");
    cmdOverCW = Button("cmdOverCW", ">");
    cmdOverCWs = Button("cmdOverCWs", ">>");
    auto* keys = new QHBoxLayout(frmOverlayKeys);
    for (QPushButton* button : {cmdOverCCWs, cmdOverCCW, cmdOverCW, cmdOverCWs})
        keys->addWidget(button);

    frmOverlay = Frame("frmOverlay", "Overlay", "Nice for stepper drived systems with margins.");
    cmdOverlayInput = Button("cmdOverlayInput", "Overlay", "Press to set the overlay steps.");
    Text12 = Field("Text12", "Overlay", "Overlay steps made for system Tarvex.");
    chkOverlay = Check("chkOverlay", "On/Off", "Overlay on/off.");
    lblOverlayDirection = Label("lblOverlayDirection", {}, "Last turn direction.");
    lblOverlayDirection->setMinimumWidth(24);
    lblOverlayDegrees = Label("lblOverlayDegrees", "Degrees", "Overlay degrees.");
    lblOverlaySteps = Label("lblOverlaySteps", "Count", "Overlay steps.");
    auto* settings = new QHBoxLayout(frmOverlay);
    settings->addWidget(cmdOverlayInput);
    settings->addWidget(Text12);
    settings->addWidget(chkOverlay);
    settings->addSpacing(8);
    settings->addWidget(lblOverlayDirection);
    settings->addWidget(lblOverlaySteps);
    settings->addWidget(lblOverlayDegrees);
    settings->addStretch();
}

void MainWindowForm::buildStatus() {
    Frame10 = Frame("Frame10", "Status");
    lblTime = Label("lblTime", "00:00:00", "The RTC time.");
    // A clock: a new second repaints the label alone.
    widgets::PaintAlone(
        *lblTime, {lblTime->fontMetrics().horizontalAdvance(QStringLiteral("Time 00:00:00")) + 8,
                   lblTime->sizeHint().height()});
    lblPcspeed = Clickable("lblPcspeed", "PCspeed", "Calibrate with key c.");
    lblInputport = Clickable("lblInputport", "Input", "Remote and Switches control input lpt.");
    lblTimer = Clickable("lblTimer", "Timer on");
    lblTimer->hide();
    ProgressBar1 = Named(new QProgressBar, "ProgressBar1");
    ProgressBar1->setRange(0, 15); // the S-meter
    ProgressBar1->setTextVisible(false);
    ProgressBar1->setMaximumHeight(10);
    ProgressBar1->hide();
    auto* status = new QVBoxLayout(Frame10);
    for (QWidget* widget :
         std::initializer_list<QWidget*>{lblTime, lblPcspeed, lblInputport, lblTimer, ProgressBar1})
        status->addWidget(widget);
    status->addStretch();
}

void MainWindowForm::buildCountDeg() {
    Frame9 = Frame("Frame9", "Count Deg");
    lblTeller = Label("lblTeller", "Count", "Stepper counter value.");
    lblDegrees = Label("lblDegrees", "Degrees", "Stepper degrees.");
    // The widest a counter or degree value gets.
    const QString widest = QStringLiteral("-2147483648");
    widgets::MakeReadout(*lblTeller, 6, widgets::ReadoutFrame::Sunken, widest);
    widgets::MakeReadout(*lblDegrees, 6, widgets::ReadoutFrame::Sunken, widest);
    auto* readouts = new QHBoxLayout(Frame9);
    readouts->addWidget(lblTeller, 1);
    readouts->addWidget(lblDegrees, 1);
}

void MainWindowForm::buildSpeed() {
    frame8 = Frame("frame8", "Turning speed");
    lblSnelHeid = Label("lblSnelHeid", "Stepspeed");
    lblRpm = Label("lblRpm", "Rpm");
    lblRpm->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    HScroll1 = Named(new QScrollBar(Qt::Horizontal), "HScroll1");
    lblFast = Label("lblFast", "Fast");
    lblSlow = Label("lblSlow", "Slow");
    lblSlow->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    auto* speed = new QGridLayout(frame8);
    speed->addWidget(lblSnelHeid, 0, 0);
    speed->addWidget(lblRpm, 0, 1);
    speed->addWidget(HScroll1, 1, 0, 1, 2);
    speed->addWidget(lblFast, 2, 0);
    speed->addWidget(lblSlow, 2, 1);
}

void MainWindowForm::buildStepper() {
    Frame7 = Frame("Frame7", "Stepper");
    chkAuto = Check("chkAuto", "Autopower");
    // As large as its longest caption, the countdown: a new second then redraws the box alone.
    chkAuto->setText(port::PowerControl::CountdownCaption(port::PowerControl::AutoPowerOffSeconds));
    widgets::PaintAlone(*chkAuto, chkAuto->sizeHint());
    chkAuto->setText(QStringLiteral("Autopower"));
    chkFieldPower = Check("chkFieldPower", "Fieldpower");
    chkSpeedModulate =
        Check("chkSpeedModulate", "SpeedModulate", "Start slow >  fast > slow turning.");
    OptStepper[0] = Named(new QRadioButton("Stepper1"), "OptStepper(0)");
    OptStepper[1] = Named(new QRadioButton("Stepper2"), "OptStepper(1)");
    OptStepper[0]->setChecked(true);
    Image1 = Clickable("Image1", {}, "Click me to start.");
    Image1->setPixmap(CameraPicture());
    Image1->setCursor(Qt::PointingHandCursor);
    // The keyboard's way to the webcam window, which nothing else opens: Tab to it, Enter.
    Image1->setFocusPolicy(Qt::TabFocus);
    Image1->setAccessibleName(QStringLiteral("WebCam turning"));
    Image1->setStyleSheet(QStringLiteral("QLabel { border: 1px solid transparent; }"
                                         "QLabel:focus { border: 1px dotted palette(text); }"));
    auto* stepper = new QGridLayout(Frame7);
    stepper->addWidget(chkAuto, 0, 0, 1, 2);
    stepper->addWidget(chkFieldPower, 1, 0, 1, 2);
    stepper->addWidget(chkSpeedModulate, 2, 0, 1, 2);
    stepper->addWidget(OptStepper[0], 3, 0);
    stepper->addWidget(OptStepper[1], 4, 0);
    stepper->addWidget(Image1, 3, 1, 2, 1, Qt::AlignCenter);
}

void MainWindowForm::buildDragBar() {
    Frame6 = Frame("Frame6", "Drag Bar");
    lblMax = Label("lblMax", {});
    lblMin = Label("lblMin", {});
    VSlider1 = Named(new SelectionSlider(Qt::Vertical), "VSlider1", "Drag Slider");
    // It follows every turn: painting its own background spares the frame behind it.
    VSlider1->setAutoFillBackground(true);
    lblVscroll = Clickable("lblVscroll", "Count",
                           "Counter position from the dragbar Click me to change to degrees.");
    lblVscroll->setAlignment(Qt::AlignCenter);
    lblVscroll->setMinimumWidth(70);
    for (QLabel* label : {lblMax, lblMin})
        label->setAlignment(Qt::AlignCenter);
    auto* bar = new QVBoxLayout(Frame6);
    bar->addWidget(lblMax);
    bar->addWidget(VSlider1, 1, Qt::AlignHCenter);
    bar->addWidget(lblMin);
    bar->addWidget(lblVscroll);
}

void MainWindowForm::buildFastkeys() {
    Frame5 = Frame("Frame5", "Fastkeys");
    cmdDirect = Button("cmdDirect", "Di&rect");
    cmdTimer = Button("cmdTimer", "Ti&mer");
    cmdTableUnity = Button("cmdTableUnity", "Ta&ble");
    cmdPelorus = Button("cmdPelorus", "Pel&orus off");
    auto* keys = new QGridLayout(Frame5);
    keys->addWidget(cmdTableUnity, 0, 0);
    keys->addWidget(cmdDirect, 0, 1);
    keys->addWidget(cmdTimer, 1, 0);
    keys->addWidget(cmdPelorus, 1, 1);
}

void MainWindowForm::buildTurnkeys() {
    Frame4 = Frame("Frame4", "Turnkeys");
    cmdMinCcw = Button("cmdMinCcw", "<<CC&Wturn");
    cmdStoppen = Presser("cmdStoppen", "Stop (Es&c)", "Click left or escape  to stop turning.");
    cmdMaxCw = Button("cmdMaxCw", "CWt&urn>>");
    cmdCcw = Button("cmdCcw", "<CCWs&tep", "One counter clock wise step.");
    cmdFast = Button("cmdFast", "F&ast", "Fast or custom stepspeed.");
    cmdCw = Button("cmdCw", "CWste&p>", "One clock wise step.");
    cmdScroll = Button("cmdScroll", "Scroll");
    cmdCalibreer = Presser("cmdCalibreer", "Ru&nning",
                           "Left click is run and right click is adjusting range.");
    QFont bold = cmdStoppen->font();
    bold.setBold(true);
    cmdStoppen->setFont(bold);
    auto* keys = new QGridLayout(Frame4);
    keys->addWidget(cmdMinCcw, 0, 0);
    keys->addWidget(cmdStoppen, 0, 1);
    keys->addWidget(cmdMaxCw, 0, 2);
    keys->addWidget(cmdCcw, 1, 0);
    keys->addWidget(cmdFast, 1, 1);
    keys->addWidget(cmdCw, 1, 2);
    keys->addWidget(cmdScroll, 2, 0);
    keys->addWidget(cmdCalibreer, 2, 2);
}

void MainWindowForm::buildParams() {
    Frame3 = Frame("Frame3", "Stepper Params", "Click the button to enter !");
    cmdHoogste = Button("cmdHoogste", "LowSpeed", "Lowest stepspeed in sec.");
    Text5 = Field("Text5", "LowSpeed", "Slowest stepspeed in sec.");
    cmdLaagste = Button("cmdLaagste", "HighSpeed", "Highest stepspeed in sec.");
    Text6 = Field("Text6", "HighSpeed", "Fastest stepspeed in sec.");
    cmdInputMax = Button("cmdInputMax", "Max", "Maximal range value.");
    Text1 = Field("Text1", "Max", "Maximum range.");
    cmdInputMin = Button("cmdInputMin", "Min", "Minimal range value.");
    Text2 = Field("Text2", "Min", "Minimum range.");
    cmdStepperStap = Button("cmdStepperStap", "Steps", "Amount of steps for 360 degrees.");
    Text4 = Field("Text4", "Steps", "Amount of steps from the stepper for 360 degrees.");
    cmdPoort = Button("cmdPoort", "Lpt", "Printerport adres decimal.");
    cmdLptTest = Button("cmdLptTest", "LptTest", "Test all printer output pins.");
    auto* params = new QGridLayout(Frame3);
    const std::initializer_list<std::pair<QPushButton*, EntryField*>> rows{{cmdHoogste, Text5},
                                                                           {cmdLaagste, Text6},
                                                                           {cmdInputMax, Text1},
                                                                           {cmdInputMin, Text2},
                                                                           {cmdStepperStap, Text4}};
    int row = 0;
    for (const auto& [button, field] : rows) {
        params->addWidget(button, row, 0);
        params->addWidget(field, row, 1);
        ++row;
    }
    params->addWidget(cmdPoort, row, 0);
    params->addWidget(cmdLptTest, row, 1);
}

void MainWindowForm::buildTurning() {
    Frame2 = Frame("Frame2", "Turning");
    Text3 = Field("Text3", "Goto", "Position in steps to turnto.");
    cmdGotoStep = Button("cmdGotoStep", "&Goto", "Turn to step value.");
    Text7 = Field("Text7", "Degrees", "Position in degrees where to turnto.");
    cmdGotoDegrees = Button("cmdGotoDegrees", "&Degrees", "Turn to degrees.");
    auto* turning = new QGridLayout(Frame2);
    turning->addWidget(Text3, 0, 0);
    turning->addWidget(cmdGotoStep, 0, 1);
    turning->addWidget(Text7, 1, 0);
    turning->addWidget(cmdGotoDegrees, 1, 1);
}

void MainWindowForm::buildShuttlePuls() {
    Frame1 = Frame("Frame1", "Shuttle  Puls");
    cmdShuttle = Button("cmdShuttle", "&Shuttle  off", "Shuttle between 2 values.");
    Text8 = Field("Text8", "Shuttle minimum", "Shuttle minimum range.");
    Text9 = Field("Text9", "Shuttle maximum", "Shuttle maximum range.");
    cmdPulsloop = Button("cmdPulsloop", "Pu&ls    off", "Pulsed turning.");
    Text10 = Field("Text10", "Puls steps", "Puls steps.");
    Text11 = Field("Text11", "Puls time", "Pulstime between the steps in seconds.");
    lblPulsShuttle = Label("lblPulsShuttle", {}, "Shuttle / puls degrees.");
    lblPulsShuttle->setAlignment(Qt::AlignCenter);
    auto* modes = new QGridLayout(Frame1);
    modes->addWidget(cmdShuttle, 0, 0);
    modes->addWidget(Text8, 0, 1);
    modes->addWidget(Text9, 0, 2);
    modes->addWidget(cmdPulsloop, 1, 0);
    modes->addWidget(Text10, 1, 1);
    modes->addWidget(Text11, 1, 2);
    modes->addWidget(lblPulsShuttle, 2, 0, 1, 3);
}

void MainWindowForm::buildLayout() {
    auto* central = new QWidget;
    central->setObjectName("centralWidget");
    auto* page = new QVBoxLayout(central);

    auto* left = new QVBoxLayout;
    for (QWidget* frame : {Frame9, Frame4, frame8, Frame2, Frame1})
        left->addWidget(frame);
    left->addStretch();
    auto* middle = new QVBoxLayout;
    for (QWidget* frame : {Frame3, Frame7, Frame5, Frame10})
        middle->addWidget(frame);
    middle->addStretch();
    auto* top = new QHBoxLayout;
    top->addLayout(left, 3);
    top->addLayout(middle, 2);
    top->addWidget(Frame6);
    page->addLayout(top, 1);

    auto* overlay = new QHBoxLayout;
    overlay->addWidget(frmOverlay, 3);
    overlay->addWidget(frmOverlayKeys, 2);
    page->addLayout(overlay);

    window_.setCentralWidget(central);
}

void MainWindowForm::buildMenus() {
    QMenuBar* bar = window_.menuBar();
    const std::array<QString, 5> captions{"&Files", "&Edit", "T&ables", "&Info", "PopUpMenu"};
    for (std::size_t i = 0; i < captions.size(); ++i) {
        mnuRootMenu[i] = new QMenu(captions[i], &window_);
        mnuRootMenu[i]->setObjectName(QStringLiteral("mnuRootMenu(%1)").arg(i));
        if (i < 4)
            bar->addMenu(mnuRootMenu[i]);
    }

    QMenu* files = mnuRootMenu[0];
    mnuSavecfg = Entry(files, "mnuSavecfg", "&Save Config");
    mnuDefaultCfg = Entry(files, "mnuDefaultCfg", "&Default Config");
    files->addSeparator();
    mnuPelorus = Entry(files, "mnuPelorus", "&Pelorus", true);
    mnuPelSmall = Entry(files, "mnuPelSmall", "P&elorus smal", true);
    mnuOverlay = Entry(files, "mnuOverlay", "&Overlay", true);
    mnuJoyStick = Entry(files, "mnuJoyStick", "JoyStick", true);
    files->addSeparator();
    mnuExit = Entry(files, "mnuExit", "E&xit            Alt+F4");

    QMenu* edit = mnuRootMenu[1];
    mnuSet = Entry(edit, "mnuSet", "&Set...");
    mnuCalibraStaps = Entry(edit, "mnuCalibraStaps", "&Calibration steps...");
    edit->addSeparator();
    mnuEndSwitchCenter = Entry(edit, "mnuEndSwitchCenter", "&Center switch...", true);
    mnuEndSwitches = Entry(edit, "mnuEndSwitches", "&Begin and  End switch", true);
    mnuEndSwitchesShow = Entry(edit, "mnuEndSwitchesShow", "S&how switches only", true);
    mnuEndSwitchesOff = Entry(edit, "mnuEndSwitchesOff", "&All switches off");
    edit->addSeparator();
    mnuRemoteTurning = Entry(edit, "mnuRemoteTurning", "&Remote controlled turning", true);
    mnuRotctld = Entry(edit, "mnuRotctld", "Rotator ser&ver (rotctld)", true);
    mnuWebServer = Entry(edit, "mnuWebServer", "&Web server", true);
    mnuMoveLog = Entry(edit, "mnuMoveLog", "Mov&e log");
    mnuLPT89 = Entry(edit, "mnuLPT89", "&Offset Lpt 89 +5V", true);
    mnuLptOutput = Entry(edit, "mnuLptOutput", "&Lpt Output", true);
    mnuLptInput = Entry(edit, "mnuLptInput", "L&pt Input", true);
    mnuTarvex = Entry(edit, "mnuTarvex", "Bo&th steppers and pin6", true);
    mnuSimulate = Entry(edit, "mnuSimulate", "Si&mulation LptInput", true);

    QMenu* tables = mnuRootMenu[2];
    mnuTableDirect = Entry(tables, "mnuTableDirect", "&Direct table", true);
    mnuTableTimer = Entry(tables, "mnuTableTimer", "Ti&mer table", true);
    mnuTableUnity = Entry(tables, "mnuTableUnity", "&Unity table", true);

    QMenu* info = mnuRootMenu[3];
    mnuVentroloUK = Entry(info, "mnuVentroloUK", "&VentroloUK.txt", true);
    mnuVentroloNL = Entry(info, "mnuVentroloNL", "Ve&ntroloNL.txt", true);
    mnuChangesTxt = Entry(info, "mnuChangesTxt", "VentroC&hanges.txt", true);
    info->addSeparator();
    mnuSchemaCat = Entry(info, "mnuSchemaCat", "&Circuit Cat", true);
    mnuCircuitBi = Entry(info, "mnuCircuitBi", "C&ircuit Bi Stepper", true);
    mnuCircuitUni = Entry(info, "mnuCircuitUni", "Circ&uit Uni Stepper", true);
    mnuSchemaOpto = Entry(info, "mnuSchemaOpto", "Circuit &Optocouplers", true);
    mnuBrenik = Entry(info, "mnuBrenik", "Circuit &Simple Stepper Driver", true);
    mnuComponent = Entry(info, "mnuComponent", "Co&mponent Layout", true);
    mnuCircuitStepDir = Entry(info, "mnuCircuitStepDir", "Circuit Step/&Dir Driver", true);
    mnuCircuitInhibit = Entry(info, "mnuCircuitInhibit", "Circuit &TX Inhibit", true);
    info->addSeparator();
    mnuToetsInfo = Entry(info, "mnuToetsInfo", "&Key Info");
    mnuAbout = Entry(info, "mnuAbout", "&About");

    QMenu* popUp = mnuRootMenu[4];
    mnuStepper12 = Entry(popUp, "mnuStepper12", "&Stepper");
    popUp->addSeparator();
    mnuWheelFunctions = Entry(popUp, "mnuWheelFunctions", "Mouse wheel functions");
    mnuWheelFunctions->setEnabled(false);
    QFont heading = mnuWheelFunctions->font();
    heading.setBold(true);
    mnuWheelFunctions->setFont(heading);
    mnuWheelStepper = Entry(popUp, "mnuWheelStepper", "Stepper", true);
    mnuWheelFrequency = Entry(popUp, "mnuWheelFrequency", "Frequency", true);
    mnuWheelTable = Entry(popUp, "mnuWheelTable", "Table", true);
    mnuWheelSpeed = Entry(popUp, "mnuWheelSpeed", "Speed", true);
    mnuWheelStepper->setChecked(true);
    popUp->addSeparator();
    mnuDegreeColor = Entry(popUp, "mnuDegreeColor", "Degrees colours");
}

void MainWindowForm::setOverlayPanelsShown(bool shown) {
    frmOverlay->setVisible(shown);
    frmOverlayKeys->setVisible(shown);
    // The smaller minimum size must be known before the window can shrink.
    window_.centralWidget()->layout()->activate();
    window_.layout()->activate();
    window_.resize(Width, shown ? OverlayHeight : NormalHeight);
}

} // namespace mainwindow
