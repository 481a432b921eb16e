#pragma once

#include "core/ProgramState.h"

#include <QString>
#include <QStringList>

namespace table {

// Colours of the value label, 0x00BBGGRR.
inline constexpr core::Long LabelBlack = 0x000000;
inline constexpr core::Long LabelRed = 0x0000FF;
inline constexpr core::Long LabelBlue = 0xFF0000;
inline constexpr core::Long LabelMagenta = 0xFF00FF;

inline const QString InterpolValueTitle = QStringLiteral("Interpol value");
inline const QString NoPosition = QStringLiteral("No");

// What the table window shows of the table's working state, with the window's control names.
// The window renders it as it is and forwards the user's changes to FrequencyTable.
struct TableViewState {
    QString InterpolValueText = InterpolValueTitle; // lblInterpolValue: position, "No" or "???"
    core::Long InterpolValueColor = LabelBlack;
    QString InfoInterpolText;        // lblInfoInterpol
    bool Locked = false;             // cmdLock: the rig's frequency turns the stepper
    QString InputText;               // txtInput
    int ListIndex = -1;              // selected index of lstTable (row - 1), -1 none
    QString StatusText;              // lblStatus
    bool TableLimitsApplied = false; // chkMinMax
    QStringList CatFiles;            // cboCatFiles list
    QString CatFileText;             // cboCatFiles box text
    bool WindowVisible = false;      // the table window is on screen

    QString LockCaption() const {
        return Locked ? QStringLiteral("&Locked") : QStringLiteral("&Unlocked");
    }
};

} // namespace table
