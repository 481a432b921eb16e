#include "rig/RigCaps.h"

#include "rig/CatCodec.h"

#include <gtest/gtest.h>

using namespace rig;

namespace {

constexpr core::Integer KnownModels[] = {1, 2, 3, 4, 5, 6};

} // namespace

TEST(RigCaps, storedModelNumbersKeepTheirRigs_andAnyOtherValueSendsNothing) {
    const char* names[] = {"FT757GXII", "FT817", "FT840", "FT847", "FT857", "FT897"};
    for (const core::Integer value : KnownModels) {
        EXPECT_EQ(Caps(ToModel(value)).name, names[value - 1]);
        EXPECT_TRUE(Caps(ToModel(value)).sendsFrames());
    }
    for (const core::Integer value : {0, 7, -1, 1000}) {
        const RigCaps& caps = Caps(ToModel(value));
        EXPECT_FALSE(caps.sendsFrames()) << value;
        EXPECT_TRUE(caps.name.isEmpty());
        EXPECT_TRUE(caps.modes.empty());
        EXPECT_TRUE(caps.frequencyValid(1e6));
        EXPECT_FALSE(caps.hasDialLock() || caps.hasPowerSwitch() || caps.pttOnLines());
    }
}

// What every record must hold so that the code that reads it neither dereferences a frame the
// model lacks nor picks the wrong button or band.
TEST(RigCaps, everyRecordIsCompleteForItsReadScheme_bandsOrdered_modesRoundTrip) {
    for (const core::Integer value : KnownModels) {
        const RigCaps& caps = Caps(ToModel(value));
        SCOPED_TRACE(caps.name.toStdString());
        switch (caps.readScheme) {
        case ReadScheme::BcdAndStatus:
            EXPECT_TRUE(caps.readRxStatus && caps.readTxStatus && caps.statusReply);
            EXPECT_EQ(caps.frequencyReply.length, 5);
            break;
        case ReadScheme::Block19:
            EXPECT_TRUE(caps.readRxStatus && caps.statusReply && caps.readSMeter);
            EXPECT_TRUE(caps.sMeterReply);
            break;
        case ReadScheme::StatusBlock75:
            EXPECT_TRUE(caps.readSMeter && caps.sMeterReply);
            break;
        }
        EXPECT_EQ(caps.pttOn.has_value(), caps.pttOff.has_value());
        EXPECT_EQ(caps.lockOn.has_value(), caps.lockOff.has_value());
        EXPECT_EQ(caps.powerOn.has_value(), caps.powerOff.has_value());
        EXPECT_TRUE(caps.stopBits == 1 || caps.stopBits == 2);

        ASSERT_FALSE(caps.bands.empty());
        for (std::size_t i = 0; i < caps.bands.size(); ++i) {
            EXPECT_LT(caps.bands[i].lowKHz, caps.bands[i].highKHz);
            if (i > 0) {
                EXPECT_GT(caps.bands[i].lowKHz, caps.bands[i - 1].highKHz);
            }
        }

        // The window has ten mode buttons; a reply naming a button's code selects that button
        // and no earlier one.
        EXPECT_LE(caps.modes.size(), 10u);
        for (std::size_t i = 0; i < caps.modes.size(); ++i) {
            if (caps.modes[i].code) {
                EXPECT_EQ(caps.modeIndexForCode(*caps.modes[i].code), int(i) + 1)
                    << caps.modes[i].name.toStdString();
            }
        }
    }
}

TEST(RigCaps, everyBandEdgeSentToABcdRig_readsBackAsTheSameFrequency) {
    for (const core::Integer value : KnownModels) {
        const RigCaps& caps = Caps(ToModel(value));
        if (caps.readScheme != ReadScheme::BcdAndStatus)
            continue;
        SCOPED_TRACE(caps.name.toStdString());
        for (const Band& band : caps.bands) {
            for (const double edge : {band.lowKHz, band.highKHz}) {
                ASSERT_TRUE(caps.frequencyValid(edge));
                const std::optional<Frame> frame = SetFrequencyFrame(caps, float(edge));
                ASSERT_TRUE(frame) << edge;
                // The rig answers the read with the same four bytes and its mode.
                const QByteArray reply = FrameBytes(*frame).left(4) + char(0x01);
                const auto decoded = DecodeBcdFrequencyReply(caps, reply);
                ASSERT_TRUE(decoded) << edge;
                EXPECT_DOUBLE_EQ(decoded->kHz, edge);
            }
        }
    }
}
