#pragma once

#include "core/ProgramState.h"
#include "engine/Engine.h"
#include "engine/NetworkTurns.h"
#include "panel/SpeedPanel.h"
#include "platform/Platform.h"
#include "table/BandSet.h"
#include "table/TableEditor.h"
#include "tuning/RigTuning.h"
#include "vna/BuildSession.h"
#include "web/StationLink.h"

#include <QByteArray>
#include <QJsonObject>
#include <QObject>
#include <functional>
#include <memory>
#include <optional>

namespace web {

// An answer: the HTTP status and its JSON body, or another body of its own type.
struct WebReply {
    int status = 200;
    QJsonObject body;
    QByteArray content; // with contentType set, the body instead of the JSON
    QByteArray contentType;
    QByteArray allow = {}; // a 405's methods, for its Allow header
};

// The JSON API under /api/, without sockets: a request's method, path and body in, the answer
// out. It does what the main and table windows' controls do, through the same logic objects.
// - Every turn is a TurnRequest of origin Network through the engine: while the rig transmits
//   it is refused at once (409) and nothing moves.
// - Bad JSON, a missing or out-of-range value: 400, nothing done. Unknown path: 404; a known
//   one with the wrong method: 405.
// - A turn is answered before it runs: it starts from the event loop, one at a time; a newer
//   one ends the turn under way and takes its place, so a handler never runs inside another.
//   The peak search and the SWR tune run the same way.
// - A jog (press-and-hold) turns towards the limit until stopped, and stops by itself unless
//   asked again within JogLeaseMs: a page that loses its network cannot leave it turning. A
//   jog names its hold; once a hold is stopped (or another request took its place), a late
//   request of it starts nothing.
// - A table build with the VNA starts (or is refused, 409) at once and runs from the event
//   loop; its progress and result are in the state, its picture at /api/vna/report.svg.
class WebApi : public QObject {
    Q_OBJECT

public:
    struct Parts {
        core::ProgramState& state;
        engine::Engine& engine;
        engine::NetworkTurns& turns;
        panel::SpeedPanel& speed;
        tuning::RigTuning& tuning;
        table::TableEditor& editor;
        const table::BandSets& bands;
        vna::BuildSession& vna;
        const StationLink& station;
    };

    static constexpr int JogLeaseMs = 800;
    // The most steps one request may ask for.
    static constexpr int MaxSteps = 1000;
    // How many moves GET /api/moves tells.
    static constexpr int RecentMoves = 20;

    WebApi(const Parts& parts, platform::Platform& platform, QObject* parent = nullptr);
    ~WebApi() override;

    // peer: the client's address, named in the move log's line of the turns it asks for.
    WebReply Handle(const QByteArray& method, const QString& path, const QByteArray& body,
                    const QString& peer = {});
    // What GET /api/state answers and the WebSocket pushes.
    QJsonObject State() const;
    // A turn asked for but not yet started is dropped (the server closes).
    void DropPendingTurn() { dropPending(); }

signals:
    // A row, the table's file or its header changed: State()'s tableRevision counts it.
    void tableChanged();

private:
    using Action = std::function<void()>;
    enum class Kind { Turn, Steps, Jog };
    // The last RecentMoves lines of the move log, oldest first, each with its "text".
    WebReply moves() const;
    WebReply turn(const QJsonObject& request);
    WebReply step(const QJsonObject& request);
    WebReply jog(const QJsonObject& request);
    WebReply stop();
    WebReply speed(const QJsonObject& request);
    WebReply stepper(const QJsonObject& request);
    WebReply lock(const QJsonObject& request);
    WebReply table() const;
    WebReply turnToRow(const QJsonObject& request);
    WebReply addRow();
    WebReply deleteRow(const QJsonObject& request);
    WebReply retune();
    // "Tune now": one turn to the table's position for the rig's frequency, whatever the
    // follow mode and the dead band.
    WebReply tuneNow();
    WebReply band(const QJsonObject& request);
    WebReply peakSearch();
    WebReply swrTune();
    WebReply buildTable(const QJsonObject& request);
    WebReply cancelBuild();
    WebReply buildPicture() const;
    QJsonObject buildState() const;
    // The band set's table of stepper (0 or 1) opened, and the loop turned to its position for
    // the rig's frequency, or to its first row when it does not cover that.
    void goToBand(core::Long stepper, const QString& name);
    QJsonObject tuningState() const;
    // A data row (1..TableLast) from the request's 0-based "row"; nullopt when none.
    std::optional<int> dataRow(const QJsonObject& request) const;
    // 409 while the engine's transmit gate refuses a network turn; else the turn (or, with
    // steps, that many steps from where the motor is) is queued. A refusal is logged as the
    // asked turn when given, else as a turn to where the motor stands.
    WebReply requestTurn(Action action, Kind kind = Kind::Turn, int steps = 0,
                         std::optional<engine::TurnRequest> asked = std::nullopt);
    // n steps from where the motor is (n > 0 down), as a refusal of them is logged.
    engine::TurnRequest stepsAsked(int n) const;
    // The engine's refusal as the API answers it: 409 while the rig transmits or the program
    // ends, else 400 with the engine's words.
    WebReply refusedReply(const engine::TurnRefusal& refusal) const;
    // "web 192.168.1.20": who asked, for the move log.
    QString detail() const;
    void dropPending();
    // The jog under way is no longer asked for; with over, its hold has ended for good.
    void endJog(bool over);

    core::ProgramState& state_;
    engine::Engine& engine_;
    engine::NetworkTurns& turns_;
    panel::SpeedPanel& speedPanel_;
    tuning::RigTuning& tuning_;
    table::TableEditor& editor_;
    const table::BandSets& bands_;
    vna::BuildSession& vna_;
    const StationLink& station_;
    std::unique_ptr<platform::Timer> jogLease_;
    int pendingSteps_ = 0;
    int jogDirection_ = 0; // of the jog asked for and not yet ended: 1 up, -1 down
    QString jogHold_;
    QStringList endedHolds_; // the last few
    int tableRevision_ = 0;
    QString peer_; // of the request being handled
};

} // namespace web
