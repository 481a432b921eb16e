#pragma once

#include "core/ProgramState.h"

#include <QString>

namespace table {

// Colours of the value label, 0x00BBGGRR.
inline constexpr core::Long LabelBlack = 0x000000;
inline constexpr core::Long LabelRed = 0x0000FF;
inline constexpr core::Long LabelBlue = 0xFF0000;
inline constexpr core::Long LabelMagenta = 0xFF00FF;

inline const QString InterpolValueTitle = QStringLiteral("Interpol value");
inline const QString NoPosition = QStringLiteral("No");

// What only the table window holds, with its control names; TableViewModel keeps it.
struct TableViewState {
    QString InterpolValueText = InterpolValueTitle; // lblInterpolValue: position, "No" or "???"
    core::Long InterpolValueColor = LabelBlack;
    QString InfoInterpolText; // lblInfoInterpol
    QString InputText;        // txtInput
    int ListIndex = -1;       // selected index of lstTable (row - 1), -1 none
    int UnitCounter = 0;      // cmdUnity's clicks since the window opened, 1..5 once clicked
};

// cmdLock's caption.
inline QString LockCaption(bool locked) {
    return locked ? QStringLiteral("&Locked") : QStringLiteral("Un&locked");
}

} // namespace table
