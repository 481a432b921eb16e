// The API's table build with the VNA: starting and cancelling it, its state and its picture.
#include "web/WebApi.h"
#include "web/WebReplies.h"

namespace web {

WebReply WebApi::buildTable(const QJsonObject& request) {
    vna::BuildAsk ask;
    if (request.contains(QStringLiteral("band"))) {
        ask.band = request.value(QStringLiteral("band")).toString();
        if (ask.band.isEmpty())
            return BadRequest(QStringLiteral("band must be an amateur band's name (\"40m\")"));
    } else {
        const QJsonValue low = request.value(QStringLiteral("startKHz"));
        const QJsonValue high = request.value(QStringLiteral("stopKHz"));
        if (!low.isDouble() || !high.isDouble())
            return BadRequest(QStringLiteral("give a \"band\" or \"startKHz\" and \"stopKHz\""));
        ask.lowKHz = low.toDouble();
        ask.highKHz = high.toDouble();
    }
    for (const auto& [key, position] :
         {std::pair{QStringLiteral("lowPosition"), &ask.lowPosition},
          std::pair{QStringLiteral("highPosition"), &ask.highPosition}}) {
        if (!request.contains(key))
            continue;
        const auto value =
            Whole(request.value(key), double(state_.MinPosition), double(state_.MaxPosition));
        if (!value)
            return BadRequest(QStringLiteral("%1 must be a whole number from %2 to %3")
                                  .arg(key)
                                  .arg(state_.MinPosition)
                                  .arg(state_.MaxPosition));
        *position = long(*value);
    }
    const QJsonValue spacing = request.value(QStringLiteral("spacing"));
    if (spacing == QStringLiteral("bends")) {
        ask.spacing = vna::BuildRequest::Spacing::WhereCurveBends;
    } else if (spacing.isDouble()) {
        ask.everyKHz = spacing.toDouble();
    } else if (!spacing.isUndefined()) {
        return BadRequest(QStringLiteral("spacing must be kHz between rows or \"bends\""));
    }
    const QJsonValue repeatability = request.value(QStringLiteral("repeatability"));
    if (!repeatability.isUndefined() && !repeatability.isBool())
        return BadRequest(QStringLiteral("repeatability must be true or false"));
    ask.repeatability = repeatability.toBool(true);
    // Nobody is asked from here: an existing table is kept and the new one named beside it.
    const vna::Result<vna::BuildRequest> built =
        vna_.Request(ask, vna::BuildRequest::Existing::NewName);
    if (!built.ok())
        return BadRequest(built.error);
    if (const QString refusal = vna_.Start(*built.value); !refusal.isEmpty())
        return Error(409, refusal);
    return Ok();
}

WebReply WebApi::cancelBuild() {
    vna_.Cancel();
    return Ok();
}

WebReply WebApi::buildPicture() const {
    if (vna_.pictureSvg().isEmpty())
        return Error(404, QStringLiteral("no table has been built with the VNA"));
    WebReply reply;
    reply.content = vna_.pictureSvg();
    reply.contentType = "image/svg+xml";
    return reply;
}

QJsonObject WebApi::buildState() const {
    static const char* const Phases[] = {"idle", "running", "built", "cancelled", "failed"};
    const vna::BuildProgress& progress = vna_.progress();
    const std::optional<vna::BuildResult>& result = vna_.result();
    QJsonObject state{
        {QStringLiteral("configured"), !vna_.vnaPort().isEmpty()},
        {QStringLiteral("state"), QLatin1String(Phases[int(vna_.phase())])},
        {QStringLiteral("fraction"), progress.fraction},
        {QStringLiteral("secondsLeft"), qRound(progress.secondsLeft)},
        {QStringLiteral("activity"), progress.activity},
        {QStringLiteral("result"), QJsonValue::Null},
    };
    if (result && !vna_.running()) {
        const QString table = result->tablePath.section(QLatin1Char('/'), -1);
        state.insert(QStringLiteral("result"),
                     QJsonObject{
                         {QStringLiteral("message"), result->message},
                         {QStringLiteral("table"),
                          table.isEmpty() ? QJsonValue(QJsonValue::Null) : QJsonValue(table)},
                         {QStringLiteral("checkPassed"), result->check.passed},
                         {QStringLiteral("checkTotal"), result->check.total},
                         {QStringLiteral("backlashSteps"), result->repeatability.backlashSteps},
                         {QStringLiteral("overlaySteps"), result->repeatability.overlaySteps},
                         {QStringLiteral("picture"), !vna_.pictureSvg().isEmpty()},
                     });
    }
    return state;
}

} // namespace web
