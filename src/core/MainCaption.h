#pragma once

#include "core/ProgramState.h"

#include <QDate>
#include <QString>

namespace core {

// Today as day-month name-year, for example "5-December-2026".
QString DateText(const QDate& date);

// Where the stepper not being driven stands, for the main window's title:
// " Stepper2=(120) 216°" while stepper 1 is driven, " Stepper1=(...)" while stepper 2 is.
QString OtherStepperText(Long selectedStepper, Single stepsPer360, Long counter);

// The main window's title: "Ventrolo. Version 1.24 (998) " + date text + stepper text.
QString MainCaption(const QString& dateText, const QString& stepperText);

// The title for the present state.
QString MainCaption(const ProgramState& state);

} // namespace core
