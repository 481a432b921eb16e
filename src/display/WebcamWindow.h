#pragma once

#include "display/WebcamTurning.h"

#include <QWidget>

class QCheckBox;
class QLabel;

namespace display {

class DialView;

// The webcam turning window (Form18): a mouse button anywhere on it chooses the axis (left
// stepper 2 "Elevation", right stepper 1 "Azimuth"), the wheel turns it, and a small dial shows
// its angle. Its check box opens the LPT output test under it. It renders WebcamTurning and
// forwards to it; it deletes itself when closed, after telling closed().
class WebcamWindow : public QWidget {
    Q_OBJECT

public:
    explicit WebcamWindow(WebcamTurning& turning);

    // The axis name and the dial as the turning has them now.
    void render();
    // The picture of the last wheel direction: the second for a notch away from the user.
    void showPicture(bool second);
    // ChkLptOut set without telling (the LPT output window opened or closed elsewhere).
    void setLptOutChecked(bool checked);

    DialView* Picture1;
    QLabel* Label1;
    QLabel* Label2;
    QLabel* Image1;
    QLabel* Image2;
    QCheckBox* ChkLptOut;

signals:
    void lptOutToggled(bool checked);
    void closed();

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void selectAxis(Qt::MouseButton button);

    WebcamTurning& turning_;
};

} // namespace display
