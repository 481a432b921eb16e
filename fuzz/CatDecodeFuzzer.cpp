// The CAT codecs of every model as pure functions: replies decoded, frequency texts and
// frequencies encoded, and an encoded frequency read back as the rig would report it.
#include "FuzzSupport.h"
#include "rig/CatCodec.h"

#include <algorithm>
#include <cmath>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes = fuzz::Bytes(data, size);

    // The input as a frequency text (FreqToBcdDigits takes what the program printed).
    const QString digits = rig::FreqToBcdDigits(QString::fromLatin1(bytes));
    FUZZ_CHECK(digits == QLatin1String("Overflow") ||
               (digits.size() == 8 && std::all_of(digits.begin(), digits.end(), [](QChar c) {
                    return c.isDigit() && c.unicode() < 128;
                })));

    // The input's first four bytes as a frequency in kHz.
    float kHz = 0;
    std::memcpy(&kHz, bytes.leftJustified(4, '\0').constData(), sizeof kHz);

    for (const auto model :
         {rig::Model::Ft757GXII, rig::Model::Ft817, rig::Model::Ft840, rig::Model::Ft847}) {
        const rig::CatCommandTable& table = *rig::CommandTable(model);

        // Replies of any length and content.
        if (const auto bcd = rig::DecodeBcdFrequencyReply(table, bytes))
            FUZZ_CHECK(rig::WithinDialRange(model, bcd->kHz));
        if (const auto block = rig::DecodeBlockFrequency(table, bytes))
            FUZZ_CHECK(rig::WithinDialRange(model, *block));
        (void)rig::DecodeFt840Status(bytes);
        (void)rig::StatusBlockLocked(bytes);
        if (!bytes.isEmpty())
            FUZZ_CHECK(rig::DecodeRxTxStatus(std::uint8_t(bytes[0])).sMeter <= 15);

        // A frequency the model takes is encoded, and a BCD rig reports it back to 10 Hz (of
        // the seven digits the program prints).
        const auto frame = rig::SetFrequencyFrame(table, kHz);
        if (!rig::FrequencyValid(model, kHz))
            continue;
        FUZZ_CHECK(frame.has_value());
        if (table.frequencyLayout != rig::FrequencyLayout::PackedBcdHighFirst)
            continue;
        QByteArray reply = rig::FrameBytes(*frame);
        reply[4] = 0x01;
        const auto read = rig::DecodeBcdFrequencyReply(table, reply);
        FUZZ_CHECK(read.has_value());
        FUZZ_CHECK(std::fabs(read->kHz - kHz) <= std::max(0.01, std::fabs(kHz) * 1e-6));
    }
    return 0;
}
