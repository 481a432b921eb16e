#pragma once

#include "core/ProgramState.h"
#include "engine/Engine.h"
#include "rig/RigTuning.h"
#include "table/TableEditor.h"
#include "web/StationLink.h"

#include <QByteArray>
#include <QJsonObject>
#include <QObject>
#include <functional>
#include <optional>

namespace web {

// An answer: the HTTP status and its JSON body.
struct WebReply {
    int status = 200;
    QJsonObject body;
};

// The JSON API under /api/, without sockets: a request's method, path and body in, the answer
// out. It does what the main and table windows' controls do, through the same logic objects.
// - Every turn is a TurnRequest of origin Network through the engine: while the rig transmits
//   it is refused at once (409) and nothing moves.
// - Bad JSON, a missing or out-of-range value: 400, nothing done. Unknown path: 404; a known
//   one with the wrong method: 405.
// - A turn is answered before it runs: it starts from the event loop, one at a time; a newer
//   one ends the turn under way and takes its place, so a handler never runs inside another.
class WebApi : public QObject {
    Q_OBJECT

public:
    struct Parts {
        core::ProgramState& state;
        engine::Engine& engine;
        rig::RigTuning& tuning;
        table::TableEditor& editor;
        const StationLink& station;
    };

    explicit WebApi(const Parts& parts, QObject* parent = nullptr);

    WebReply Handle(const QByteArray& method, const QString& path, const QByteArray& body);
    // What GET /api/state answers and the WebSocket pushes.
    QJsonObject State() const;
    // A turn asked for but not yet started is dropped (the server closes).
    void DropPendingTurn() { dropPending(); }

signals:
    // A row, the table's file or its header changed: State()'s tableRevision counts it.
    void tableChanged();

private:
    using Action = std::function<void()>;
    WebReply turn(const QJsonObject& request);
    WebReply step(const QJsonObject& request);
    WebReply stop();
    WebReply speed(const QJsonObject& request);
    WebReply stepper(const QJsonObject& request);
    WebReply lock(const QJsonObject& request);
    WebReply table() const;
    WebReply turnToRow(const QJsonObject& request);
    WebReply addRow();
    WebReply deleteRow(const QJsonObject& request);
    WebReply retune();
    // A data row (1..TableLast) from the request's 0-based "row"; nullopt when none.
    std::optional<int> dataRow(const QJsonObject& request) const;
    // 409 while the engine's transmit gate refuses a network turn; else the turn (or, with
    // steps, that many steps from where the motor is) is queued.
    WebReply requestTurn(Action action, int steps = 0);
    void dropPending();
    void drive();

    core::ProgramState& state_;
    engine::Engine& engine_;
    rig::RigTuning& tuning_;
    table::TableEditor& editor_;
    const StationLink& station_;
    std::optional<Action> pending_;
    bool pendingIsStep_ = false;
    int pendingSteps_ = 0;
    bool steppingNow_ = false;
    bool driveQueued_ = false;
    bool driving_ = false;
    int tableRevision_ = 0;
};

} // namespace web
