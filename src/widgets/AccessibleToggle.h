#pragma once

namespace widgets {

// A screen reader toggles a check box or radio button through its accessibility interface, which
// by Qt's own only flips the mark: the commands, which hear clicked() as a mouse or Space gives
// it, would not run, and the box would show what the program does not use. Installed once the
// application object exists, the boxes' interface makes the toggle a click.
void MakeAccessibleTogglesClick();

} // namespace widgets
