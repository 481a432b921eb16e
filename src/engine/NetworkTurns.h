#pragma once

#include <QObject>
#include <QPointer>
#include <functional>
#include <optional>

namespace engine {

class Engine;

// The turns the network asks for (rotctld clients, the web API), shared by them: run one at a
// time from the event loop, so that a request handler never runs inside another and a client
// gone mid-turn leaves nothing behind. The latest wins: a new one takes the place of the one
// waiting and ends the one under way (unless told to let it finish); a stop drops the one
// waiting. Each caller tags its turns with its own kind, told back only to it.
class NetworkTurns : public QObject {
    Q_OBJECT

public:
    using Action = std::function<void()>;

    explicit NetworkTurns(Engine& engine, QObject* parent = nullptr);

    // action runs next, while owner lives.
    void Put(QObject* owner, Action action, int kind = 0, bool letFinish = false);
    // Drops the turn waiting and stops whatever turns (and the rig's following).
    void Stop();
    // Drops owner's turn if one waits; what turns goes on.
    void Drop(const QObject* owner);
    // The kind of owner's turn waiting, or running now.
    std::optional<int> waiting(const QObject* owner) const;
    std::optional<int> running(const QObject* owner) const;
    bool busy() const { return driving_; }

signals:
    // A turn of owner's ended (and the next, if any, is about to run).
    void ran(const QObject* owner, int kind);

private:
    struct Turn {
        QPointer<QObject> owner;
        Action action;
        int kind = 0;
    };
    void drive();

    Engine& engine_;
    std::optional<Turn> waiting_;
    std::optional<Turn> running_;
    bool driveQueued_ = false;
    bool driving_ = false;
};

} // namespace engine
