#pragma once

#include "mainwindow/ExitCountdown.h"

#include <QDialog>

class QLabel;
class QPushButton;

namespace mainwindow {

// Form11, the park question at exit. It shows the two lower limits, counts down from the
// moment it is shown and reports the decision through decided(); it then stays on screen,
// disabled, showing what happens, until the exit path ends the program. Closing it (close
// box, Esc) before a decision answers No: nothing moves that the user did not agree to.
class ExitDialog : public QDialog {
    Q_OBJECT
public:
    ExitDialog(platform::Platform& platform, core::Long stepper1Min, core::Long stepper2Min,
               QWidget* parent = nullptr);

    ExitCountdown& countdown() { return countdown_; }

    QLabel* Label1;      // the question
    QLabel* Label2;      // the countdown, then the decision's text
    QPushButton* cmdYes; // park now
    QPushButton* CmdNo;  // save without parking

signals:
    void decided(mainwindow::ExitChoice choice);

public slots:
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    ExitCountdown countdown_;
};

} // namespace mainwindow
