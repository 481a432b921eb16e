#pragma once

#include "core/VersionTexts.h"
#include "platform/Platform.h"

#include <QWidget>
#include <memory>

class QFrame;
class QLabel;

namespace mainwindow {

class ClickableLabel;

// The program's home page, shown on the splash window.
inline const QString& HomePageAddress = core::HomePageAddress;

// frmSplash: name, version and home page. A key press or a click anywhere closes it; a click
// on the address first reports addressClicked() (the caller opens the home page).
class SplashWindow : public QWidget {
    Q_OBJECT
public:
    static constexpr int CloseAfterMs = 6000;

    explicit SplashWindow(platform::Platform& platform, QWidget* parent = nullptr);
    ~SplashWindow() override;

    // Closes the window after CloseAfterMs unless it was closed before (the About entry).
    void startCloseTimer();

    QFrame* Frame1;
    QLabel* imgLogo;
    QLabel* lblProductName;
    ClickableLabel* lblVersion;
    ClickableLabel* lblWarning;
    ClickableLabel* lblMaker;
    ClickableLabel* lblURL;

signals:
    void addressClicked();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    std::unique_ptr<platform::Timer> closeTimer_;
};

} // namespace mainwindow
