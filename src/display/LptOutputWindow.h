#pragma once

#include "display/LptOutputTest.h"
#include "display/LptTestMenus.h"
#include "platform/Platform.h"

#include <QWidget>
#include <array>

class QCheckBox;
class QGroupBox;
class QRadioButton;

namespace display {

// The LPT output test (Form10): a box for each data pin 2 to 9, written straight to the
// register of the port chosen. It renders LptOutputTest and forwards to it; it deletes itself
// when closed, after telling closed().
class LptOutputWindow : public QWidget {
    Q_OBJECT

public:
    LptOutputWindow(LptOutputTest& test, platform::Platform& platform);

    // The boxes and the port option as the test has them.
    void render();

    QGroupBox* Frame2;
    std::array<QCheckBox*, 8> Check; // objectNames "Check1" to "Check8"
    QGroupBox* Frame1;
    std::array<QRadioButton*, 3> Option; // "Option1" to "Option3": 888, 956, 632
    LptTestMenus menus;

signals:
    // A box of the pins 6 to 9 changed LptExtraBits.
    void extraBitsChanged();
    void helpRequested();
    void closed();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    LptOutputTest& test_;
};

} // namespace display
