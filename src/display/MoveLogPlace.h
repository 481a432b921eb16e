#pragma once

#include <QStringList>
#include <optional>

namespace display {

// Where the user reads in the move log window, kept when its lines are read again. The newest
// line is on top: lines added there push the lines being read down, and the view goes down with
// them, unless it stood at the top, where the newest line comes into view.
struct MoveLogPlace {
    int firstLine = 0; // the topmost line in view
    int anchor = 0;    // the selection's ends in characters of the lines joined by '\n'
    int position = 0;  // (equal: no selection, the cursor there)
    bool operator==(const MoveLogPlace&) const = default;
};

// How many lines were added on top of before to give after, the oldest perhaps dropped off the
// end; nullopt when after is not before so grown (the log was read anew).
std::optional<int> LinesAddedOnTop(const QStringList& before, const QStringList& after);

// The place in after that shows what place showed in before. When after is not before grown on
// top, the view stays where it was and the selection ends.
MoveLogPlace KeptPlace(const QStringList& before, const QStringList& after,
                       const MoveLogPlace& place);

} // namespace display
