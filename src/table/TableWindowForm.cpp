#include "table/TableWindowForm.h"

#include "rig/RigCaps.h"
#include "table/Interpolation.h"
#include "widgets/Readout.h"

#include <QActionGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QVBoxLayout>
#include <type_traits>

namespace table {

namespace {

// A control under its program name with its tool tip; one with a caption is made from it.
template <typename W> W* Make(const char* name, const char* tip = "", W* widget = new W) {
    widget->setObjectName(QString::fromLatin1(name));
    widget->setToolTip(QString::fromLatin1(tip));
    if constexpr (std::is_same_v<W, QPushButton>)
        widget->setAutoDefault(false);
    return widget;
}
template <typename W> W* Make(const char* name, const char* caption, const char* tip) {
    return Make<W>(name, tip, new W(QString::fromUtf8(caption)));
}

QAction* Entry(QMenu* menu, const QString& name, const QString& caption, bool checkable = false) {
    QAction* action = menu->addAction(caption);
    action->setObjectName(name);
    action->setCheckable(checkable);
    return action;
}

QMenu* Menu(QMenuBar* bar, const QString& name, const QString& caption) {
    QMenu* menu = bar->addMenu(caption);
    menu->setObjectName(name);
    return menu;
}

} // namespace

TableWindowForm::TableWindowForm(QMainWindow& window) {
    buildTable(window);
    buildRig();
    buildMenus(window);

    auto* central = new QWidget;
    auto* page = new QVBoxLayout(central);
    auto* files = new QHBoxLayout;
    files->addWidget(cboCatFiles, 1);
    files->addWidget(lblStatus, 2);
    page->addLayout(files);

    auto* columns = new QHBoxLayout;
    columns->addWidget(lstTable, 3);
    auto* right = new QVBoxLayout;

    auto* entry = new QGridLayout;
    entry->addWidget(txtInput, 0, 0);
    entry->addWidget(lblInput, 0, 1);
    entry->addWidget(cmdInput, 0, 2);
    entry->addWidget(cmdTurnTo, 0, 3);
    entry->addWidget(lblInterpolValue, 1, 0, 1, 2, Qt::AlignCenter);
    entry->addWidget(lblInfoInterpol, 1, 2, 1, 2);
    entry->addWidget(cmdUnity, 2, 0);
    entry->addWidget(chkMinMax, 2, 1);
    entry->addWidget(cmdStatusSave, 2, 2, 1, 2);
    right->addLayout(entry);
    right->addWidget(frmCatControl);
    right->addWidget(frmSimulatedRig);
    right->addStretch();
    columns->addLayout(right, 4);
    page->addLayout(columns, 1);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(lblTeller);
    bottom->addStretch();
    bottom->addWidget(cmdScroll);
    bottom->addWidget(cmdMain);
    bottom->addWidget(cmdPelorusScherm);
    page->addLayout(bottom);
    window.setCentralWidget(central);
}

void TableWindowForm::buildTable(QMainWindow& window) {
    window.setObjectName(QStringLiteral("Form3"));
    lstTable = Make<QListWidget>("lstTable", "Click a row to turn to it; right click for more.");
    lstTable->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    lstTable->setMinimumWidth(260);
    lstTable->setSelectionMode(QAbstractItemView::SingleSelection);
    // Names for a screen reader, which would otherwise call these after nothing or their frame.
    lstTable->setAccessibleName(QStringLiteral("Table"));
    txtInput = Make<QLineEdit>("txtInput", "Frequency to turn to or to store the present "
                                           "position under.");
    txtInput->setMaximumWidth(110);
    txtInput->setAccessibleName(QStringLiteral("Frequency"));
    lblInput = Make<QLabel>("lblInput", "kHz", "");
    cmdInput = Make<QPushButton>("cmdInput", "&Add",
                                 "Store the present stepper position under this value.");
    cboCatFiles =
        Make<QComboBox>("cboCatFiles", "Choose a table, or type a new name and press Enter.");
    cboCatFiles->setEditable(true);
    cboCatFiles->setInsertPolicy(QComboBox::NoInsert);
    cboCatFiles->setMinimumWidth(150);
    lblStatus = Make<QLabel>("lblStatus");
    lblStatus->setFrameShape(QFrame::Panel);
    lblStatus->setFrameShadow(QFrame::Sunken);
    lblInterpolValue =
        Make<QLabel>("lblInterpolValue", "Interpol value", "The position for the frequency.");
    widgets::MakeReadout(*lblInterpolValue, 2, widgets::ReadoutFrame::Sunken,
                         QStringLiteral("-2147483648 Out"));
    lblInfoInterpol = Make<QLabel>("lblInfoInterpol");
    cmdTurnTo = Make<QPushButton>("cmdTurnTo", "&TurnTo", "Turn to the position of the value.");
    cmdUnity = Make<QPushButton>("cmdUnity", "kHz", "The unit of the table's values.");
    cmdStatusSave = Make<QPushButton>("cmdStatusSave", "Stor&e limits...",
                                      "Store the stepper's limits in the table.");
    chkMinMax =
        Make<QCheckBox>("chkMinMax", "Table limits", "Use the table's limits for the stepper.");
    lblTeller = Make<QLabel>("lblTeller", "0", "The stepper's position.");
    widgets::MakeReadout(*lblTeller, 4, widgets::ReadoutFrame::Sunken,
                         QStringLiteral("-2147483648"));
    cmdMain = Make<QPushButton>("cmdMain", "Ma&in on", "");
    cmdPelorusScherm = Make<QPushButton>("cmdPelorusScherm", "Pel&orus off", "");
    cmdScroll = Make<QPushButton>("cmdScroll", "Stepper", "");
}

void TableWindowForm::buildRig() {
    frmCatControl = Make<QGroupBox>("frmCatControl", "Rig Control-", "");
    cmdComport = Make<QPushButton>("cmdComport", "&Comport(1)", "");
    cmdComPol = Make<QPushButton>("cmdComPol", "Polling(1 Sec)", "");
    cmdLock = Make<QPushButton>("cmdLock", "Un&locked", "Locked: the stepper follows the rig.");
    chkLock = Make<QCheckBox>("chkLock", "Dial lock", "Lock the rig's dial.");
    lblFreqCat = Make<QLabel>("lblFreqCat", "-----.- kHz",
                              "The rig's frequency; click to step it with the wheel.");
    widgets::MakeReadout(*lblFreqCat, 5, widgets::ReadoutFrame::Sunken,
                         QStringLiteral("99999999.9 kHz"));
    cmdDown = Make<QPushButton>("cmdDown", "&Down", "The rig one step down.");
    cmdUp = Make<QPushButton>("cmdUp", "&Up", "The rig one step up.");
    lblFreqJump = Make<QLabel>("lblFreqJump", "Frequency step.");
    lblFreqJump->setAutoFillBackground(true);
    lblFreqJump->setAlignment(Qt::AlignCenter);
    lblFreqJump->setMinimumWidth(60);
    HScroll1 =
        Make<QScrollBar>("HScroll1", "Frequency step of the up and down buttons and the wheel.");
    HScroll1->setAccessibleName(QStringLiteral("Frequency step"));
    HScroll1->setOrientation(Qt::Horizontal);
    HScroll1->setMinimumWidth(120);
    cmdPTT = Make<QPushButton>("cmdPTT", "&PTT off", "");
    chkAmPTT = Make<QCheckBox>("chkAmPTT", "AM at PTT", "Transmit in AM while the PTT is on.");
    lblHiLoZ = Make<QLabel>("lblHiLoZ", "L-SWR", "");
    lblHiLoZ->hide();
    cmdOnOff = Make<QPushButton>("cmdOnOff", "FT&817 Off", "Switch the FT-817 on or off.");
    cmdCalibreer =
        Make<QPushButton>("cmdCalibreer", "S-Meter cali&breren",
                          "Search the loudest position around the present one (Esc stops).");
    cmdSwrTune = Make<QPushButton>("cmdSwrTune", "S&WR tune", "");
    cmdTuneNow = Make<QPushButton>("cmdTuneNow", "Tune &now", "");
    ProgressBar1 = Make<QProgressBar>("ProgressBar1", "S-meter.");
    ProgressBar1->setRange(0, 15);
    ProgressBar1->setAccessibleName(QStringLiteral("S-meter"));
    ProgressBar1->setTextVisible(false);
    ProgressBar1->setMaximumHeight(12);
    frmModes = Make<QGroupBox>("frmModes", "Mode", "");
    auto* modes = new QGridLayout(frmModes);
    for (std::size_t i = 0; i < Option1.size(); ++i) {
        Option1[i] = new QRadioButton;
        Option1[i]->setObjectName(QStringLiteral("Option1_%1").arg(i + 1));
        modes->addWidget(Option1[i], int(i / 5), int(i % 5));
    }
    frmSimulatedRig = Make<QGroupBox>("frmSimulatedRig", "Simulated rig", "");
    frmSimulatedRig->hide();

    auto* grid = new QGridLayout(frmCatControl);
    grid->addWidget(cmdComport, 0, 0);
    grid->addWidget(cmdComPol, 0, 1);
    grid->addWidget(cmdLock, 0, 2);
    grid->addWidget(chkLock, 0, 3);
    grid->addWidget(lblFreqCat, 1, 0, 1, 2, Qt::AlignCenter);
    grid->addWidget(cmdDown, 1, 2);
    grid->addWidget(cmdUp, 1, 3);
    grid->addWidget(lblFreqJump, 2, 0);
    grid->addWidget(HScroll1, 2, 1, 1, 3);
    grid->addWidget(cmdPTT, 3, 0);
    grid->addWidget(chkAmPTT, 3, 1);
    grid->addWidget(lblHiLoZ, 3, 2);
    grid->addWidget(cmdOnOff, 3, 3);
    grid->addWidget(cmdCalibreer, 4, 0, 1, 2);
    grid->addWidget(ProgressBar1, 4, 2, 1, 2);
    grid->addWidget(frmModes, 5, 0, 1, 4);
    grid->addWidget(cmdSwrTune, 6, 0, 1, 2);
    grid->addWidget(cmdTuneNow, 6, 2, 1, 2);
}

void TableWindowForm::buildMenus(QMainWindow& window) {
    QMenuBar* bar = window.menuBar();
    QMenu* files = Menu(bar, QStringLiteral("mnuFiles"), QStringLiteral("&Files"));
    mnuSavetabel = Entry(files, QStringLiteral("mnuSavetabel"), QStringLiteral("&Save table"));
    mnuDeletetable =
        Entry(files, QStringLiteral("mnuDeletetable"), QStringLiteral("&Delete table..."));
    mnuBuildVna = Entry(files, QStringLiteral("mnuBuildVna"), QStringLiteral("Build with &VNA…"));
    mnuBandSet = files->addMenu(QStringLiteral("&Band set"));
    mnuBandSet->setObjectName(QStringLiteral("mnuBandSet"));
    files->addSeparator();
    mnuExit = Entry(files, QStringLiteral("mnuExit"), QStringLiteral("E&xit"));

    mnuSet = Menu(bar, QStringLiteral("mnuSet"), QStringLiteral("&Set"));
    mnuStepperOffset =
        Entry(mnuSet, QStringLiteral("mnuStepperOffset"), QStringLiteral("&Stepper offset(0)..."));
    mnuRetuneHere = Entry(mnuSet, QStringLiteral("mnuRetuneHere"), QStringLiteral("&Retune here"));
    mnuRetuneHere->setToolTip(
        QStringLiteral("After correcting the stepper at the rig's frequency: the correction "
                       "becomes the table's offset, for every frequency followed, and is saved."));
    mnuOffsetZero = Entry(mnuSet, QStringLiteral("mnuOffsetZero"), QStringLiteral("Offset &0"));
    mnuOffsetZero->setToolTip(QStringLiteral("Ends the table's offset and saves the table."));
    mnuOffsetBandOnly = Entry(mnuSet, QStringLiteral("mnuOffsetBandOnly"),
                              QStringLiteral("Offset in this &band only"), true);
    mnuOffsetBandOnly->setToolTip(
        QStringLiteral("The offset holds only in the amateur band of the rig's frequency."));
    mnuSetToInterpol = Entry(mnuSet, QStringLiteral("mnuSetToInterpol"),
                             QStringLiteral("Set &counter to interpol value"));
    mnuInterpoltype = mnuSet->addMenu(QStringLiteral("&Interpol type"));
    mnuInterpoltype->setObjectName(QStringLiteral("mnuInterpoltype"));
    auto* types = new QActionGroup(mnuInterpoltype);
    for (std::size_t i = 0; i < mnuFn.size(); ++i) {
        mnuFn[i] =
            Entry(mnuInterpoltype, QStringLiteral("mnuFn%1").arg(i), InterpolNames()[i], true);
        types->addAction(mnuFn[i]);
    }

    mnuRigs = Menu(bar, QStringLiteral("mnuRigs"), QStringLiteral("Ri&gs"));
    const std::array<const char*, 6> rigs{"Ft757GXII", "Ft817", "Ft840", "Ft847", "Ft857", "Ft897"};
    for (std::size_t i = 0; i < mnuFt.size(); ++i)
        mnuFt[i] = Entry(mnuRigs, QStringLiteral("mnu") + QString::fromLatin1(rigs[i]),
                         rig::Caps(rig::ToModel(core::Integer(i + 1))).menuText, true);

    // No Alt letter: each of its letters is taken by a control more often used.
    mnuBaud = Menu(bar, QStringLiteral("mnuBaud"), QStringLiteral("Baud"));
    for (std::size_t i = 0; i < mnuBaudRates.size(); ++i)
        mnuBaudRates[i] = Entry(mnuBaud, QStringLiteral("mnuBaud%1").arg(BaudRates[i]),
                                QString::number(BaudRates[i]), true);

    mnuCom = Menu(bar, QStringLiteral("mnuCom"), QStringLiteral("Co&m"));
    for (std::size_t i = 0; i < mnuComPorts.size(); ++i)
        mnuComPorts[i] = Entry(mnuCom, QStringLiteral("mnuCom%1").arg(i + 1),
                               QStringLiteral("COM%1").arg(i + 1), true);
    mnuCom->addSeparator();
    mnuSimulatedRig =
        Entry(mnuCom, QStringLiteral("mnuSimulatedRig"), QStringLiteral("&Simulated rig"), true);
    mnuRigctld = Entry(mnuCom, QStringLiteral("mnuRigctld"), QStringLiteral("&rigctld..."), true);
    mnuFlrig = Entry(mnuCom, QStringLiteral("mnuFlrig"), QStringLiteral("&flrig..."), true);
    mnuWsjtx = Entry(mnuCom, QStringLiteral("mnuWsjtx"), QStringLiteral("&WSJT-X..."), true);
    mnuCiv = Entry(mnuCom, QStringLiteral("mnuCiv"), QStringLiteral("&Icom CI-V..."), true);
    mnuKenwood =
        Entry(mnuCom, QStringLiteral("mnuKenwood"), QStringLiteral("&Kenwood-style CAT..."), true);
    mnuCom->addSeparator();
    mnuTxGuard = Entry(mnuCom, QStringLiteral("mnuTxGuard"),
                       QStringLiteral("No turning while &transmitting"), true);

    mnuTerminal = bar->addAction(QStringLiteral("Te&rminal"));
    mnuTerminal->setObjectName(QStringLiteral("mnuTerminal"));
    mnuTerminal->setCheckable(true);

    mnuWheel = Menu(bar, QStringLiteral("mnuWheel"), QStringLiteral("W&heel"));
    mnuWheelStepper =
        Entry(mnuWheel, QStringLiteral("mnuWheelStepper"), QStringLiteral("&Stepper"), true);
    mnuWheelTable =
        Entry(mnuWheel, QStringLiteral("mnuWheelTable"), QStringLiteral("&Table"), true);
    mnuWheelFrequency =
        Entry(mnuWheel, QStringLiteral("mnuWheelFrequency"), QStringLiteral("&Frequency"), true);
    mnuWheelSpeed =
        Entry(mnuWheel, QStringLiteral("mnuWheelSpeed"), QStringLiteral("S&peed"), true);

    mnuToetsinfo = bar->addAction(QStringLiteral("&Key info"));
    mnuToetsinfo->setObjectName(QStringLiteral("mnuToetsinfo"));

    mnuSelect = new QMenu(&window);
    mnuSelect->setObjectName(QStringLiteral("mnuSelect"));
    mnuLoopNaar = Entry(mnuSelect, QStringLiteral("mnuLoopNaar"), QStringLiteral("&TurnTo ?"));
    mnuDelete = Entry(mnuSelect, QStringLiteral("mnuDelete"), QStringLiteral("&Delete ?"));
    mnuAddComment =
        Entry(mnuSelect, QStringLiteral("mnuAddComment"), QStringLiteral("Add Change "));
}

} // namespace table
