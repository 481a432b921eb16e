#pragma once

#include <QDateTime>
#include <QString>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

namespace platform {

class SteppingThread;

enum class Icon { None, Information, Exclamation, Critical, Question };
enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel };
enum class Answer { Ok, Cancel, Yes, No };

// The answer of a box nobody answers: Cancel where it is offered, else No (a question asks
// before something is done), else Ok.
inline Answer UnansweredAnswer(Buttons buttons) {
    switch (buttons) {
    case Buttons::YesNo:
        return Answer::No;
    case Buttons::OkCancel:
    case Buttons::YesNoCancel:
        return Answer::Cancel;
    case Buttons::Ok:
        break;
    }
    return Answer::Ok;
}

// A repeating window timer: calls back on the GUI thread every interval while active, the first
// time one interval after start(). Destroying it stops it.
class Timer {
public:
    virtual ~Timer() = default;
    virtual void start(int intervalMs) = 0; // (re)starts with this interval
    virtual void stop() = 0;
    virtual bool isActive() const = 0;
    virtual int interval() const = 0;
};

// Everything the program needs of the world outside: time, waiting, and talking to the user.
// The program reaches the user only through this seam, so every window can be driven by a test.
class Platform {
public:
    virtual ~Platform() = default;

    // Milliseconds on a steady clock that never goes back; the origin is arbitrary.
    virtual double steadyMs() const = 0;
    // Local date and time of day.
    virtual QDateTime now() const = 0;

    // Waits until steadyMs() reaches deadlineMs. With yield the event loop runs meanwhile, so
    // handlers may run (and may start turns, close windows or end the program); without it the
    // thread only sleeps. Returns at once when the deadline has passed.
    virtual void waitUntil(double deadlineMs, bool yield) = 0;
    void waitMs(double ms, bool yield = true) { waitUntil(steadyMs() + ms, yield); }
    // Runs the pending events once.
    virtual void processEvents() = 0;
    // As waitUntil, but also returns once wakeUp() has been called since the last such return.
    virtual void waitUntilWoken(double deadlineMs, bool yield) { waitUntil(deadlineMs, yield); }
    // From any thread: ends the waitUntilWoken in progress, or the next one, at once.
    virtual void wakeUp() {}
    // The thread that times the steps; null where the steps run inline, on the caller's thread
    // (a test's virtual clock).
    virtual SteppingThread* steppingThread() { return nullptr; }

    // A new, stopped timer that calls onTimeout; the window owning it keeps it.
    virtual std::unique_ptr<Timer> createTimer(std::function<void()> onTimeout) = 0;
    // The same for a window that refreshes what it shows on its own (a clock, inputs read and
    // shown): it may fire a little late, so that such timers come due together and share the
    // GUI thread's wake-ups.
    virtual std::unique_ptr<Timer> createDisplayTimer(std::function<void()> onTimeout) {
        return createTimer(std::move(onTimeout));
    }

    virtual void beep() = 0;

    // A modal message box; returns the button pressed.
    virtual Answer messageBox(const QString& text, const QString& title, Icon icon,
                              Buttons buttons = Buttons::Ok) = 0;
    // A message that waits for nobody: shown without blocking (the caller goes on at once, a
    // turn under way included) and left for the user to close; without a display a log line.
    // For news the program must not stop for, such as a file that cannot be written mid-turn.
    virtual void notify(const QString& text, const QString& title, Icon icon) = 0;
    // A modal input box; returns the typed text, or an empty text on Cancel.
    virtual QString inputBox(const QString& prompt, const QString& title,
                             const QString& defaultText) = 0;
    // The colour dialog; colours are 0x00BBGGRR. nullopt when cancelled.
    virtual std::optional<std::int32_t> chooseColor(std::int32_t initial) = 0;

    // Nobody answers from now on (the program ends on a signal or with the session): a dialog
    // that is open closes as if cancelled, and later ones are not shown but logged. Every
    // dialog then answers as nobody would: a box UnansweredAnswer(), an input box an empty text,
    // the colour dialog nullopt. Code after a dialog must still check that what it works on is
    // there, and stop once the program ends.
    virtual void dismissDialogs() = 0;
};

} // namespace platform
