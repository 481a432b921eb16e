#include "panel/MainFields.h"

#include "core/TextRules.h"

namespace panel {

MainFields::MainFields(QObject* parent) : QObject(parent) {}

double MainFields::value(EntryField field) const {
    return core::LeadingNumber(text(field));
}

QString MainFields::ruled(EntryField field, const QString& text) {
    if (field == EntryField::MaxPosition)
        return text;
    QString unit;
    if (field == EntryField::SlowestDelay || field == EntryField::FastestDelay ||
        field == EntryField::PulsPause)
        unit = QStringLiteral("Sec");
    else if (field == EntryField::GotoDegrees)
        unit = QStringLiteral("°");
    QString number = text;
    if (!unit.isEmpty() && number.endsWith(unit))
        number.chop(unit.size());
    number = core::NumericFieldText(number);
    return unit.isEmpty() || number.isEmpty() ? number : number + u' ' + unit;
}

void MainFields::setText(EntryField field, const QString& text) {
    texts_[index(field)] = ruled(field, text);
    emit textChanged(field, texts_[index(field)]);
}

void MainFields::Edited(EntryField field, const QString& typed) {
    texts_[index(field)] = ruled(field, typed);
    if (texts_[index(field)] != typed)
        emit textChanged(field, texts_[index(field)]);
    emit edited(field);
}

void MainFields::setLocked(EntryField field, bool locked) {
    locked_[index(field)] = locked;
    emit lockedChanged(field, locked);
}

void MainFields::ShowBusyLock(bool locked) {
    for (const EntryField field :
         {EntryField::MaxPosition, EntryField::MinPosition, EntryField::StepsPer360,
          EntryField::SlowestDelay, EntryField::FastestDelay, EntryField::OverlaySteps})
        setLocked(field, locked);
    if (!locked)
        keyPreview_ = true;
}

void MainFields::ShowSpeedFields(const QString& slowest, const QString& fastest) {
    setText(EntryField::SlowestDelay, slowest);
    setText(EntryField::FastestDelay, fastest);
}

} // namespace panel
