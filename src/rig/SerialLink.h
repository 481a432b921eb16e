#pragma once

#include <QByteArray>
#include <QString>
#include <functional>

namespace rig {

// The outcome of opening a link: on failure the link stays closed and error is the system's
// explanation, ready to show to the user.
struct [[nodiscard]] LinkOpenResult {
    bool ok = false;
    QString error;
};

// The serial line to the transceiver: a real port or the simulated rig. Every call on a closed
// link does nothing and reports failure (no bytes, false).
class SerialLink {
public:
    virtual ~SerialLink() = default;

    // Opens COM<port> (1..4) with a settings text such as "4800,N,8,2"; an open link is closed
    // first.
    virtual LinkOpenResult open(int port, const QString& settings) = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
    // What the link is, for messages and the CAT log ("/dev/ttyUSB0", "Simulated rig").
    virtual QString description() const = 0;

    // Modem control lines. False when the line cannot be set (a pseudo-terminal has none); the
    // link keeps working without it.
    [[nodiscard]] virtual bool setRts(bool on) = 0;
    [[nodiscard]] virtual bool setDtr(bool on) = 0;

    // Bytes received and not yet read.
    virtual qint64 bytesWaiting() = 0;
    // Drops every byte received so far.
    virtual void discardInput() = 0;
    // Takes every byte received so far.
    virtual QByteArray readAll() = 0;
    // Hands the bytes to the line; false when they could not all be written (device gone).
    [[nodiscard]] virtual bool write(const QByteArray& bytes) = 0;
    // Calls arrived, from the event loop, soon after bytes come in; an empty one calls nothing.
    // A link that cannot tell never calls it: its reader polls.
    virtual void onArrival(std::function<void()> arrived) { (void)arrived; }
};

} // namespace rig
