#pragma once

#include "display/LptInputTest.h"
#include "display/LptOutputTest.h"
#include "display/MoveLogLines.h"
#include "display/Resources.h"
#include "display/WebcamTurning.h"
#include "mainwindow/MainWindow.h"
#include "station/Station.h"

#include <QObject>
#include <QPointer>
#include <array>

namespace display {
class LptInputWindow;
class LptOutputWindow;
class MoveLogWindow;
class PelorusWindow;
class PictureWindow;
class SmallPelorusWindow;
class TextWindow;
class WebcamWindow;
} // namespace display

namespace app {

// The display windows: the pelorus and the small pelorus, the webcam turning window, the LPT
// test windows, the text window and the circuit pictures; their entries in the main window,
// and the news of the engine they follow. Where other windows open depends on the pelorus.
class DisplayWindows : public QObject {
    Q_OBJECT

public:
    // What a window opens beside: the main window, or the pelorus when that docked on the main
    // window's right for want of room on its left.
    static const QWidget& WindowsAnchor(const QWidget& main, const QWidget* pelorus);

    DisplayWindows(station::Station& station, mainwindow::MainWindow& main,
                   QObject* parent = nullptr);
    ~DisplayWindows() override;

    // The help texts missing in the program directory are put there; a failure is told.
    void seedHelpTexts();
    // The windows InitMain shows; true when it opened.
    bool openPelorusWindow();
    bool openSmallPelorusWindow();
    // "&Pelorus" (and its button) or "P&elorus smal": the window opens or closes.
    void pelorusMenuClicked(bool small);
    // Right of the main window (of the pelorus when that docked on its right), top edges level,
    // or under the main window where there is no room on the right (the table windows).
    void placeBesideMainWindow(QWidget& window) const;

signals:
    // A pelorus window opened or closed, or the pelorus toggled the main window: the table
    // window's buttons follow.
    void shownWindowsChanged();
    // The output test set the port's extra bits: the port panel shows them.
    void portLineChanged();

private:
    void wireNews();
    void connectMenus();
    void redrawPelorus();
    void renderPelorusEntries();
    void pelorusClosed();
    void smallPelorusClosed();
    void anyWindowClosed();
    void mainToggled();
    void showWebcam();
    void webcamLptOut(bool checked);
    void openLptOutput();
    void openLptInput();
    void lptTestClosed();
    void showText(display::HelpText text);
    // The move log window opens, or comes to the front.
    void showMoveLog();
    // The picture of display::Pictures[index].
    void showPicture(std::size_t index, bool open);
    void exitStarted();
    // A window opened beside the main window and its pelorus, on top of the others.
    void present(QWidget& window) const;

    station::Station& station_;
    core::ProgramState& state_;
    platform::Platform& platform_;
    engine::Engine& engine_;
    mainwindow::MainWindow& window_;
    display::LptOutputTest lptOutput_;
    display::LptInputTest lptInput_;
    display::WebcamTurning webcam_;
    QPointer<display::PelorusWindow> pelorusWindow_;
    QPointer<display::SmallPelorusWindow> smallPelorusWindow_;
    QPointer<display::WebcamWindow> webcamWindow_;
    QPointer<display::LptOutputWindow> lptOutputWindow_;
    QPointer<display::LptInputWindow> lptInputWindow_;
    QPointer<display::TextWindow> textWindow_;
    display::MoveLogLines moveLogLines_;
    QPointer<display::MoveLogWindow> moveLogWindow_;
    std::array<QPointer<display::PictureWindow>, display::Pictures.size()> pictureWindows_;
};

} // namespace app
