#pragma once

#include "panel/ExitCountdown.h"

#include <QDialog>

class QLabel;
class QPushButton;

namespace mainwindow {

// Form11, the park question at exit: shows the exit path's countdown, which starts when the
// dialog is shown, and forwards the answers to it. After the decision it stays on screen,
// disabled, showing what happens, until the exit path ends the program. Closing it (close
// box, Esc) before a decision answers No: nothing moves that the user did not agree to.
class ExitDialog : public QDialog {
    Q_OBJECT
public:
    // countdown must outlive the dialog.
    explicit ExitDialog(panel::ExitCountdown& countdown, QWidget* parent = nullptr);

    QLabel* Label1;      // the question
    QLabel* Label2;      // the countdown, then the decision's text
    QPushButton* cmdYes; // park now
    QPushButton* CmdNo;  // save without parking

public slots:
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    panel::ExitCountdown& countdown_;
};

} // namespace mainwindow
