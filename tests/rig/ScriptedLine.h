#pragma once

#include "platform/Platform.h"
#include "rig/SerialLink.h"

#include <QByteArray>
#include <QString>
#include <deque>
#include <functional>
#include <vector>

namespace rig_test {

// A serial line on the platform's clock to a rig that the test plays: every write is one
// message, handed to rig(), whose answer arrives replyAfterMs later. The controls: echo (a
// one-wire bus gives every byte back at once), silent (the rig says nothing), gone (the device
// pulled out: opening and writing fail), arrive() for what the rig sends unasked.
class ScriptedLine final : public rig::SerialLink {
public:
    static constexpr double ReplyAfterMs = 15;

    explicit ScriptedLine(platform::Platform& platform) : platform_(platform) {}

    std::function<QByteArray(const QByteArray& message)> rig;
    bool echo = false;
    bool silent = false;
    bool gone = false;
    double replyAfterMs = ReplyAfterMs;
    std::vector<QByteArray> written;
    QString openedWith;

    // Bytes from the rig, now or after delayMs.
    void arrive(const QByteArray& bytes, double delayMs = 0) {
        const double at = platform_.steadyMs() + delayMs;
        for (const char byte : bytes)
            incoming_.push_back({at, byte});
    }
    bool wrote(const QByteArray& message) const {
        return std::find(written.begin(), written.end(), message) != written.end();
    }

    rig::LinkOpenResult open(int, const QString& settings) override {
        if (gone)
            return {false, QStringLiteral("No such file or directory")};
        open_ = true;
        openedWith = settings;
        return {true, {}};
    }
    void close() override {
        open_ = false;
        incoming_.clear();
    }
    bool isOpen() const override { return open_; }
    QString description() const override { return QStringLiteral("scripted line"); }
    bool setRts(bool) override { return false; }
    bool setDtr(bool) override { return false; }
    qint64 bytesWaiting() override { return arrived(); }
    void discardInput() override { (void)readAll(); }
    QByteArray readAll() override {
        const qint64 count = arrived();
        QByteArray bytes;
        for (qint64 i = 0; i < count; ++i)
            bytes.append(incoming_[std::size_t(i)].byte);
        incoming_.erase(incoming_.begin(), incoming_.begin() + count);
        return bytes;
    }
    bool write(const QByteArray& bytes) override {
        if (!open_ || gone)
            return false;
        written.push_back(bytes);
        if (echo)
            arrive(bytes);
        if (!silent && rig)
            arrive(rig(bytes), replyAfterMs);
        return true;
    }

private:
    struct Arrival {
        double atMs;
        char byte;
    };
    qint64 arrived() const {
        const double now = platform_.steadyMs();
        qint64 count = 0;
        while (count < qint64(incoming_.size()) && incoming_[std::size_t(count)].atMs <= now)
            ++count;
        return count;
    }

    platform::Platform& platform_;
    bool open_ = false;
    std::deque<Arrival> incoming_;
};

} // namespace rig_test
