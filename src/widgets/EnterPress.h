#pragma once

class QKeyEvent;
class QObject;

namespace widgets {

// In the windows whose keys are the stepper's commands first (Space stops), Enter is the key
// that presses the control with the focus (a button, or a label that acts as one): it has no
// command of its own. True when it did.
bool PressedByEnter(QObject* focused, const QKeyEvent& key);

} // namespace widgets
