#pragma once

#include "mainwindow/ClickableLabel.h"
#include "mainwindow/EntryField.h"
#include "mainwindow/PressButton.h"
#include "mainwindow/SelectionSlider.h"

#include <QAction>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <array>

namespace test_support {

// The main window's controls that tests drive, found as the user's tools find them: by the
// program name each control carries as its object name. A name the window lacks ends the test.
class MainWindowControls {
public:
    explicit MainWindowControls(const QWidget& window) : window_(window) {}

    template <typename Control> Control* find(const char* name) const {
        auto* control = window_.findChild<Control*>(QLatin1String(name));
        if (control == nullptr)
            qFatal("The main window has no %s named %s", Control::staticMetaObject.className(),
                   name);
        return control;
    }

    QMenu* popUpMenu() const { return mnuRootMenu4; }
    bool overlayPanelsShown() const { return !frmOverlay->isHidden(); }

private:
    const QWidget& window_;

#define VENTROLO_CONTROL(Type, name) Type* const name = find<Type>(#name)
public:
    // --- the panels ---
    VENTROLO_CONTROL(QGroupBox, frmOverlay);
    VENTROLO_CONTROL(QGroupBox, Frame1);
    VENTROLO_CONTROL(QGroupBox, Frame3);
    VENTROLO_CONTROL(QGroupBox, Frame9);
    VENTROLO_CONTROL(QLabel, lblTime);
    VENTROLO_CONTROL(mainwindow::ClickableLabel, lblTimer);
    VENTROLO_CONTROL(QLabel, lblDegrees);
    VENTROLO_CONTROL(QLabel, lblTeller);
    VENTROLO_CONTROL(QCheckBox, chkAuto);
    VENTROLO_CONTROL(QCheckBox, chkFieldPower);
    VENTROLO_CONTROL(QCheckBox, chkSpeedModulate);
    VENTROLO_CONTROL(QCheckBox, chkOverlay);
    VENTROLO_CONTROL(QPushButton, cmdOverlayInput);
    VENTROLO_CONTROL(QPushButton, cmdOverCW);
    VENTROLO_CONTROL(mainwindow::EntryField, Text12);
    const std::array<QRadioButton*, 2> OptStepper{find<QRadioButton>("OptStepper(0)"),
                                                  find<QRadioButton>("OptStepper(1)")};
    VENTROLO_CONTROL(mainwindow::ClickableLabel, Image1);
    VENTROLO_CONTROL(mainwindow::SelectionSlider, VSlider1);
    VENTROLO_CONTROL(QLabel, lblMax);
    VENTROLO_CONTROL(mainwindow::ClickableLabel, lblVscroll);
    VENTROLO_CONTROL(QPushButton, cmdDirect);
    VENTROLO_CONTROL(QPushButton, cmdTimer);
    VENTROLO_CONTROL(QPushButton, cmdTableUnity);
    VENTROLO_CONTROL(QPushButton, cmdPelorus);
    VENTROLO_CONTROL(QPushButton, cmdScroll);
    VENTROLO_CONTROL(QPushButton, cmdMaxCw);
    VENTROLO_CONTROL(mainwindow::PressButton, cmdStoppen);
    VENTROLO_CONTROL(QPushButton, cmdCw);
    VENTROLO_CONTROL(QPushButton, cmdLptTest);
    VENTROLO_CONTROL(QPushButton, cmdPoort);
    VENTROLO_CONTROL(QPushButton, cmdInputMax);
    VENTROLO_CONTROL(QPushButton, cmdHoogste);
    VENTROLO_CONTROL(mainwindow::EntryField, Text1);
    VENTROLO_CONTROL(mainwindow::EntryField, Text5);
    VENTROLO_CONTROL(QPushButton, cmdGotoDegrees);
    VENTROLO_CONTROL(mainwindow::EntryField, Text7);
    VENTROLO_CONTROL(QPushButton, cmdGotoStep);
    VENTROLO_CONTROL(mainwindow::EntryField, Text3);
    VENTROLO_CONTROL(QPushButton, cmdShuttle);
    VENTROLO_CONTROL(mainwindow::EntryField, Text9);
    VENTROLO_CONTROL(mainwindow::EntryField, Text8);

    // --- the menus ---
    VENTROLO_CONTROL(QAction, mnuSavecfg);
    VENTROLO_CONTROL(QAction, mnuDefaultCfg);
    VENTROLO_CONTROL(QAction, mnuPelorus);
    VENTROLO_CONTROL(QAction, mnuPelSmall);
    VENTROLO_CONTROL(QAction, mnuOverlay);
    VENTROLO_CONTROL(QAction, mnuJoyStick);
    VENTROLO_CONTROL(QAction, mnuExit);
    VENTROLO_CONTROL(QAction, mnuSet);
    VENTROLO_CONTROL(QAction, mnuEndSwitchesOff);
    VENTROLO_CONTROL(QAction, mnuRemoteTurning);
    VENTROLO_CONTROL(QAction, mnuRotctld);
    VENTROLO_CONTROL(QAction, mnuWebServer);
    VENTROLO_CONTROL(QAction, mnuLPT89);
    VENTROLO_CONTROL(QAction, mnuLptOutput);
    VENTROLO_CONTROL(QAction, mnuLptInput);
    VENTROLO_CONTROL(QAction, mnuTarvex);
    VENTROLO_CONTROL(QAction, mnuSimulate);
    VENTROLO_CONTROL(QAction, mnuTableDirect);
    VENTROLO_CONTROL(QAction, mnuTableTimer);
    VENTROLO_CONTROL(QAction, mnuTableUnity);
    VENTROLO_CONTROL(QAction, mnuVentroloUK);
    VENTROLO_CONTROL(QAction, mnuVentroloNL);
    VENTROLO_CONTROL(QAction, mnuChangesTxt);
    VENTROLO_CONTROL(QAction, mnuSchemaCat);
    VENTROLO_CONTROL(QAction, mnuCircuitBi);
    VENTROLO_CONTROL(QAction, mnuCircuitUni);
    VENTROLO_CONTROL(QAction, mnuSchemaOpto);
    VENTROLO_CONTROL(QAction, mnuBrenik);
    VENTROLO_CONTROL(QAction, mnuComponent);
    VENTROLO_CONTROL(QAction, mnuCircuitStepDir);
    VENTROLO_CONTROL(QAction, mnuCircuitInhibit);
    VENTROLO_CONTROL(QAction, mnuAbout);
    VENTROLO_CONTROL(QAction, mnuStepper12);
    VENTROLO_CONTROL(QAction, mnuWheelStepper);
    VENTROLO_CONTROL(QAction, mnuWheelFrequency);
    VENTROLO_CONTROL(QAction, mnuWheelTable);
    VENTROLO_CONTROL(QAction, mnuDegreeColor);
#undef VENTROLO_CONTROL

private:
    QMenu* const mnuRootMenu4 = find<QMenu>("mnuRootMenu(4)");
};

} // namespace test_support
