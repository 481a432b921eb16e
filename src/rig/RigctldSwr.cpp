// The rigctld link's SWR meter and power setting.
#include "rig/RigLogging.h"
#include "rig/RigctldRig.h"

#include <cmath>

namespace rig {

namespace {

using Reply = QList<QByteArray>;

// One number alone on its line; nothing for an error report or anything else.
std::optional<double> Number(const Reply& reply) {
    if (reply.size() != 1 || reply.first().startsWith("RPRT "))
        return std::nullopt;
    bool number = false;
    const double value = reply.first().toDouble(&number);
    return number && std::isfinite(value) ? std::optional<double>(value) : std::nullopt;
}

} // namespace

void RigctldRig::readSwr(Value done) {
    const auto answer = [this, done](std::optional<double> swr) {
        deliver([done, swr] { done(swr && *swr >= 1 ? swr : std::nullopt); });
    };
    if (!send("l SWR", 1, [answer](const Reply& reply) { answer(Number(reply)); }))
        answer(std::nullopt);
}

void RigctldRig::readPower(Value done) {
    const auto answer = [this, done](std::optional<double> watts) {
        deliver([done, watts] { done(watts); });
    };
    auto level = std::make_shared<std::optional<double>>();
    if (!send("l RFPOWER", 1, [level](const Reply& reply) { *level = Number(reply); })) {
        answer(std::nullopt);
        return;
    }
    // The daemon converts at the dial's frequency and mode: the rig's most is its 1.0.
    const QByteArray mode =
        modeIndex_ >= 1 ? capabilities().modeNames.at(modeIndex_ - 1).toLatin1() : QByteArray("CW");
    const QByteArray line =
        "\\power2mW 1 " + QByteArray::number(std::llround(double(dialKHz_) * 1000)) + ' ' + mode;
    const bool sent = send(line, 1, [this, level, answer](const Reply& reply) {
        const std::optional<double> mW = Number(reply);
        maxPowerW_ = mW && *mW > 0 ? *mW / 1000 : 0;
        if (!*level || **level < 0 || **level > 1 || maxPowerW_ == 0) {
            qCWarning(lcRig) << "rigctld did not tell the power:" << reply;
            answer(std::nullopt);
            return;
        }
        answer(**level * maxPowerW_);
    });
    if (!sent)
        answer(std::nullopt);
}

void RigctldRig::setPower(double watts, Done done) {
    const auto answer = [this, done](bool ok) { deliver([done, ok] { done(ok); }); };
    // 0 is the daemon's least level, where a rig turned down is set back to.
    if (maxPowerW_ <= 0 || watts < 0 || watts > maxPowerW_) {
        answer(false);
        return;
    }
    const QByteArray line = "L RFPOWER " + QByteArray::number(watts / maxPowerW_, 'f', 4);
    if (!send(line, 1, [answer](const Reply& reply) {
            answer(reply.size() == 1 && reply.first() == "RPRT 0");
        }))
        answer(false);
}

} // namespace rig
