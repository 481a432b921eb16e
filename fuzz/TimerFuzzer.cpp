// Timer1.tbl / Timer2.tbl: the parser, the table loaded as the timer window loads it, its turns
// coming due, and saving it with the damaged file kept beside.
#include "FuzzSupport.h"
#include "RecordingTurner.h"
#include "program/TimerFile.h"
#include "program/TimerTable.h"

#include <algorithm>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes = fuzz::Bytes(data, size);

    // The parser: at most 100 records of a clock time and stepper 0 or 1, which save and read
    // back as they are.
    const program::TimerFileContents contents = program::ParseTimerFile(bytes);
    FUZZ_CHECK(contents.records.size() <= std::size_t(program::MaxTimerRecords));
    for (const program::TimerRecord& record : contents.records) {
        FUZZ_CHECK(program::IsClockTime(record.time));
        FUZZ_CHECK(record.stepper == 0 || record.stepper == 1);
    }
    const program::TimerFileContents again =
        program::ParseTimerFile(program::SerializeTimerFile(contents.records));
    FUZZ_CHECK(again.records == contents.records && again.problems.isEmpty());

    // Loaded by the window, whose clock is then set just before the first records' times: what
    // turns is a record, and only at its time.
    const QString dir = fuzz::NewDirectory();
    testing_support::FakePlatform platform;
    core::ProgramState state;
    fuzz::RecordingTurner turner(state, platform);
    const QString path = program::TimerFilePath(dir, state.TimerFileName);
    fuzz::WriteFile(path, bytes);
    {
        program::TimerTable table(state, platform, turner, dir);
        const std::vector<program::TimerRecord> records = table.records();
        FUZZ_CHECK(records == contents.records);
        (void)table.ListLines();
        (void)table.NextTurnText();
        for (std::size_t k = 0; k < std::min<std::size_t>(records.size(), 3); ++k) {
            const QTime time = QTime::fromString(records[k].time, QStringLiteral("hh:mm:ss"));
            const QDateTime at(QDate(2026, 12, 5), time);
            platform.setNow(at.addSecs(-1));
            const std::size_t before = turner.turns.size();
            platform.advance(2500);
            // The clock passed the seconds from at - 1 to at + 1; a turn may come up to a minute
            // late (the clock moved on by less than that since the last tick).
            QStringList passed;
            for (int s = -61; s <= 1; ++s)
                passed << at.addSecs(s).time().toString(QStringLiteral("hh:mm:ss"));
            for (std::size_t i = before; i < turner.turns.size(); ++i) {
                const auto& turn = turner.turns[i];
                FUZZ_CHECK(std::any_of(records.begin(), records.end(), [&](const auto& record) {
                    return passed.contains(record.time) && record.position == turn.target &&
                           record.stepper == turn.stepper;
                }));
            }
        }

        // Saving keeps a damaged file beside and writes what was loaded.
        const bool damaged = !contents.problems.isEmpty();
        FUZZ_CHECK(table.SaveTimerTxt());
        if (damaged)
            FUZZ_CHECK(fuzz::ReadFile(path + QStringLiteral(".damaged")) == bytes);
        FUZZ_CHECK(program::ParseTimerFile(fuzz::ReadFile(path)).records == records);
        table.WindowGone();
    }

    fuzz::RemoveDirectory(dir);
    return 0;
}
