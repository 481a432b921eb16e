// Following the rig's frequency on a rig that answers byte for byte as its CAT description
// says: what moves the stepper, and what holds it.
#include "rig/RigTuningFixture.h"
#include "support/QtPrinters.h"

using rig_test::RigTuningFixture;
using RigFollowingTest = RigTuningFixture;

namespace {

// A block reply of the given length with the frequency (kHz) in 10 Hz units, binary, most
// significant byte first from byte `at` (counting from 1), the other bytes `fill`.
QByteArray FrequencyBlock(int length, int at, double kHz, char fill = 0) {
    QByteArray block(length, fill);
    const auto units = static_cast<quint32>(kHz * 100 + 0.5);
    block[at - 1] = char(units >> 16 & 0xFF);
    block[at] = char(units >> 8 & 0xFF);
    block[at + 1] = char(units & 0xFF);
    return block;
}

} // namespace

TEST_F(RigFollowingTest, aGarbledBlockReplyMovesNothing_aNewDialIsFollowedWhenTheNextReadingAgrees) {
    // The FT-840's 19-byte block (frequency from byte 3) and the FT-757GXII's 75-byte status
    // (frequency from byte 7), each asked for by its own frame.
    struct Case {
        rig::Model model;
        const char* ask;
        int length;
        int at;
    };
    const Case cases[] = {{rig::Model::Ft840, "0200000210", 19, 3},
                          {rig::Model::Ft757GXII, "0000000010", 75, 7}};
    for (const Case& c : cases) {
        SCOPED_TRACE(rig::ModelName(c.model).toStdString());
        useScriptedRig(c.model);
        loadTable("3500,100,\"80m\"\r\n4000,200,\"\"\r\n");
        scripted.answer(c.ask, FrequencyBlock(c.length, c.at, 3500));
        scripted.answer("00000000FA", QByteArray::fromHex("0000000000")); // FT-840 status
        scripted.answer("00000000F7", QByteArray::fromHex("0500000000")); // FT-840 S-meter
        scripted.answer("0000000110", QByteArray::fromHex("05"));         // FT-757GXII S-meter
        tuning.ComportClicked();
        ASSERT_TRUE(tuning.portOpen());
        poll();
        poll();
        ASSERT_EQ(state.StepCounter, 100);

        // Line noise: a block whose frequency bytes happen to read 3750 kHz. Shown, not followed.
        scripted.answerOnce(c.ask, FrequencyBlock(c.length, c.at, 3750, char(0xA5)));
        poll();
        EXPECT_EQ(tuning.connection().frequencyText(), "3750 kHz");
        EXPECT_EQ(state.StepCounter, 100);
        poll();
        EXPECT_EQ(state.StepCounter, 100);

        // The dial turned: followed at the second reading.
        scripted.answer(c.ask, FrequencyBlock(c.length, c.at, 3750));
        poll();
        EXPECT_EQ(state.StepCounter, 100);
        poll();
        EXPECT_EQ(state.StepCounter, 150);
        tuning.ComportClicked();
    }
}
