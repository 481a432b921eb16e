#include "mainwindow/ClickableLabel.h"
#include "mainwindow/EntryField.h"
#include "mainwindow/MainWindowForm.h"
#include "mainwindow/PressButton.h"
#include "mainwindow/SelectionSlider.h"

#include <QAbstractButton>
#include <QAction>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <utility>
#include <vector>

using mainwindow::MainWindowForm;

namespace {

struct MainWindowFormTest : ::testing::Test {
    QMainWindow window;
    MainWindowForm form{window};

    QObject* named(const QString& name) const {
        const auto found = window.findChildren<QObject*>(name);
        EXPECT_EQ(found.size(), 1) << qPrintable(name);
        return found.value(0);
    }
};

QString Caption(const QObject* control) {
    if (auto* button = qobject_cast<const QAbstractButton*>(control))
        return button->text();
    if (auto* label = qobject_cast<const QLabel*>(control))
        return label->text();
    if (auto* frame = qobject_cast<const QGroupBox*>(control))
        return frame->title();
    if (auto* field = qobject_cast<const QLineEdit*>(control))
        return field->text();
    return {};
}

QStringList EntryCaptions(const QMenu* menu) {
    QStringList captions;
    for (const QAction* action : menu->actions())
        if (!action->isSeparator())
            captions << action->text();
    return captions;
}

} // namespace

TEST_F(MainWindowFormTest, everyControlAndEntry_existsOnceUnderItsName) {
    const QStringList names = QStringLiteral(R"(
        frmOverlayKeys cmdOverCWs cmdOverCCWs cmdOverCW cmdOverCCW frmOverlay cmdOverlayInput
        chkOverlay Text12 lblOverlayDirection lblOverlayDegrees lblOverlaySteps Frame10 lblTimer
        lblTime lblPcspeed lblInputport Frame9 lblDegrees lblTeller frame8 HScroll1 lblSnelHeid
        lblSlow lblFast lblRpm Frame7 chkFieldPower chkSpeedModulate OptStepper(0) OptStepper(1)
        chkAuto Image1 Frame6 VSlider1 lblMax lblMin lblVscroll Frame5 cmdDirect cmdTimer
        cmdTableUnity cmdPelorus Frame4 cmdScroll cmdCalibreer cmdMaxCw cmdStoppen cmdMinCcw cmdCw
        cmdFast cmdCcw Frame3 cmdLptTest cmdPoort cmdInputMax cmdLaagste Text6 Text1 cmdInputMin
        Text2 cmdHoogste cmdStepperStap Text5 Text4 Frame2 cmdGotoDegrees Text7 cmdGotoStep Text3
        Frame1 cmdPulsloop Text11 Text10 cmdShuttle Text9 Text8 lblPulsShuttle ProgressBar1
        mnuRootMenu(0) mnuRootMenu(1) mnuRootMenu(2) mnuRootMenu(3) mnuRootMenu(4)
        mnuSavecfg mnuDefaultCfg mnuPelorus mnuPelSmall mnuOverlay mnuJoyStick mnuExit mnuSet
        mnuCalibraStaps mnuEndSwitchCenter mnuEndSwitches mnuEndSwitchesShow mnuEndSwitchesOff
        mnuRemoteTurning mnuLPT89 mnuLptOutput mnuLptInput mnuTarvex mnuSimulate mnuTableDirect
        mnuTableTimer mnuTableUnity mnuVentroloUK mnuVentroloNL mnuChangesTxt mnuSchemaCat
        mnuCircuitBi mnuCircuitUni mnuSchemaOpto mnuBrenik mnuComponent mnuToetsInfo mnuAbout
        mnuStepper12 mnuWheelStepper mnuWheelFrequency mnuWheelTable mnuWheelSpeed mnuDegreeColor
    )")
                                  .split(QRegularExpression("\\s+"), Qt::SkipEmptyParts);
    for (const QString& name : names)
        named(name);
    // The window itself is named Form1 by MainWindow.
    EXPECT_EQ(named("OptStepper(1)"), form.OptStepper[1]);
    EXPECT_EQ(named("mnuRootMenu(4)"), form.popUpMenu());
}

// A control of the form: its member, the frame member it sits in, and both names.
#define CONTROL(frame, control) form.frame, form.control, #frame, #control

TEST_F(MainWindowFormTest, controlsSitInTheirFramesWithDesignedCaptionsAndTooltips) {
    struct Expected {
        QWidget* frame;
        QWidget* control;
        QString frameName;
        QString name;
        QString caption;
        QString toolTip;
    };
    const std::vector<Expected> controls{
        {CONTROL(frmOverlayKeys, frmOverlayKeys), "Overlay turning", ""},
        {CONTROL(frmOverlayKeys, cmdOverCWs), ">>", ""},
        {CONTROL(frmOverlay, frmOverlay), "Overlay",
         "Nice for stepper drived systems with margins."},
        {CONTROL(frmOverlay, chkOverlay), "On/Off", "Overlay on/off."},
        {CONTROL(frmOverlay, Text12), "", "Overlay steps made for system Tarvex."},
        {CONTROL(frmOverlay, lblOverlayDirection), "", "Last turn direction."},
        {CONTROL(Frame10, Frame10), "Status", ""},
        {CONTROL(Frame10, lblTime), "00:00:00", "The RTC time."},
        {CONTROL(Frame10, lblInputport), "Input", "Remote and Switches control input lpt."},
        {CONTROL(Frame10, lblTimer), "Timer on", ""},
        {CONTROL(Frame9, Frame9), "Count Deg", ""},
        {CONTROL(Frame9, lblTeller), "Count", "Stepper counter value."},
        {CONTROL(frame8, frame8), "Turning speed", ""},
        {CONTROL(frame8, lblSnelHeid), "Stepspeed", ""},
        {CONTROL(frame8, HScroll1), "", ""},
        {CONTROL(Frame7, Frame7), "Stepper", ""},
        {CONTROL(Frame7, chkSpeedModulate), "SpeedModulate", "Start slow >  fast > slow turning."},
        {CONTROL(Frame7, OptStepper[0]), "Stepper1", ""},
        {CONTROL(Frame7, Image1), "", "Click me to start."},
        {CONTROL(Frame6, Frame6), "Drag Bar", ""},
        {CONTROL(Frame6, VSlider1), "", "Drag Slider"},
        {CONTROL(Frame6, lblVscroll), "Count",
         "Counter position from the dragbar Click me to change to degrees."},
        {CONTROL(Frame5, Frame5), "Fastkeys", ""},
        {CONTROL(Frame5, cmdPelorus), "Pe&lorus off", ""},
        {CONTROL(Frame4, Frame4), "Turnkeys", ""},
        {CONTROL(Frame4, cmdCalibreer), "Ru&nning",
         "Left click is run and right click is adjusting range."},
        {CONTROL(Frame4, cmdStoppen), "Stop (Es&c)", "Click left or escape  to stop turning."},
        {CONTROL(Frame4, cmdMinCcw), "<<CC&Wturn", ""},
        {CONTROL(Frame4, cmdFast), "F&ast", "Fast or custom stepspeed."},
        {CONTROL(Frame3, Frame3), "Stepper Params", "Click the button to enter !"},
        {CONTROL(Frame3, cmdPoort), "Lpt", "Printerport adres decimal."},
        {CONTROL(Frame3, cmdLaagste), "HighSpeed", "Highest stepspeed in sec."},
        {CONTROL(Frame3, Text4), "", "Amount of steps from the stepper for 360 degrees."},
        {CONTROL(Frame2, Frame2), "Turning", ""},
        {CONTROL(Frame2, cmdGotoDegrees), "&Degrees", "Turn to degrees."},
        {CONTROL(Frame2, Text3), "", "Position in steps to turnto."},
        {CONTROL(Frame1, Frame1), "Shuttle  Puls", ""},
        {CONTROL(Frame1, cmdPulsloop), "&Puls    off", "Pulsed turning."},
        {CONTROL(Frame1, cmdShuttle), "&Shuttle  off", "Shuttle between 2 values."},
        {CONTROL(Frame1, lblPulsShuttle), "", "Shuttle / puls degrees."},
    };
    for (const Expected& expected : controls) {
        const QByteArray where = expected.name.toUtf8();
        // Members of arrays carry their index in the name: OptStepper[0] is "OptStepper(0)".
        EXPECT_EQ(expected.control->objectName(),
                  QString(expected.name).replace('[', '(').replace(']', ')'));
        EXPECT_EQ(expected.frame->objectName(), expected.frameName);
        EXPECT_TRUE(expected.frame == expected.control ||
                    expected.frame->isAncestorOf(expected.control))
            << where.data();
        EXPECT_EQ(Caption(expected.control), expected.caption) << where.data();
        EXPECT_EQ(expected.control->toolTip(), expected.toolTip) << where.data();
    }
}

TEST_F(MainWindowFormTest, mnemonics_pressTheirButtons) {
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    const std::vector<std::pair<Qt::Key, QAbstractButton*>> mnemonics{
        {Qt::Key_G, form.cmdGotoStep}, {Qt::Key_T, form.cmdCcw},     {Qt::Key_C, form.cmdStoppen},
        {Qt::Key_W, form.cmdMinCcw},   {Qt::Key_S, form.cmdShuttle}, {Qt::Key_P, form.cmdPulsloop}};
    for (const auto& [key, button] : mnemonics) {
        QTest::keyClick(&window, key, Qt::AltModifier);
        // The mnemonic presses the button at once and releases it (clicked) 100 ms later.
        EXPECT_TRUE(button->isDown()) << qPrintable(button->objectName());
    }
}

TEST_F(MainWindowFormTest, menuBar_holdsFourMenusWithAllTheirEntries) {
    QStringList barTitles;
    for (const QAction* action : window.menuBar()->actions())
        barTitles << action->text();
    EXPECT_EQ(barTitles, (QStringList{"&Files", "E&dit", "Tab&les", "&Info"}));
    EXPECT_EQ(form.popUpMenu()->title(), "PopUpMenu");

    EXPECT_EQ(EntryCaptions(form.mnuRootMenu[0]),
              (QStringList{"&Save Config", "&Default Config", "&Pelorus", "P&elorus smal",
                           "&Overlay", "JoyStick", "E&xit            Alt+F4"}));
    EXPECT_EQ(EntryCaptions(form.mnuRootMenu[1]),
              (QStringList{"&Set...", "&Calibration steps...", "&Center switch...",
                           "&Begin and  End switch", "S&how switches only", "&All switches off",
                           "&Remote controlled turning", "&Offset Lpt 89 +5V", "&Lpt Output",
                           "L&pt Input", "Bo&th steppers and pin6", "Si&mulation LptInput"}));
    EXPECT_EQ(EntryCaptions(form.mnuRootMenu[2]),
              (QStringList{"&Direct table", "Ti&mer table", "&Unity table"}));
    EXPECT_EQ(EntryCaptions(form.mnuRootMenu[3]),
              (QStringList{"&VentroloUK.txt", "Ve&ntroloNL.txt", "VentroC&hanges.txt",
                           "&Circuit Cat", "C&ircuit Bi Stepper", "Circ&uit Uni Stepper",
                           "Circu&it Optocouplers", "Circ&uit Simple Stepper Driver",
                           "Co&mponent Layout", "&Key Info", "&About"}));
    EXPECT_EQ(EntryCaptions(form.popUpMenu()),
              (QStringList{"&Stepper", "Mouse wheel functions", "Stepper", "Frequency", "Table",
                           "Speed", "Degrees colours"}));
    EXPECT_FALSE(form.mnuWheelFunctions->isEnabled()) << "the heading is no command";
}

TEST_F(MainWindowFormTest, togglesAreCheckable_commandsAreNot) {
    for (QAction* toggle :
         {form.mnuPelorus, form.mnuOverlay, form.mnuJoyStick, form.mnuEndSwitchCenter,
          form.mnuEndSwitchesShow, form.mnuRemoteTurning, form.mnuLPT89, form.mnuTarvex,
          form.mnuTableUnity, form.mnuChangesTxt, form.mnuComponent, form.mnuWheelSpeed})
        EXPECT_TRUE(toggle->isCheckable()) << qPrintable(toggle->objectName());
    for (QAction* command :
         {form.mnuSavecfg, form.mnuExit, form.mnuSet, form.mnuEndSwitchesOff, form.mnuToetsInfo,
          form.mnuAbout, form.mnuStepper12, form.mnuDegreeColor})
        EXPECT_FALSE(command->isCheckable()) << qPrintable(command->objectName());
    EXPECT_TRUE(form.mnuWheelStepper->isChecked()) << "the wheel starts on the stepper";
    EXPECT_TRUE(form.OptStepper[0]->isChecked());
}

TEST_F(MainWindowFormTest, openersOfWindowsStillToComeStartDisabled) {
    for (QAction* opener :
         {form.mnuPelorus, form.mnuPelSmall, form.mnuLptOutput, form.mnuLptInput, form.mnuSimulate,
          form.mnuTableDirect, form.mnuTableTimer, form.mnuTableUnity, form.mnuVentroloUK,
          form.mnuVentroloNL, form.mnuChangesTxt, form.mnuSchemaCat, form.mnuCircuitBi,
          form.mnuCircuitUni, form.mnuSchemaOpto, form.mnuBrenik, form.mnuComponent,
          form.mnuWheelTable, form.mnuWheelFrequency})
        EXPECT_FALSE(opener->isEnabled()) << qPrintable(opener->objectName());
    for (QWidget* opener : std::initializer_list<QWidget*>{
             form.cmdDirect, form.cmdTimer, form.cmdTableUnity, form.cmdPelorus, form.Image1})
        EXPECT_FALSE(opener->isEnabled()) << qPrintable(opener->objectName());
    for (QAction* entry : {form.mnuSavecfg, form.mnuOverlay, form.mnuExit, form.mnuAbout,
                           form.mnuSet, form.mnuWheelStepper, form.mnuWheelSpeed})
        EXPECT_TRUE(entry->isEnabled()) << qPrintable(entry->objectName());
}

TEST_F(MainWindowFormTest, entryFields_startEditableOnWhite) {
    for (mainwindow::EntryField* field :
         {form.Text1, form.Text2, form.Text3, form.Text4, form.Text5, form.Text6, form.Text7,
          form.Text8, form.Text9, form.Text10, form.Text11, form.Text12}) {
        EXPECT_FALSE(field->isReadOnly()) << qPrintable(field->objectName());
        EXPECT_EQ(field->palette().color(QPalette::Base), QColor(Qt::white))
            << qPrintable(field->objectName());
    }
}

TEST_F(MainWindowFormTest, overlayPanels_hiddenAt9720TwipsShownAt11415) {
    window.show();
    EXPECT_EQ(window.height(), 9720 / 15);
    EXPECT_FALSE(form.overlayPanelsShown());
    EXPECT_FALSE(form.frmOverlay->isVisible());
    EXPECT_FALSE(form.frmOverlayKeys->isVisible());
    EXPECT_TRUE(form.Frame1->isVisible());

    form.setOverlayPanelsShown(true);
    EXPECT_EQ(window.height(), 11415 / 15);
    EXPECT_TRUE(form.frmOverlay->isVisible());
    EXPECT_TRUE(form.frmOverlayKeys->isVisible());

    form.setOverlayPanelsShown(false);
    EXPECT_EQ(window.height(), 9720 / 15);
    EXPECT_FALSE(form.frmOverlay->isVisible());
}

TEST_F(MainWindowFormTest, sliderAndScrollBarAreQtControls_statusExtrasStartHidden) {
    EXPECT_EQ(form.VSlider1->orientation(), Qt::Vertical);
    EXPECT_EQ(form.HScroll1->orientation(), Qt::Horizontal);
    window.show();
    EXPECT_FALSE(form.lblTimer->isVisible());
    EXPECT_FALSE(form.ProgressBar1->isVisible());
    EXPECT_TRUE(form.lblInputport->isVisible());
}
