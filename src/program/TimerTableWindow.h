#pragma once

#include "core/ProgramState.h"
#include "platform/Platform.h"
#include "program/ProgramWindow.h"
#include "program/TimerTable.h"
#include "program/Turner.h"

class QAction;
class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace program {

// Form5, the timer table: the input boxes of a record, the list, the clock and the next turn,
// the timer switch and the LoadFile and Hide menus, on a TimerTable the station keeps. The
// table's clock keeps running while the window is hidden ("Timertable runs on background.")
// and stops when it closes. A close during a timed turn stops the turn.
class TimerTableWindow : public ProgramWindow {
    Q_OBJECT

public:
    // Inner height: 3645 twips at 15 twips per pixel.
    static constexpr int InnerHeight = 243;

    // table outlives the window.
    TimerTableWindow(core::ProgramState& state, TimerTable& table, QWidget* parent = nullptr);

    TimerTable& table() { return table_; }

    QLineEdit* txtTijd;
    QLineEdit* txtStappen;
    QCheckBox* Check1;
    QPushButton* cmdInvoer;
    QLineEdit* txtKill;
    QPushButton* cmdKill;
    QListWidget* List1;
    QLabel* lblRecords;
    QLabel* lblTijdToGo;
    QLabel* lblTimer;
    QPushButton* cmdTimerOn;
    QPushButton* cmdHoofd;
    QAction* mnuLaadFile1;
    QAction* mnuLaadFile2;
    QAction* mnuClearFile;
    QAction* mnuExit;
    QAction* mnuVerbergTimer;

signals:
    // cmdHoofd: show or hide the main window.
    void mainToggled();
    // mnuVerbergTimer: the window was hidden; runs tells that the table turns on in the
    // background.
    void hiddenToBackground(bool runs);

protected:
    void stopLogic() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildMenus();
    void render();
    void add();
    void kill();
    void copyRecord(int row);
    void setStepper(bool second);

    core::ProgramState& state_;
    TimerTable& table_;
};

} // namespace program
