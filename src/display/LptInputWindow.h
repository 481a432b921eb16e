#pragma once

#include "display/LptInputTest.h"
#include "display/LptTestMenus.h"
#include "platform/Platform.h"

#include <QWidget>
#include <array>
#include <memory>

class QGroupBox;
class QLabel;
class QRadioButton;

namespace display {

// The LPT input test (Form13): the five input pins of the chosen port's status register, read
// every half second (Timer1) while the window is shown, not while it is minimised. It renders
// LptInputTest; it deletes itself when closed, after telling closed().
class LptInputWindow : public QWidget {
    Q_OBJECT

public:
    // statusAddress: LptStatusAddress, whose option is chosen when it is a standard one.
    LptInputWindow(LptInputTest& test, platform::Platform& platform, core::Long statusAddress);
    ~LptInputWindow() override;

    // One reading shown (Timer1's tick).
    void GetLptInp();

    QGroupBox* Frame2;
    std::array<QLabel*, 5> PinLabel; // "Label3" to "Label7": pins 15, 13, 12, 10, 11
    QLabel* Label2;
    QLabel* Label1;
    QGroupBox* Frame1;
    std::array<QRadioButton*, 3> Option; // "Option1" to "Option3": 889, 957, 633
    LptTestMenus menus;

signals:
    void helpRequested();
    void closed();

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    LptInputTest& test_;
    std::unique_ptr<platform::Timer> Timer1;
};

} // namespace display
