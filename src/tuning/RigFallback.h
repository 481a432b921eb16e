#pragma once

#include "platform/Platform.h"
#include "rig/RigConnection.h"
#include "tuning/FallbackChoice.h"

#include <QObject>
#include <QString>
#include <memory>

namespace tuning {

// Following through the fallback link while the first gives no reading: after SwitchAfterMs
// without a frequency from the first, the fallback is opened and polled, and its readings are
// followed; the first is polled on, and its first frequency closes the fallback again. Each
// switch is one log line and shows (text()). A fallback that does not open is tried again only
// when following starts anew. Only one of the two talks to the rig's serial port: the owner
// does not watch with a fallback that shares the first's (FallbackChoice::sharesLineWith).
class RigFallback : public QObject {
    Q_OBJECT

public:
    static constexpr int SwitchAfterMs = 10000;

    explicit RigFallback(platform::Platform& platform, QObject* parent = nullptr);
    ~RigFallback() override;

    // The fallback and its link (nullptr: none); it must outlive this.
    void setLink(const FallbackChoice& choice, rig::RigConnection* link);
    const FallbackChoice& choice() const { return choice_; }
    // Following with the first link open (named first, talking on COM port) or not; off closes
    // the fallback.
    void Watch(bool on, const QString& first = {}, int port = 0, int pollMs = 1000);
    // The first link read a frequency: the fallback, when open, closes.
    void FirstHeard();
    bool active() const { return active_; }
    // "following the fallback link rigctld localhost:4532: no reading from IC-7300" while
    // active, else empty.
    QString text() const;

signals:
    // A reading of the fallback while it is followed.
    void readingArrived(const rig::RigReading& reading);
    void changed();

private:
    void switchOver();
    void close();

    platform::Platform& platform_;
    FallbackChoice choice_;
    rig::RigConnection* link_ = nullptr;
    std::unique_ptr<platform::Timer> silence_;
    std::unique_ptr<platform::Timer> poll_;
    QString first_;
    int port_ = 0;
    int pollMs_ = 1000;
    bool watching_ = false;
    bool active_ = false;
};

} // namespace tuning
