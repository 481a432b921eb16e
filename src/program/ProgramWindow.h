#pragma once

#include <QWidget>

namespace program {

// A window of programmed turning. Closing it (its close box, its Exit entry, the main
// window's table buttons, a stepper switch) tells closed() and hides it at once; it is deleted
// only when no handler of its own is running any more, so a handler waiting inside a turn
// returns to a window that still stands. Each handler of the window runs through handle().
// Esc and Space stop a turn from anywhere in the window, as in the main window; Enter presses
// the focused button.
class ProgramWindow : public QWidget {
    Q_OBJECT

public:
    bool isClosed() const { return closed_; }

signals:
    // The window closed; its logic has stopped what it was doing.
    void closed();
    // A command key of the main window: a virtual key code and modifier mask (engine/KeyCodes).
    void keyCommand(int virtualKey, int shift);

protected:
    explicit ProgramWindow(QWidget* parent = nullptr);

    template <typename Handler> void handle(Handler&& handler) {
        ++handlers_;
        handler();
        leave();
    }
    // Work of the logic that is no handler of the window (a timed turn): the window waits for
    // it as for a handler.
    void holdOpen() { ++handlers_; }
    void leave();

    // The logic stops its run or its clock; called once, when the window closes.
    virtual void stopLogic() = 0;
    void closeEvent(QCloseEvent* event) override;
    // Esc and Space of every control go to keyCommand() before the control has them (Space would
    // click a button), as the main window's key preview does, and Enter presses a focused
    // button. Called once the controls exist.
    void routeStopKeys();
    // True when the key was Esc or Space, sent to keyCommand().
    bool stopKey(QKeyEvent* event);
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    int handlers_ = 0;
    bool closed_ = false;
};

} // namespace program
