#pragma once

#include "platform/Platform.h"

#include <QByteArray>
#include <QObject>
#include <functional>
#include <memory>

namespace web {

// The pace of the WebSocket's state messages: a change is pushed at once when the last push is
// IntervalMs ago, else when it will be, with the state of that moment, so a turn at any step
// rate gives at most 1000 / IntervalMs messages a second and its last value always goes out.
// A state equal to the one pushed last is not pushed again. While running, the state is also
// looked at every PollMs for what changes without telling (the rig's transmit, the timer's
// next turn).
// A turn's moves go out at most every MoveIntervalMs after the last move pushed (the page glides
// its needle between them), and they come many times per interval: one that cannot go out yet
// waits for the first move after the interval, which the program is awake for anyway, and wakes
// it by a timer only when none comes within LateMs of that. Every message costs a write to each
// socket, every wake more. Another change's push does not hold a move back: the push that says
// a turn has begun does not delay its first step, nor that of a click's one-step turn.
class WebStatePush : public QObject {
    Q_OBJECT

public:
    static constexpr int IntervalMs = 50;
    static constexpr int PollMs = 250;
    static constexpr int MoveIntervalMs = 100;
    static constexpr int LateMs = 25;

    // state() gives the message to push; times and timers are platform's.
    WebStatePush(platform::Platform& platform, std::function<QByteArray()> state,
                 QObject* parent = nullptr);
    ~WebStatePush() override;

    // While there are clients; start() forgets what was pushed, so the next change goes out.
    void start();
    void stop();
    // Something the state shows may have changed.
    void changed();
    // The position moved: more moves are coming while it turns.
    void moved();
    // The state now, as the last one pushed (what a new client gets first).
    QByteArray current();

signals:
    void push(const QByteArray& message);

private:
    // Pushes now when earliestMs has come, else by the timer lateMs after it.
    void pace(double earliestMs, int lateMs);
    void pushNow();

    platform::Platform& platform_;
    std::function<QByteArray()> state_;
    std::unique_ptr<platform::Timer> paceTimer_;
    std::unique_ptr<platform::Timer> pollTimer_;
    QByteArray pushed_;
    double pushedMs_ = -IntervalMs;
    double movePushedMs_ = -MoveIntervalMs; // the last push that carried a move
    bool moveWaiting_ = false;
    double timerDueMs_ = 0;
    bool running_ = false;
};

} // namespace web
