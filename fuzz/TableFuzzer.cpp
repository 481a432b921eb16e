// A *.cat frequency table: the parser, loading it as the table window does, looking frequencies
// up in it, and saving it again.
#include "FuzzSupport.h"
#include "support/FakePlatform.h"
#include "table/TableEditor.h"
#include "table/TableFile.h"
#include "table/TableLookup.h"

#include <algorithm>
#include <cmath>
#include <set>

namespace {

// Every row of the table in hand, the header included.
struct Rows {
    std::vector<core::Single> freq;
    std::vector<core::Long> pos;
    QStringList text;
    bool operator==(const Rows&) const = default;
};

Rows RowsOf(const table::TableData& t) {
    Rows rows;
    for (int r = 0; r <= t.TableLast; ++r) {
        rows.freq.push_back(t.TableFreq[r]);
        rows.pos.push_back(t.TablePos[r]);
        rows.text << t.TableText[r];
    }
    return rows;
}

void CheckLookups(const table::TableData& t) {
    for (int r = 1; r <= t.TableLast; ++r) {
        const core::Single x = t.TableFreq[r];
        const table::Lookup exact = table::LookUpPosition(t, x);
        if (x != 0) {
            FUZZ_CHECK(exact.ok() && exact.exact && exact.rowPosition == t.TablePos[r]);
        }
        if (r == 1)
            continue;
        // Between two rows a straight line stays between their positions.
        const auto between = static_cast<core::Single>((double(t.TableFreq[r - 1]) + x) / 2);
        const table::Lookup lookup = table::LookUpPosition(t, between);
        if (lookup.ok() && t.InterpolType == 0 && !lookup.exact) {
            FUZZ_CHECK(lookup.rowPosition >= std::min(t.TablePos[r - 1], t.TablePos[r]));
            FUZZ_CHECK(lookup.rowPosition <= std::max(t.TablePos[r - 1], t.TablePos[r]));
        }
    }
    if (t.TableLast >= 1) {
        FUZZ_CHECK(!table::LookUpPosition(t, std::nextafter(t.TableFreq[1], -INFINITY)).ok());
        (void)table::FreqToPosition(t, t.TableFreq[t.TableLast] * 2);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes = fuzz::Bytes(data, size);

    // The parser: at most 100 rows, each of a finite frequency of its own.
    const table::TableFileContents contents = table::ParseTableFile(bytes);
    FUZZ_CHECK(contents.rows.size() <= std::size_t(table::TableData::MaxDataRows));
    std::set<core::Single> seen;
    for (const table::TableRow& row : contents.rows) {
        FUZZ_CHECK(std::isfinite(row.freq));
        FUZZ_CHECK(seen.insert(row.freq).second);
    }

    // Loaded as the window loads it: a table of ascending rows and a known interpolation type.
    const QString dir = fuzz::NewDirectory();
    testing_support::FakePlatform platform;
    core::ProgramState state;
    table::TableEditor editor(state, platform, dir);
    editor.SetWindowVisible(true);
    state.TableWindowShown = true;
    fuzz::WriteFile(editor.tablePath(), bytes);
    editor.LoadTable();
    const table::TableData& t = editor.data();
    FUZZ_CHECK(t.TableLast >= 0 && t.TableLast <= table::TableData::MaxDataRows);
    FUZZ_CHECK(t.InterpolType >= 0 && t.InterpolType < 10);
    for (int r = 2; r <= t.TableLast; ++r)
        FUZZ_CHECK(t.TableFreq[r - 1] < t.TableFreq[r]);
    CheckLookups(t);

    // The table's limits stand in for the stepper's and give them back.
    const core::StepperProfile own = state.selectedProfile();
    editor.ApplyTableLimits(true);
    editor.ApplyTableLimits(false);
    FUZZ_CHECK(state.MinPosition == own.MinPosition && state.MaxPosition == own.MaxPosition);

    // Saved and loaded again it is the same table, and nothing in it is reported damaged.
    FUZZ_CHECK(editor.SaveTable());
    const Rows saved = RowsOf(t);
    const std::size_t messages = platform.messages.size();
    editor.LoadTable();
    FUZZ_CHECK(RowsOf(t) == saved);
    FUZZ_CHECK(platform.messages.size() == messages);

    fuzz::RemoveDirectory(dir);
    return 0;
}
