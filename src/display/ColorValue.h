#pragma once

#include "core/ProgramState.h"

#include <QColor>

// Colours as the configuration stores them: &HBBGGRR (red in the lowest byte), or
// &H80000000 + n for the desktop's colour number n.
namespace display {

// The colour of a stored value. A desktop colour takes the classic desktop's value of that
// number (grey text for &H80000011); an unknown number gives grey.
QColor ColorFromValue(core::Long value);

} // namespace display
