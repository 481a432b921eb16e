#pragma once

#include "app/DisplayWindows.h"
#include "display/CatTerminalWindow.h"
#include "mainwindow/MainWindow.h"
#include "station/Station.h"
#include "table/TableWindow.h"
#include "vna/BuildPresenter.h"
#include "vna/VnaBuildDialog.h"

#include <QObject>
#include <QPointer>
#include <memory>

namespace app {

// The table window (Form3) on the station's following of the rig, and the CAT terminal: opened
// from the main window's table entry and button or at start-up, one of the table, direct and
// timer windows at a time, and closed first on the way out (PTT off, port closed, table saved).
class TableWindows : public QObject {
    Q_OBJECT

public:
    TableWindows(station::Station& station, mainwindow::MainWindow& main,
                 DisplayWindows& displays, QObject* parent = nullptr);
    ~TableWindows() override;

    // The table window and the CAT terminal while they are open.
    table::TableWindow* tableWindow() const { return tableWindow_; }
    display::CatTerminalWindow* catTerminal() const { return terminal_; }
    // True when the window is open afterwards.
    bool openTableWindow();
    // The window's closing (PTT off, port closed, a changed table saved); on the way out also
    // without a question, and TableWindowShown stays for the next start. With keepLink
    // (another table window opens) the rig's port stays open: the engine's gate still learns
    // whether the rig transmits.
    void closeTableWindow(bool exiting, bool keepLink = false);

signals:
    // The window is about to open: the other table windows close first.
    void opening();

private:
    void showCatTerminal(bool shown);
    // The "Build with VNA…" dialog, one for the program's life (a build outlives the table
    // window).
    void showVnaBuild();
    void mainWindowClicked();
    void render();

    station::Station& station_;
    core::ProgramState& state_;
    engine::Engine& engine_;
    engine::WheelControl& wheel_;
    tuning::RigTuning& tuning_;
    mainwindow::MainWindow& window_;
    DisplayWindows& displays_;
    QPointer<table::TableWindow> tableWindow_;
    QPointer<display::CatTerminalWindow> terminal_;
    std::unique_ptr<vna::BuildPresenter> vnaPresenter_;
    QPointer<vna::VnaBuildDialog> vnaDialog_;
};

} // namespace app
