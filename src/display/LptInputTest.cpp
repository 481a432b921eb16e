#include "display/LptInputTest.h"

#include "display/LptPins.h"
#include "port/InputPinTable.h"

#include <algorithm>

namespace display {
namespace {

// The rows of the input pin table the five labels show, in the order of StatusPins().
constexpr std::array<int, 5> LabelRows{port::RemoteCcwRow, port::RemoteCwRow, port::BeginRow,
                                       port::EndRow, port::NotUsedRow};

QString pinLabel(std::size_t label) {
    return port::InputPinTable[static_cast<std::size_t>(LabelRows[label])].pinLabel;
}

QString FramePrefix(core::Long inPort) {
    return QStringLiteral("LPT(") + QString::number(inPort) + QStringLiteral(") pins ");
}

} // namespace

LptInputTest::LptInputTest(platform::LptPort& lpt) : lpt_(lpt) {}

bool LptInputTest::SetLptPort(core::Long statusAddress) {
    if (std::find(StatusAddresses.begin(), StatusAddresses.end(), statusAddress) ==
        StatusAddresses.end())
        return false;
    inPort_ = statusAddress;
    return true;
}

QString LptInputTest::framePrefix() const {
    return FramePrefix(inPort_);
}

std::vector<QString> LptInputTest::FrameCaptions() {
    std::vector<QString> captions;
    for (const core::Long address : StatusAddresses) {
        for (int step = 1; step <= 4; ++step)
            captions.push_back(FramePrefix(address) + SpinnerText(step));
    }
    return captions;
}

std::array<QString, 5> LptInputTest::PinLabels() {
    std::array<QString, 5> labels;
    for (std::size_t i = 0; i < labels.size(); ++i)
        labels[i] = pinLabel(i) + QLatin1Char('0');
    return labels;
}

std::array<QString, 5> LptInputTest::PinToolTips() {
    const auto& table = port::InputPinTable;
    return {table[port::RemoteCcwRow].name, table[port::RemoteCwRow].name,
            table[port::BeginRow].name + QStringLiteral(" or ") + table[port::CenterRow].name,
            table[port::EndRow].name, table[port::NotUsedRow].name};
}

LptInputTest::Reading LptInputTest::GetLptInp() {
    spinnerStep_ = spinnerStep_ % 4 + 1;
    const std::uint8_t status = lpt_.Inp32(static_cast<std::uint16_t>(inPort_));
    Reading reading;
    reading.frameCaption = framePrefix() + SpinnerText(spinnerStep_);
    reading.valueText = StatusValueText(status);
    const auto pins = StatusPins(status);
    for (std::size_t i = 0; i < pins.size(); ++i)
        reading.pinTexts[i] = pinLabel(i) + (pins[i].set ? QLatin1Char('1') : QLatin1Char('0'));
    return reading;
}

} // namespace display
