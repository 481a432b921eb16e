// What the owner asks of a build, checked before anything turns.
#include "vna/BuildAsk.h"

#include <gtest/gtest.h>

using namespace vna;

namespace {

Result<BuildRequest> Ask(const QString& band, std::optional<double> everyKHz = std::nullopt) {
    core::ProgramState state;
    state.MinPosition = 0;
    state.MaxPosition = 2000;
    BuildAsk ask;
    ask.band = band;
    ask.everyKHz = everyKHz;
    return MakeBuildRequest(ask, state, QStringLiteral("/tmp"), BuildRequest::Existing::NewName);
}

TEST(BuildAskTest, theRowSpacing_fitsTheBandIntoTheTable_unlessTheOwnerChoseOne) {
    // 5 kHz where it fits, else the next of 10, 20, 50 ... kHz that does.
    EXPECT_EQ(Ask("40m").value->everyKHz, 5);  // 300 kHz: 62 rows
    EXPECT_EQ(Ask("80m").value->everyKHz, 10); // 500 kHz: 52 rows, not 102
    EXPECT_EQ(Ask("10m").value->everyKHz, 20); // 1700 kHz: 87 rows
    EXPECT_EQ(Ask("40m", 4).value->everyKHz, 4);

    // A spacing chosen too close is refused at once, not after the band is measured.
    const Result<BuildRequest> tooClose = Ask("80m", 5);
    EXPECT_FALSE(tooClose.ok());
    EXPECT_EQ(tooClose.error, "A row every 5 kHz makes more than 100 rows.");
    EXPECT_FALSE(Ask("40m", 0).ok());
}

} // namespace
