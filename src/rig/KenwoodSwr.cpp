// The Kenwood-family link's SWR meter and transmit power.
#include "rig/KenwoodRig.h"

#include <cmath>

namespace rig {

void KenwoodRig::readSwr(Value done) {
    const KenwoodModel::Meter& meter = model_->swr;
    const auto answer = [this, done](std::optional<double> value) {
        deliver([done, value] { done(value); });
    };
    const bool asked =
        read(meter.read, meter.prefix, QStringLiteral("Ask SWR"),
             [this, &meter, answer](const std::optional<QByteArray>& parameters) {
                 const std::optional<int> raw =
                     parameters ? meterValue(meter, *parameters) : std::nullopt;
                 // Not the SWR itself, but rising with it: the lowest reading is the lowest.
                 answer(raw && meter.s9OrHighSwr > 0
                            ? std::optional<double>(1 + (HighSwr - 1) * *raw / meter.s9OrHighSwr)
                            : std::nullopt);
             });
    if (!asked)
        answer(std::nullopt);
}

void KenwoodRig::readPower(Value done) {
    const auto answer = [this, done](std::optional<double> watts) {
        deliver([done, watts] { done(watts); });
    };
    const bool asked =
        read("PC;", "PC", QStringLiteral("Ask power"),
             [answer](const std::optional<QByteArray>& parameters) {
                 bool number = false;
                 const int watts =
                     parameters && parameters->size() == 3 ? parameters->toInt(&number) : 0;
                 answer(number && watts > 0 ? std::optional<double>(watts) : std::nullopt);
             });
    if (!asked)
        answer(std::nullopt);
}

void KenwoodRig::setPower(double watts, Done done) {
    const long whole = std::lround(watts);
    if (whole < 1 || whole > 999) {
        done(false);
        return;
    }
    // The rig does not answer a set: written is all it tells (reading the power back tells
    // whether the rig took it); a lost line answers nothing.
    Command sent;
    sent.message = "PC" + QByteArray::number(qlonglong(whole)).rightJustified(3, '0') + ';';
    sent.name = QStringLiteral("Set power");
    sent.done = [this, done](const std::optional<QByteArray>& written) {
        const bool ok = written.has_value();
        deliver([done, ok] { done(ok); });
    };
    if (!send(std::move(sent)))
        done(false);
}

} // namespace rig
