#pragma once

#include "core/ProgramState.h"
#include "platform/Platform.h"

#include <QColor>

// Colours as the configuration stores them: &HBBGGRR (red in the lowest byte), or
// &H80000000 + n for the desktop's colour number n.
namespace display {

// The colour of a stored value. A desktop colour takes the classic desktop's value of that
// number (grey text for &H80000011); an unknown number gives grey.
QColor ColorFromValue(core::Long value);

// The colour dialog for a stored colour: it starts from the colour shown (a desktop colour as
// its value), and OK without a change keeps the stored value, a desktop colour included.
// nullopt when cancelled.
std::optional<core::Long> ChooseStoredColor(platform::Platform& platform, core::Long stored);

} // namespace display
