#include "tuning/BandChangeover.h"

#include "core/TextRules.h"
#include "rig/RigLogging.h"

namespace tuning {

BandChangeover::BandChangeover(const Parts& parts, QObject* parent)
    : QObject(parent), state_(parts.state), engine_(parts.engine), editor_(parts.editor),
      view_(parts.view), sets_(parts.sets), log_(parts.log) {
    connect(&engine_, &engine::Engine::turnStarted, this, [this] { turning_ = true; });
    connect(&engine_, &engine::Engine::turnEnded, this, [this] { turning_ = false; });
}

bool BandChangeover::ChangeOver(core::Single kHz) {
    if (kHz <= 0 || editor_.data().InRange(kHz))
        return false;
    if (sets_.names(0).isEmpty() && sets_.names(1).isEmpty())
        return false;
    const std::optional<table::BandChoice> choice =
        sets_.Choose(kHz, false, state_.SelectedStepper);
    if (!choice)
        return false;
    const bool otherStepper = choice->stepper != state_.SelectedStepper;
    // The open table itself, as edited: the file covers the frequency, the rows in hand do not.
    if (!otherStepper && choice->table == state_.TableFileName)
        return false;
    if (turning_ || engine_.slowTurnRunning())
        return false;
    if (otherStepper)
        engine_.SwitchStepper(choice->stepper);
    if (!editor_.OpenBandTable(choice->table)) {
        qCWarning(lcRig).noquote()
            << "band set:" << state_.TableFileName.mid(1) << "could not be saved;"
            << choice->table.mid(1) << "is not opened";
        return otherStepper;
    }
    const QString text =
        QStringLiteral("Band set: ") +
        (otherStepper ? QStringLiteral("stepper %1, ").arg(choice->stepper + 1) : QString()) +
        choice->table.mid(1) + QStringLiteral(" opened for ") + core::PlainNumberText(kHz) +
        QStringLiteral(" kHz");
    qCInfo(lcRig).noquote() << text;
    view_.SetStatusNote(text);
    log_.TerminalWrite(text + QStringLiteral("\r\n"), false);
    emit changedOver(text);
    return true;
}

} // namespace tuning
