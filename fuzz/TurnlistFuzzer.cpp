// Turnlist1.txt .. Turnlist3.txt: the parser, the file loaded by the direct table's Files menu,
// and the program it holds run for a while.
#include "FuzzSupport.h"
#include "RecordingTurner.h"
#include "program/DirectTable.h"
#include "program/ProgramLanguage.h"
#include "program/TurnlistFiles.h"

namespace {

// Stepper set-ups the program meets: the default, a degree scale of one step, none at all, and
// one of the values a hand-edited configuration may hold.
core::Single StepsPer360For(std::size_t size) {
    constexpr core::Single choices[] = {200, 1, 0, 3.0e38f};
    return choices[size % 4];
}

// How long (virtual ms) a program runs before its Start button is pressed again.
constexpr double RunMs = 200;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes = fuzz::Bytes(data, size);

    // The parser keeps program text only, which saves and reads back as it is.
    const program::TurnlistContents contents = program::ParseTurnlist(bytes);
    FUZZ_CHECK(program::FilterProgramText(contents.program) == contents.program);
    const program::TurnlistContents again =
        program::ParseTurnlist(program::SerializeTurnlist(contents.program));
    FUZZ_CHECK(again.program == contents.program && again.problems.isEmpty());

    // Loaded from its file by Load1.
    const QString dir = fuzz::NewDirectory();
    testing_support::FakePlatform platform;
    program::TurnlistFiles files(platform, dir);
    fuzz::WriteFile(files.path(1), bytes);
    const std::optional<QString> loaded = files.LoadFile(1);
    FUZZ_CHECK(loaded == contents.program);
    fuzz::RemoveDirectory(dir);

    // Run until stopped: every turn stays within the limits at a delay the stepper can follow.
    core::ProgramState state;
    state.StepsPer360 = StepsPer360For(size);
    fuzz::RecordingTurner turner(state, platform);
    program::DirectTable table(state, platform, turner);
    table.TextEdited(*loaded);
    FUZZ_CHECK(table.text() == *loaded);
    platform.scheduleAfter(RunMs, [&] { table.RunClicked(); });
    table.RunClicked();
    FUZZ_CHECK(!table.running());
    for (const auto& turn : turner.turns) {
        FUZZ_CHECK(turn.target >= state.MinPosition && turn.target <= state.MaxPosition);
        if (turn.delayMs)
            FUZZ_CHECK(*turn.delayMs >= state.FastestDelayMs && *turn.delayMs <= 1000);
    }
    table.ToggleCounterInDegrees();
    return 0;
}
