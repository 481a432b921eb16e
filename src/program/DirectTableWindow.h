#pragma once

#include "core/ProgramState.h"
#include "engine/WheelNotches.h"
#include "platform/Platform.h"
#include "program/DirectTable.h"
#include "program/ProgramWindow.h"
#include "program/Turner.h"
#include "program/TurnlistFiles.h"

#include <array>

class QAction;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace program {

// Form8, the direct table: the program box, the Start/Running button, the label of the value in
// hand and the Files, Save, Exit and Info menus. It renders its DirectTable and forwards to it;
// the speed keys (N, M, F, C), Esc, Space and the wheel go to the main window's commands
// through keyCommand() and wheelTurned().
class DirectTableWindow : public ProgramWindow {
    Q_OBJECT

public:
    // Inner size: 9825 x 1575 twips at 15 twips per pixel.
    static constexpr int Width = 655;
    static constexpr int InnerHeight = 105;

    DirectTableWindow(const core::ProgramState& state, platform::Platform& platform, Turner& turner,
                      const QString& programDirectory, QWidget* parent = nullptr);

    DirectTable& table() { return table_; }

    QGroupBox* Frame1;
    QLineEdit* txtData;
    QPushButton* cmdRun;
    QLabel* lblAktueel;
    QAction* mnuDefault;
    QAction* mnuLoad1;
    QAction* mnuLoad2;
    QAction* mnuLoad3;
    QAction* mnuSave;
    QAction* mnuExit;
    QAction* mnuInfo;

signals:
    // Whole wheel notches and the wheel's shift argument, for the main window's wheel function.
    void wheelTurned(int notches, int shift);

protected:
    void stopLogic() override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    void buildMenus();
    void load(int n);
    void renderChecks();
    void showText();
    bool commandKey(QKeyEvent* event);

    platform::Platform& platform_;
    DirectTable table_;
    TurnlistFiles files_;
    std::array<QAction*, 4> loadEntries_{};
    engine::WheelNotches wheelNotches_;
};

} // namespace program
