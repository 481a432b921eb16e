#include "display/MoveLogPlace.h"

#include "support/QtPrinters.h"

#include <gtest/gtest.h>

using display::KeptPlace;
using display::MoveLogPlace;

namespace {

// Moves "m<first>" down to "m<last>", the newest first as the window shows them.
QStringList Moves(int newest, int oldest) {
    QStringList lines;
    for (int i = newest; i >= oldest; --i)
        lines << QStringLiteral("m%1").arg(i);
    return lines;
}

// The place with the text of line in lines selected, the view's top at firstLine.
MoveLogPlace Selecting(const QStringList& lines, const QString& line, int firstLine) {
    const auto index = lines.indexOf(line);
    const auto at = static_cast<int>(lines.mid(0, index).join('\n').size() + (index > 0 ? 1 : 0));
    return {firstLine, at, at + static_cast<int>(line.size())};
}

QString Selected(const QStringList& lines, const MoveLogPlace& place) {
    return lines.join('\n').mid(std::min(place.anchor, place.position),
                                std::abs(place.position - place.anchor));
}

} // namespace

TEST(MoveLogPlace, aViewReadingOlderLines_keepsThemAndTheirSelection_asNewOnesComeOnTop) {
    const QStringList before = Moves(60, 1);
    const QStringList after = Moves(62, 1);
    const MoveLogPlace kept = KeptPlace(before, after, Selecting(before, "m30", 30));
    EXPECT_EQ(kept.firstLine, 32);
    EXPECT_EQ(Selected(after, kept), "m30");

    // Read from the end to the start too.
    MoveLogPlace backwards = Selecting(before, "m7", 50);
    std::swap(backwards.anchor, backwards.position);
    const MoveLogPlace keptBackwards = KeptPlace(before, after, backwards);
    EXPECT_GT(keptBackwards.anchor, keptBackwards.position);
    EXPECT_EQ(Selected(after, keptBackwards), "m7");
}

TEST(MoveLogPlace, aViewAtTheTop_followsTheNewestLine) {
    const QStringList before = Moves(10, 1);
    const QStringList after = Moves(11, 1);
    const MoveLogPlace kept = KeptPlace(before, after, Selecting(before, "m10", 0));
    EXPECT_EQ(kept.firstLine, 0);
    EXPECT_EQ(Selected(after, kept), "m10");
}

TEST(MoveLogPlace, theOldestLinesDroppingOffTheEnd_stillKeepThePlace_aSelectionThereEnds) {
    const QStringList before = Moves(200, 1); // as many as the window shows
    const QStringList after = Moves(203, 4);
    EXPECT_EQ(display::LinesAddedOnTop(before, after), 3);
    const MoveLogPlace kept = KeptPlace(before, after, Selecting(before, "m100", 100));
    EXPECT_EQ(kept.firstLine, 103);
    EXPECT_EQ(Selected(after, kept), "m100");

    const MoveLogPlace dropped = KeptPlace(before, after, Selecting(before, "m2", 190));
    const auto end = static_cast<int>(after.join('\n').size());
    EXPECT_EQ(dropped, (MoveLogPlace{193, end, end}));
}

TEST(MoveLogPlace, repeatedLinesNothingNewOrALogReadAnew_areTakenForWhatTheyAre) {
    // Two moves alike word for word (in the same second) on top of one alike.
    const QStringList before{"a", "b"};
    EXPECT_EQ(display::LinesAddedOnTop(before, {"a", "a", "b"}), 1);
    EXPECT_EQ(display::LinesAddedOnTop({"a", "a", "b"}, {"a", "a", "a"}), 1);
    EXPECT_EQ(display::LinesAddedOnTop(before, before), 0);
    const MoveLogPlace place{1, 2, 3};
    EXPECT_EQ(KeptPlace(before, before, place), place);

    // Another log entirely (its file replaced): the view stays, the selection ends.
    EXPECT_EQ(display::LinesAddedOnTop(before, {"x", "y"}), std::nullopt);
    EXPECT_EQ(KeptPlace(before, {"x", "y"}, place), (MoveLogPlace{1, 0, 0}));
    // The first lines of a log that was empty.
    EXPECT_EQ(KeptPlace({}, {"x"}, {}), MoveLogPlace{});
}
