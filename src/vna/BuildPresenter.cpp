#include "vna/BuildPresenter.h"

#include "core/VersionTexts.h"
#include "platform/Platform.h"
#include "table/AmateurBands.h"
#include "vna/TableBuilder.h"

#include <QFileInfo>
#include <cmath>

namespace vna {

BuildPresenter::BuildPresenter(platform::Platform& platform, BuildSession& session,
                               const core::ProgramState& state, QObject* parent)
    : QObject(parent), platform_(platform), session_(session) {
    form_.lowPosition = state.MinPosition;
    form_.highPosition = state.MaxPosition;
    BandChosen(int(BandChoices().indexOf(QStringLiteral("40m"))));
    connect(&session_, &BuildSession::progressed, this, &BuildPresenter::changed);
}

QStringList BuildPresenter::BandChoices() {
    QStringList choices{QStringLiteral("Other (kHz)")};
    for (const table::AmateurBand& band : table::AmateurBands())
        choices << QLatin1String(band.name);
    return choices;
}

QString BuildPresenter::TimeLeftText(double seconds) {
    if (!(seconds > 0))
        return {};
    const long whole = std::lround(seconds);
    if (whole < 60)
        return QStringLiteral("About %1 s left").arg(whole);
    return QStringLiteral("About %1 min %2 s left").arg(whole / 60).arg(whole % 60);
}

void BuildPresenter::BandChosen(int index) {
    form_.band = index;
    if (index <= 0)
        return;
    const std::optional<table::AmateurBand> band =
        table::AmateurBandNamed(BandChoices().value(index));
    if (!band)
        return;
    form_.lowKHz = band->lowKHz;
    form_.highKHz = band->highKHz;
}

bool BuildPresenter::Start() {
    BuildAsk ask;
    if (form_.band > 0)
        ask.band = BandChoices().value(form_.band);
    ask.lowKHz = form_.lowKHz;
    ask.highKHz = form_.highKHz;
    ask.lowPosition = form_.lowPosition;
    ask.highPosition = form_.highPosition;
    ask.spacing = form_.everyKHz ? BuildRequest::Spacing::EveryKHz
                                 : BuildRequest::Spacing::WhereCurveBends;
    ask.everyKHz = form_.spacingKHz;
    ask.repeatability = form_.repeatability;
    auto tell = [this](const QString& text) {
        platform_.messageBox(text, core::MessageTitle(), platform::Icon::Exclamation);
        return false;
    };
    Result<BuildRequest> request = session_.Request(ask, BuildRequest::Existing::Refuse);
    if (!request.ok())
        return tell(request.error);
    const QFileInfo table(request.value->tablePath);
    if (table.exists()) {
        BuildRequest renamed = *request.value;
        renamed.existing = BuildRequest::Existing::NewName;
        const Result<QString> other = TableBuilder::TargetPath(renamed);
        const platform::Answer answer = platform_.messageBox(
            QStringLiteral("The table %1 exists.\r\nYes: build over it.\r\nNo: keep it and "
                           "write the new table as %2.")
                .arg(table.fileName(), QFileInfo(other.value.value_or(QString())).fileName()),
            core::MessageTitle(), platform::Icon::Question, platform::Buttons::YesNoCancel);
        if (answer == platform::Answer::Cancel)
            return false;
        request.value->existing = answer == platform::Answer::Yes
                                      ? BuildRequest::Existing::Overwrite
                                      : BuildRequest::Existing::NewName;
    }
    if (platform_.messageBox(QStringLiteral("Connect the VNA to the antenna, in place of the "
                                            "rig, then press OK.\r\nThe stepper turns through "
                                            "positions %1 to %2 while the VNA measures.")
                                 .arg(request.value->lowPosition)
                                 .arg(request.value->highPosition),
                             core::MessageTitle(), platform::Icon::Information,
                             platform::Buttons::OkCancel) != platform::Answer::Ok)
        return false;
    if (const QString refusal = session_.Start(*request.value); !refusal.isEmpty())
        return tell(refusal);
    emit changed();
    return true;
}

void BuildPresenter::Stop() {
    session_.Cancel();
}

void BuildPresenter::UseOverlay() {
    if (const int steps = view().overlayOffered; steps > 0)
        emit overlayChosen(steps);
}

BuildPresenter::View BuildPresenter::view() const {
    View view;
    view.running = session_.running();
    const BuildProgress& progress = session_.progress();
    if (view.running) {
        view.percent = int(std::lround(100 * progress.fraction));
        view.timeLeft = TimeLeftText(progress.secondsLeft);
        view.activity = progress.activity;
        return view;
    }
    const std::optional<BuildResult>& result = session_.result();
    if (!result)
        return view;
    view.percent = result->status == BuildResult::Status::Built ? 100 : 0;
    view.report = result->message;
    const Repeatability& repeat = result->repeatability;
    if (result->status == BuildResult::Status::Built && repeat.overlaySteps > 0) {
        view.report += QStringLiteral("\r\nAn overlay of %1 steps (the main window's Overlay) "
                                      "takes up the backlash seen.")
                           .arg(repeat.overlaySteps);
        view.overlayOffered = repeat.overlaySteps;
    }
    view.picture = session_.pictureSvg();
    return view;
}

} // namespace vna
