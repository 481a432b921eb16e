#pragma once

#include "platform/Platform.h"
#include "rig/RigCaps.h"
#include "rig/SerialLink.h"
#include "rig/SerialSettings.h"

#include <QByteArray>
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

// What came back for a request: every byte received, and the reply taken from them (the last
// replyLength bytes, or all when fewer came).
struct ExchangeReply {
    QByteArray received;
    QByteArray bytes;
    bool complete = false;
};

// The Yaesu binary CAT line's requests, one on the line at a time. The protocol has no framing:
// a reply is known by the length the request on the line gets. Nothing waits: a request goes out
// once the line is quiet, its reply is taken as it arrives (as the line tells, and by a reader
// every ReadEveryMs), and it is answered when it is whole or its time is up: the first byte
// within the wire time of the request and one byte plus RigLatencyMarginMs, the rest within its
// own wire time (plus the pacing between bytes of a rig that paces its replies) plus
// RigLatencyMarginMs.
//
// Stray bytes do not spoil a reply: what the rig answers to a command (an acknowledgement, an
// echo) is let in and dropped before the next request, a line that gives the request back
// ahead of the reply is recognised, and of a reply longer than expected the last bytes are
// taken. Frames the link sends while a request is on the line wait until it is answered.
//
// Requests, commands and the rests some commands need take their turns in the order they were
// asked for: a turn comes once the turns before it are done, no request is under way and the rig
// has settled after the last frame that needs it. Only the PTT (whenLineFree) and a close go
// ahead of the turns.
class CatExchanges {
public:
    static constexpr int ReadEveryMs = 10; // how often received bytes are looked at
    using Answer = std::function<void(const ExchangeReply& reply)>;
    // Writes one frame and logs it; false when the line could not be written.
    using Write = std::function<bool(const Frame& frame, const char* name)>;

    CatExchanges(platform::Platform& platform, SerialLink& link, Write write);
    ~CatExchanges();
    CatExchanges(const CatExchanges&) = delete;
    CatExchanges& operator=(const CatExchanges&) = delete;

    void setLink(SerialLink& link) { link_ = &link; }
    // A line just opened with these settings: no pacing, no echo, nothing owed.
    void start(const SerialSettings& line);
    // The pause between reply bytes of a rig that paces its replies, as last set.
    void setPaceMs(int ms) { paceMs_ = ms; }
    // A command was just written: what the rig answers to it, or the line gives back, is let
    // in before the next request.
    void commandWritten(bool acknowledged);

    // Sends the request in its turn, once the line is quiet, and answers with its reply; at
    // once, with nothing, when it cannot be written.
    void ask(const Frame& request, const char* name, int replyLength, Answer answer);
    // The rig settles for ms from this turn on: no turn comes before that.
    void restFor(double ms);
    // Runs then in its turn (at once when nothing is ahead of it).
    void inTurn(std::function<void()> then);
    // Nothing is ahead of a turn asked for now: it runs at once.
    bool free() const;
    // A request is on the line: what else is written waits for its answer (whenLineFree).
    bool onLine() const { return phase_ != Phase::Quiet; }
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

private:
    enum class Phase { Quiet, First, Rest, Echo };
    struct Pending {
        Frame frame;
        QByteArray frameBytes;
        const char* name;
        int replyLength;
        Answer answer;
    };
    void sendPending();
    void serveTurns();
    void take();
    void conclude();
    void answerWith(const ExchangeReply& reply);
    double restMs(qint64 count) const;
    void limitAt(double deadlineMs);

    platform::Platform& platform_;
    SerialLink* link_;
    Write write_;
    std::unique_ptr<platform::Timer> quiet_;
    std::unique_ptr<platform::Timer> reader_;
    std::unique_ptr<platform::Timer> limit_;
    std::unique_ptr<platform::Timer> rest_;
    SerialSettings line_;
    int paceMs_ = 0;
    double quietAtMs_ = 0;  // by then the rig has answered the last command, if it does
    double restedAtMs_ = 0; // by then the rig has settled after the last frame that needs it
    std::deque<std::function<void()>> turns_;
    bool abandoning_ = false; // the turns waiting run unsent
    bool echo_ = false;       // the line gave the last request back ahead of its reply
    std::optional<Pending> pending_;
    Phase phase_ = Phase::Quiet;
    QByteArray received_;
    qint64 wanted_ = 0;
    double deadlineMs_ = 0;
    std::vector<std::function<void()>> afterReply_;
};

} // namespace rig
