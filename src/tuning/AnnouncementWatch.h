#pragma once

#include <QObject>
#include <QString>
#include <optional>

namespace tuning {

// Whether a link that announces the rig's changes still does. Icom's transceive, the Kenwood
// family's auto-information and WSJT-X's status and heartbeat datagrams tell a change at once;
// the polls beside them are the check. A quiet dial announces nothing, so silence alone proves
// nothing: the announcements have stopped when polls read, UnannouncedPolls times in a row, a
// dial that no announcement told (transceive switched off on the rig, auto-information lost
// with the rig's power). Then one log line and a visible notice until an announcement comes
// again (one more line). A link never heard announcing since it opened is not watched.
class AnnouncementWatch : public QObject {
    Q_OBJECT

public:
    static constexpr int UnannouncedPolls = 3;

    using QObject::QObject;

    // The link opened or closed: nothing heard yet; a notice goes without a log line.
    void Reset();
    // The rig (or the program) told something unasked; kHz when it told the dial.
    void Announced(std::optional<float> kHz);
    // The program set the rig's dial itself: no announcement is owed for it.
    void Sent(float kHz);
    // A poll read the dial.
    void Polled(float kHz);
    // A poll went unanswered: what the dial did meanwhile was announced to nobody, so the next
    // poll's dial is the one later polls are held to.
    void Unanswered();

    bool stopped() const { return stopped_; }
    // "announcements stopped; polling carries following" while stopped, else empty.
    QString text() const;

signals:
    void changed();

private:
    void setStopped(bool stopped);

    bool heard_ = false;        // announcements since the link opened
    std::optional<float> dial_; // as last announced or sent, or first polled after a silence
    int unannounced_ = 0;       // polls in a row that read another dial
    bool stopped_ = false;
};

} // namespace tuning
