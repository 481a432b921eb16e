#pragma once

#include "platform/Platform.h"
#include "rig/SerialLink.h"

#include <QByteArray>
#include <QString>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <vector>

namespace rig_test {

// A rig on the serial line that answers what the test says, byte for byte, on the platform's
// clock: each five-byte frame written is recorded with the time it was sent, and the reply given
// for that frame arrives ReplyAfterMs later. answerOnce() replies come first, in order; a frame
// without a reply, or a silent line, gets nothing back. Arrivals are told as they come.
class ScriptedSerialLink final : public rig::SerialLink {
public:
    static constexpr double ReplyAfterMs = 15;

    struct Frame {
        double atMs;
        QByteArray bytes;
        std::uint8_t opcode() const { return static_cast<std::uint8_t>(bytes.at(4)); }
    };

    explicit ScriptedSerialLink(platform::Platform& platform)
        : platform_(platform), arrivalTimer_(platform.createTimer([this] {
              awaitNextArrival();
              if (const std::function<void()> listener = arrived_)
                  listener();
          })) {}

    // frame and reply in hex: "00000000F7", "80".
    void answer(const char* frame, const QByteArray& reply) {
        standing_[QByteArray::fromHex(frame)] = reply;
    }
    void answerOnce(const char* frame, const QByteArray& reply) {
        once_[QByteArray::fromHex(frame)].push_back(reply);
    }
    void setSilent(bool silent) { silent_ = silent; }
    std::vector<Frame> frames;
    // When the frames with this opcode were sent.
    std::vector<double> sentAt(std::uint8_t opcode) const {
        std::vector<double> times;
        for (const Frame& frame : frames)
            if (frame.opcode() == opcode)
                times.push_back(frame.atMs);
        return times;
    }

    rig::LinkOpenResult open(int, const QString&) override {
        open_ = true;
        return {true, {}};
    }
    void close() override {
        open_ = false;
        incoming_.clear();
        arrivalTimer_->stop();
    }
    bool isOpen() const override { return open_; }
    QString description() const override { return QStringLiteral("scripted rig"); }
    bool setRts(bool) override { return open_; }
    bool setDtr(bool) override { return open_; }
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
        if (!open_)
            return false;
        pending_ += bytes;
        while (pending_.size() >= 5) {
            const Frame frame{platform_.steadyMs(), pending_.left(5)};
            pending_.remove(0, 5);
            frames.push_back(frame);
            if (!silent_)
                reply(frame.bytes);
        }
        awaitNextArrival();
        return true;
    }
    void onArrival(std::function<void()> arrived) override {
        arrived_ = std::move(arrived);
        awaitNextArrival();
    }

private:
    struct Arrival {
        double atMs;
        char byte;
    };
    void reply(const QByteArray& frame) {
        QByteArray bytes;
        if (auto once = once_.find(frame); once != once_.end() && !once->second.empty()) {
            bytes = once->second.front();
            once->second.pop_front();
        } else if (auto standing = standing_.find(frame); standing != standing_.end()) {
            bytes = standing->second;
        }
        const double at = platform_.steadyMs() + ReplyAfterMs;
        for (const char byte : bytes)
            incoming_.push_back({at, byte});
    }
    void awaitNextArrival() {
        arrivalTimer_->stop();
        const double now = platform_.steadyMs();
        const auto next = std::find_if(incoming_.begin(), incoming_.end(),
                                       [now](const Arrival& a) { return a.atMs > now; });
        if (arrived_ && next != incoming_.end())
            arrivalTimer_->start(int(std::ceil(next->atMs - now)));
    }
    qint64 arrived() const {
        const double now = platform_.steadyMs();
        qint64 count = 0;
        while (count < qint64(incoming_.size()) && incoming_[std::size_t(count)].atMs <= now)
            ++count;
        return count;
    }

    platform::Platform& platform_;
    bool open_ = false;
    bool silent_ = false;
    QByteArray pending_;
    std::map<QByteArray, QByteArray> standing_;
    std::map<QByteArray, std::deque<QByteArray>> once_;
    std::deque<Arrival> incoming_;
    std::function<void()> arrived_;
    std::unique_ptr<platform::Timer> arrivalTimer_;
};

} // namespace rig_test
