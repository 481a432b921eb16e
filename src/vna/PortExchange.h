#pragma once

#include "vna/VnaPort.h"

#include <QByteArray>
#include <functional>

namespace platform {
class Platform;
}

namespace vna {

// One request and its reply on the VNA's port. The reply is gathered until the dialect's
// rule says it is whole, the time allowed has passed or the device is gone; the event loop
// runs meanwhile (in short waits on the platform's clock), so the window stays alive during
// a sweep of a second or more.
class PortExchange {
public:
    enum class Outcome { Complete, Silent, Gone, Aborted };
    struct Reply {
        Outcome outcome = Outcome::Silent;
        QByteArray bytes; // all that arrived, whole or not
    };

    PortExchange(VnaPort& port, platform::Platform& platform) : port_(port), platform_(platform) {}

    // Drops what arrived unasked, writes request and gathers the reply until whole(bytes).
    // timeoutMs on the platform's clock.
    Reply exchange(const QByteArray& request,
                   const std::function<bool(const QByteArray& bytes)>& whole, double timeoutMs);
    // Gathers what arrives for ms, without writing.
    QByteArray gather(double ms);
    // From a handler while an exchange waits: it ends at once, Aborted; so does the next one
    // when none waits, until open() is called.
    void abort() { aborted_ = true; }

    // Opens the port on device unless it is open, and forgets an abort; an empty text, or why
    // the port cannot be opened.
    QString open(const QString& device);
    // What a reply that was not whole means, for the user.
    static QString FailureText(const QString& device, Outcome outcome);

    VnaPort& port() { return port_; }

private:
    VnaPort& port_;
    platform::Platform& platform_;
    bool aborted_ = false;
};

} // namespace vna
