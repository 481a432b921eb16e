#pragma once

#include "core/ProgramState.h"
#include "engine/Engine.h"
#include "engine/WheelControl.h"
#include "engine/WheelNotches.h"
#include "platform/Platform.h"
#include "rig/SimulatedRig.h"
#include "table/BandSet.h"
#include "table/TableEditor.h"
#include "table/TableViewModel.h"
#include "table/TableWindowForm.h"
#include "tuning/RigControlView.h"
#include "tuning/RigTuning.h"

#include <QMainWindow>
#include <QStringList>

namespace table {

class BandSetMenu;
class SimulatedRigPanel;

// What the table window forwards its controls to and renders; all of it outlives the window.
struct TableWindowLogic {
    const core::ProgramState& state;
    platform::Platform& platform;
    engine::Engine& engine;
    engine::WheelControl& wheel;
    TableEditor& editor;
    TableViewModel& view;
    tuning::RigTuning& tuning;
    rig::SimulatedRig& simulatedRig;
    BandSets& bandSets;
};

// Form3, the table window: the frequency table with its file, the rig link and automatic
// tuning. It renders the editor, its view model and the tuning, and forwards every control,
// menu, key and wheel turn to them; every handler holds the polls paused, so no poll runs while
// one of its modal boxes is open. Closing it asks the application (closeRequested), which runs
// the tuning's Unload and then lets it go (allowClose()).
class TableWindow : public QMainWindow {
    Q_OBJECT

public:
    explicit TableWindow(const TableWindowLogic& logic, QWidget* parent = nullptr);
    ~TableWindow() override;

    TableWindowForm& form() { return form_; }
    SimulatedRigPanel* simulatedRigPanel() const { return simulatedPanel_; }

    // --- what the logic tells ---
    void render();
    void showCounter(core::Long counter);
    void renderWheelDisplay();
    void setTerminalChecked(bool checked);
    // The next close is let through (the application has run the closing).
    void allowClose() { closeAllowed_ = true; }

signals:
    void closeRequested();
    void mainClicked();
    void pelorusClicked();
    void terminalToggled(bool shown);
    void buildWithVnaRequested();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void connectTable();
    void connectRig();
    void connectMenus();
    void renderList();
    void renderRig(const tuning::RigControlView& v);
    void renderMenus();
    void openSelectMenu(const QPoint& at);
    void storeLimits();
    bool listEvent(QEvent* event);
    // Runs fn with the polls paused (the modal boxes a handler may open).
    template <typename Fn> void act(Fn fn) {
        const auto pause = logic_.tuning.pausePolls();
        fn();
    }

    TableWindowLogic logic_;
    TableWindowForm form_;
    SimulatedRigPanel* simulatedPanel_;
    BandSetMenu* bandSetMenu_;
    engine::WheelNotches wheelNotches_;
    QStringList shownLines_;
    int selectMenuRow_ = 0; // the data row the pop-up was opened for
    bool closeAllowed_ = false;
};

} // namespace table
