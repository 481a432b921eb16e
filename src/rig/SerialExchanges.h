#pragma once

#include "platform/Platform.h"
#include "rig/ReplyTaker.h"
#include "rig/SerialLink.h"
#include "rig/SerialSettings.h"

#include <QByteArray>
#include <QString>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace rig {

// Time a reply may take beyond the wire time of the request and of the reply itself: the rig's
// processing (a few ms to a few tens of ms on these transceivers) plus the delivery latency of
// a USB serial adapter in each direction (up to 16 ms each), with headroom. Long enough that a
// working rig is never taken for a silent one (a reading lost, nothing followed),
// short enough that a silent rig holds the link for about a tenth of a second per request.
inline constexpr double RigLatencyMarginMs = 100;

// A reply that takes longer than this on the wire (the FT-757GXII's paced status block, about
// 4 s): a command asked for meanwhile is refused rather than sent seconds late.
inline constexpr double LongReplyAboveMs = 250;

// The requests of a serial rig link, one on the line at a time, whatever its protocol: each
// request knows its reply by its own ReplyTaker. Nothing waits: a request goes out once the line
// is quiet, its reply is taken as it arrives (as the line tells, and by a reader every
// ReadEveryMs) and it is answered when it is whole or its time is up. A rig that could not take
// a request (busy, a collision on its bus) is sent it again AgainAfterMs later, Tries times in
// all.
//
// A link that listens (listen()) hears the line all the time: what comes while no request is on
// the line, or is not the reply of the one that is, is the rig speaking unasked. A link that
// does not has the line cleared before each request.
//
// Requests, commands and the rests some commands need take their turns in the order they were
// asked for: a turn comes once the turns before it are done, no request is under way and the rig
// has settled after the last frame that needs it. Only frames sent whenLineFree (the PTT) and a
// close go ahead of the turns.
//
// A line that cannot be written is lost: it is closed, what is under way and waiting is answered
// with nothing, and it is reopened by itself, ever less often (ReopenMs .. LongestReopenMs),
// until it is back or the link is closed; the link then greets the rig again (reopened()).
class SerialExchanges {
public:
    static constexpr int ReadEveryMs = 10; // how often received bytes are looked at
    static constexpr int ReopenMs = 1000;  // first try to reopen a lost line
    static constexpr int LongestReopenMs = 8000;
    static constexpr int Tries = 3;         // sendings of a request the rig asked again for
    static constexpr int AgainAfterMs = 30; // the pause before it is sent again
    // Writes the bytes and logs them under name; false when the line could not be written.
    using Write = std::function<bool(const QByteArray& bytes, const QString& name)>;

    SerialExchanges(platform::Platform& platform, SerialLink& link, Write write);
    ~SerialExchanges();
    SerialExchanges(const SerialExchanges&) = delete;
    SerialExchanges& operator=(const SerialExchanges&) = delete;

    void setLink(SerialLink& link) { link_ = &link; }
    // What the rig says while no request of ours is on the line: taken from the front of
    // received as it arrives.
    void listen(std::function<void(QByteArray& received)> unasked);
    // Told when a lost line was lost (after it closed) and when it is back (the link greets the
    // rig there).
    void onLost(std::function<void()> lost) { lost_ = std::move(lost); }
    void onReopened(std::function<void()> reopened) { reopened_ = std::move(reopened); }

    // --- the line ---
    // A line just opened (COM<port> with settings): no pacing, no echo, nothing owed or waiting.
    void start(int port, const QString& settings);
    // The link closes: nothing more is taken, reopened, or run; what waits is dropped unanswered.
    void close();
    // The line cannot be written (why): lost, see above. Nothing while it is not started or
    // lost already.
    void lose(const QString& why);
    bool lost() const { return lostLine_; }
    // A lost line is no longer reopened.
    void forgetLoss();

    // --- requests and turns ---
    // Sends the request in its turn, once the line is quiet; its taker knows and tells its
    // reply, with nothing when it could not be written.
    void ask(const QByteArray& request, const QString& name, std::shared_ptr<ReplyTaker> taker);
    // Writes a frame that gets no reply in its turn; told whether it was written.
    void send(const QByteArray& frame, const QString& name, std::function<void(bool)> written);
    // The rig settles for ms from this turn on: no turn comes before that.
    void restFor(double ms);
    // Runs then in its turn (at once when nothing is ahead of it).
    void inTurn(std::function<void()> then);
    // Nothing is ahead of a turn asked for now: it runs at once.
    bool free() const;
    // A request is on the line: what else is written waits for its answer (whenLineFree).
    bool onLine() const { return onLine_; }
    // The request on the line gets a reply longer than LongReplyAboveMs.
    bool longReplyOnLine() const;
    // Runs send now, or once the request on the line is answered (before its answer is told).
    void whenLineFree(std::function<void()> send);
    // Answers the request under way at once with nothing (what waited for the line goes first),
    // then runs the turns waiting, the rig's rest cut short; their requests are answered with
    // nothing, unsent.
    void abandon();
    // Drops the request under way unanswered, and what waited for it or for its turn.
    void stop();

    // --- what the line is like ---
    // The pause between reply bytes of a rig that paces its replies, as last set.
    void setPaceMs(int ms) { traits_.paceMs = ms; }
    // A command was just written: what the rig answers to it, or the line gives back, is let
    // in before the next request.
    void commandWritten(bool acknowledged);

private:
    struct Pending {
        QByteArray request;
        QString name;
        std::shared_ptr<ReplyTaker> taker;
        int sent = 0;
    };
    void sendPending();
    void serveTurns();
    void take(bool limitReached = false);
    void answer(bool withReply);
    void reopen();
    void hear(bool on);
    void limitAt(double deadlineMs);

    platform::Platform& platform_;
    SerialLink* link_;
    Write write_;
    std::function<void(QByteArray&)> unasked_;
    std::function<void()> lost_;
    std::function<void()> reopened_;
    std::unique_ptr<platform::Timer> quiet_;
    std::unique_ptr<platform::Timer> reader_;
    std::unique_ptr<platform::Timer> limit_;
    std::unique_ptr<platform::Timer> rest_;
    std::unique_ptr<platform::Timer> reopener_;
    LineTraits traits_;
    int port_ = 0;
    QString settings_;
    bool started_ = false;  // a line was started and the link not closed
    bool lostLine_ = false; // the line is lost and waits to be reopened
    int reopenMs_ = ReopenMs;
    bool hearing_ = false;  // the reader runs and the line tells arrivals
    double quietAtMs_ = 0;  // by then the rig has answered the last command, if it does
    double restedAtMs_ = 0; // by then the rig has settled after the last frame that needs it
    std::deque<std::function<void()>> turns_;
    bool abandoning_ = false; // the turns waiting run unsent
    std::optional<Pending> pending_;
    bool onLine_ = false;   // the pending request has been written
    bool againDue_ = false; // it goes again when limit_ fires
    QByteArray received_;
    double deadlineMs_ = 0;
    std::vector<std::function<void()>> afterReply_;
};

} // namespace rig
