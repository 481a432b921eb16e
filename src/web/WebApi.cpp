#include "web/WebApi.h"

#include "core/Degrees.h"
#include "core/TextRules.h"
#include "engine/MoveLog.h"
#include "engine/NetworkTurns.h"
#include "table/TableLookup.h"
#include "web/WebReplies.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QPointer>
#include <QtMath>
#include <cmath>
#include <limits>
#include <map>
#include <utility>

namespace web {

namespace {

// Who asked for n steps (n > 0 down, as StepBy counts them): "web 10.0.0.5 +10 steps".
QString StepsDetail(const QString& who, int n) {
    return QStringLiteral("%1 %2%3 step%4")
        .arg(who, n < 0 ? QStringLiteral("+") : QStringLiteral("-"))
        .arg(std::abs(n))
        .arg(std::abs(n) == 1 ? QString() : QStringLiteral("s"));
}

// "moving" from a turn's start until the motor has settled after it, then "settled".
QString MotionText(const engine::MotionWatch* motion) {
    return !motion || motion->settled() ? QStringLiteral("settled") : QStringLiteral("moving");
}

// When the turn under way should end, with its offset from UTC; null when none turns.
QJsonValue ArrivalValue(const engine::MotionWatch* motion) {
    const std::optional<QDateTime> arrival = motion ? motion->expectedArrival() : std::nullopt;
    if (!arrival)
        return QJsonValue::Null;
    return arrival->toOffsetFromUtc(arrival->offsetFromUtc()).toString(Qt::ISODateWithMs);
}

// Why turns are held, in words; null when they are not.
QJsonValue HoldReason(tuning::TransmitHold hold) {
    return hold == tuning::TransmitHold::None ? QJsonValue(QJsonValue::Null)
                                              : QJsonValue(tuning::TransmitHoldText(hold));
}

// A table's name as the page shows it: without the leading "\".
QString PlainName(const QString& name) {
    return name.mid(name.startsWith(QLatin1Char('\\')));
}

} // namespace

WebApi::WebApi(const Parts& parts, platform::Platform& platform, QObject* parent)
    : QObject(parent), state_(parts.state), engine_(parts.engine), turns_(parts.turns),
      speedPanel_(parts.speed), tuning_(parts.tuning), editor_(parts.editor), bands_(parts.bands),
      vna_(parts.vna), station_(parts.station), jogLease_(platform.createTimer([this] {
          // Not asked again in time: the page that held the button is gone.
          if (turns_.waiting(this) == int(Kind::Jog))
              dropPending();
          if (turns_.running(this) == int(Kind::Jog))
              engine_.StopTurningAndFollowing();
          endJog(false);
      })) {
    connect(&turns_, &engine::NetworkTurns::ran, this, [this](const QObject* owner, int kind) {
        // A jog that ended by itself (at the limit, or stopped) is over; asked again, it
        // starts anew.
        if (owner == this && kind == int(Kind::Jog) && turns_.waiting(this) != int(Kind::Jog))
            endJog(false);
    });
    connect(&editor_, &table::TableEditor::changed, this, [this] {
        ++tableRevision_;
        emit tableChanged();
    });
}

WebApi::~WebApi() = default;

WebReply WebApi::Handle(const QByteArray& method, const QString& path, const QByteArray& body,
                        const QString& peer) {
    peer_ = peer;
    using Handler = std::function<WebReply(const QJsonObject&)>;
    struct Route {
        const char* method;
        Handler handler;
    };
    const std::map<QString, Route> routes = {
        {QStringLiteral("/api/state"), {"GET", [this](auto&) { return Ok(State()); }}},
        {QStringLiteral("/api/moves"), {"GET", [this](auto&) { return moves(); }}},
        {QStringLiteral("/api/turn"), {"POST", [this](auto& r) { return turn(r); }}},
        {QStringLiteral("/api/step"), {"POST", [this](auto& r) { return step(r); }}},
        {QStringLiteral("/api/jog"), {"POST", [this](auto& r) { return jog(r); }}},
        {QStringLiteral("/api/stop"), {"POST", [this](auto&) { return stop(); }}},
        {QStringLiteral("/api/speed"), {"POST", [this](auto& r) { return speed(r); }}},
        {QStringLiteral("/api/stepper"), {"POST", [this](auto& r) { return stepper(r); }}},
        {QStringLiteral("/api/lock"), {"POST", [this](auto& r) { return lock(r); }}},
        {QStringLiteral("/api/table"), {"GET", [this](auto&) { return table(); }}},
        {QStringLiteral("/api/table/turn"), {"POST", [this](auto& r) { return turnToRow(r); }}},
        {QStringLiteral("/api/table/add"), {"POST", [this](auto&) { return addRow(); }}},
        {QStringLiteral("/api/table/delete"), {"POST", [this](auto& r) { return deleteRow(r); }}},
        {QStringLiteral("/api/table/retune"), {"POST", [this](auto&) { return retune(); }}},
        {QStringLiteral("/api/tune"), {"POST", [this](auto&) { return tuneNow(); }}},
        {QStringLiteral("/api/band"), {"POST", [this](auto& r) { return band(r); }}},
        {QStringLiteral("/api/peaksearch"), {"POST", [this](auto&) { return peakSearch(); }}},
        {QStringLiteral("/api/swrtune"), {"POST", [this](auto&) { return swrTune(); }}},
        {QStringLiteral("/api/vna/build"), {"POST", [this](auto& r) { return buildTable(r); }}},
        {QStringLiteral("/api/vna/cancel"), {"POST", [this](auto&) { return cancelBuild(); }}},
        {QStringLiteral("/api/vna/report.svg"), {"GET", [this](auto&) { return buildPicture(); }}},
    };
    const auto route = routes.find(path);
    if (route == routes.end())
        return Error(404, QStringLiteral("no such path: ") + path);
    if (method != route->second.method) {
        WebReply wrongMethod =
            Error(405, QStringLiteral("%1 takes %2").arg(path, route->second.method));
        wrongMethod.allow = route->second.method;
        return wrongMethod;
    }
    QJsonObject request;
    if (!body.trimmed().isEmpty()) {
        QJsonParseError error;
        const QJsonDocument document = QJsonDocument::fromJson(body, &error);
        if (error.error != QJsonParseError::NoError)
            return BadRequest(QStringLiteral("bad JSON: ") + error.errorString());
        if (!document.isObject())
            return BadRequest(QStringLiteral("the body must be a JSON object"));
        request = document.object();
    }
    return route->second.handler(request);
}

QJsonObject WebApi::State() const {
    const bool turning = station_.turning() || engine_.slowTurnRunning();
    const bool open = tuning_.port().portOpen();
    QJsonObject rig{{QStringLiteral("open"), open},
                    {QStringLiteral("link"), open ? tuning_.connection().lineText() : QString()},
                    {QStringLiteral("frequencyHz"), QJsonValue::Null}};
    if (open && tuning_.follower().CatFrequency() > 0)
        rig.insert(QStringLiteral("frequencyHz"),
                   qRound64(double(tuning_.follower().CatFrequency()) * 1000));
    const program::TimerTable* timer = station_.timer();
    const bool inDegrees = state_.StepsPer360 > 0;
    return {
        {QStringLiteral("counter"), qint64(state_.StepCounter)},
        {QStringLiteral("degrees"),
         inDegrees ? QJsonValue(core::StepsToDegrees(state_.StepCounter, state_.DegreesPerStep))
                   : QJsonValue(QJsonValue::Null)},
        {QStringLiteral("target"),
         turning ? QJsonValue(qint64(state_.TargetPosition)) : QJsonValue(QJsonValue::Null)},
        {QStringLiteral("targetDegrees"),
         turning && inDegrees
             ? QJsonValue(core::StepsToDegrees(state_.TargetPosition, state_.DegreesPerStep))
             : QJsonValue(QJsonValue::Null)},
        {QStringLiteral("turning"), turning},
        {QStringLiteral("motion"), MotionText(station_.motion())},
        {QStringLiteral("arrival"), ArrivalValue(station_.motion())},
        {QStringLiteral("rigAlarm"), station_.rigAlarm().isEmpty()
                                         ? QJsonValue(QJsonValue::Null)
                                         : QJsonValue(station_.rigAlarm())},
        {QStringLiteral("rigNotice"), station_.rigNotice().isEmpty()
                                          ? QJsonValue(QJsonValue::Null)
                                          : QJsonValue(station_.rigNotice())},
        {QStringLiteral("positionDoubt"), station_.positionDoubt().isEmpty()
                                              ? QJsonValue(QJsonValue::Null)
                                              : QJsonValue(station_.positionDoubt())},
        {QStringLiteral("stepper"), int(state_.SelectedStepper) + 1},
        {QStringLiteral("rig"), rig},
        {QStringLiteral("following"), station_.following() && tuning_.follower().locked()},
        {QStringLiteral("tableOpen"), station_.following()},
        {QStringLiteral("locked"), tuning_.follower().locked()},
        {QStringLiteral("tableRevision"), tableRevision_},
        {QStringLiteral("transmitHold"), !engine_.admits(engine::TurnOrigin::Network)},
        {QStringLiteral("transmitHoldReason"), HoldReason(tuning_.transmitHold())},
        {QStringLiteral("speed"),
         speedPanel_.control().fastMode() ? QStringLiteral("fast") : QStringLiteral("custom")},
        {QStringLiteral("nextTimerTurn"), timer && timer->NextTurnVisible()
                                              ? QJsonValue(timer->NextTurnText().trimmed())
                                              : QJsonValue(QJsonValue::Null)},
        {QStringLiteral("limits"),
         QJsonObject{{QStringLiteral("min"), qint64(state_.MinPosition)},
                     {QStringLiteral("max"), qint64(state_.MaxPosition)}}},
        {QStringLiteral("tuning"), tuningState()},
        {QStringLiteral("vna"), buildState()},
    };
}

QJsonObject WebApi::tuningState() const {
    const bool open = tuning_.port().portOpen();
    const bool following = station_.following();
    // Where the table puts the loop for the rig's frequency, and how far it stands from there.
    QJsonValue position = QJsonValue::Null;
    if (following && open) {
        if (const auto found =
                table::FreqToPosition(editor_.data(), tuning_.follower().CatFrequency()))
            position = qint64(*found);
    }
    // The SWR where the link reads it: the rig's own high/low flag while it transmits, and what
    // the last SWR tune found.
    QJsonValue swr = QJsonValue::Null;
    const tuning::RigState& rig = tuning_.rigState();
    const bool swrTuneOffered = following && tuning_.rigCommands().SwrTuneUnavailable().isEmpty();
    if (open && (rig.swrState() >= 0 || swrTuneOffered)) {
        QJsonObject reading{{QStringLiteral("high"), rig.swrState() < 0
                                                         ? QJsonValue(QJsonValue::Null)
                                                         : QJsonValue(rig.swrState() == 1)},
                            {QStringLiteral("value"), QJsonValue::Null},
                            {QStringLiteral("at"), QJsonValue::Null}};
        if (const auto found = tuning_.swrTune().result()) {
            reading.insert(QStringLiteral("value"), found->second);
            reading.insert(QStringLiteral("at"), qint64(found->first));
        }
        swr = reading;
    }
    QJsonArray bands;
    for (const core::Long stepper : {core::Long(0), core::Long(1)}) {
        for (const QString& name : bands_.names(stepper))
            bands.append(QJsonObject{
                {QStringLiteral("stepper"), int(stepper) + 1},
                {QStringLiteral("table"), PlainName(name)},
                {QStringLiteral("open"),
                 following && stepper == state_.SelectedStepper && name == state_.TableFileName}});
    }
    const bool searching = tuning_.peakSearch().searching();
    const bool swrTuning = tuning_.swrTune().running();
    const bool pttOn = open && rig.pttOn();
    return {
        {QStringLiteral("position"), position},
        {QStringLiteral("swr"), swr},
        {QStringLiteral("bands"), bands},
        {QStringLiteral("peakSearch"),
         QJsonObject{{QStringLiteral("offered"), following && open},
                     {QStringLiteral("running"), searching},
                     // At a position of the table, the rig not keyed.
                     {QStringLiteral("ready"),
                      searching || (open && tuning_.follower().calibrateEnabled() && !pttOn &&
                                    !swrTuning)}}},
        {QStringLiteral("swrTune"),
         QJsonObject{
             {QStringLiteral("offered"), swrTuneOffered},
             {QStringLiteral("running"), swrTuning},
             {QStringLiteral("ready"), swrTuning || (tuning_.rigCommands().swrTuneEnabled() &&
                                                     !pttOn && position.isDouble())}}},
        {QStringLiteral("retuneReady"), following && tuning_.tableCommands().retuneEnabled()},
        // When following turns, and how close the table's position may lie without a turn.
        {QStringLiteral("follow"),
         tuning::FollowModeName(tuning_.follower().followSettings().mode)},
        {QStringLiteral("deadBand"), tuning_.follower().deadBandSteps()},
        {QStringLiteral("tuneNowReady"), following && open && position.isDouble()},
    };
}

WebReply WebApi::turn(const QJsonObject& request) {
    const bool inSteps = request.contains(QStringLiteral("steps"));
    const bool inDegrees = request.contains(QStringLiteral("degrees"));
    // Both: one of them would go unheeded.
    if (inSteps == inDegrees)
        return BadRequest(QStringLiteral("give \"steps\" or \"degrees\""));
    const QJsonValue value =
        request.value(inSteps ? QStringLiteral("steps") : QStringLiteral("degrees"));
    const double number = value.toDouble(std::nan(""));
    const auto steps = Whole(value, std::numeric_limits<core::Long>::min(),
                             std::numeric_limits<core::Long>::max());
    engine::TurnRequest turn =
        inSteps ? engine::TurnRequest{core::Long(steps.value_or(0)), engine::TurnOrigin::Network}
                      .refusedBeyondLimits()
                : engine::TurnRequest::ToDegrees(value.isDouble() ? number : std::nan(""),
                                                 engine::TurnOrigin::Network);
    std::optional<engine::TurnRefusal> refusal = engine_.Refuses(turn);
    if (inSteps && !steps)
        refusal = engine::TurnRefusal{engine::TurnRefusal::Why::BeyondLimits, {}};
    if (refusal && refusal->why == engine::TurnRefusal::Why::BeyondLimits) {
        // A value that is no number asked for no turn the move log could tell.
        if (!refusal->text.isEmpty() && (inSteps || value.isDouble()))
            engine_.TellRefusal(turn.describedAs(detail()), *refusal);
        if (inSteps)
            return BadRequest(QStringLiteral("steps must be a whole number from %1 to %2")
                                  .arg(state_.MinPosition)
                                  .arg(state_.MaxPosition));
        return BadRequest(
            QStringLiteral("degrees must lie from %1 to %2")
                .arg(core::StepsToDegrees(state_.MinPosition, state_.DegreesPerStep, 2))
                .arg(core::StepsToDegrees(state_.MaxPosition, state_.DegreesPerStep, 2)));
    }
    turn.describedAs(detail());
    if (refusal) {
        engine_.TellRefusal(turn, *refusal);
        return refusedReply(*refusal);
    }
    return requestTurn([this, turn] { engine_.TurnTo(turn); });
}

WebReply WebApi::step(const QJsonObject& request) {
    // StepBy counts n > 0 down, n < 0 up.
    if (request.contains(QStringLiteral("steps"))) {
        const auto steps = Whole(request.value(QStringLiteral("steps")), -MaxSteps, MaxSteps);
        if (!steps || *steps == 0)
            return BadRequest(QStringLiteral("steps must be a whole number from %1 to %2, not 0")
                                  .arg(-MaxSteps)
                                  .arg(MaxSteps));
        return requestTurn({}, Kind::Steps, -int(*steps), stepsAsked(-int(*steps)));
    }
    const QString direction = request.value(QStringLiteral("direction")).toString();
    if (direction != QLatin1String("cw") && direction != QLatin1String("ccw"))
        return BadRequest(QStringLiteral("direction must be \"cw\" or \"ccw\""));
    // CW is a step up, as the main window's button makes it.
    const int n = direction == QLatin1String("cw") ? -1 : 1;
    return requestTurn({}, Kind::Steps, n, stepsAsked(n));
}

WebReply WebApi::jog(const QJsonObject& request) {
    const auto direction = Whole(request.value(QStringLiteral("direction")), -1, 1);
    if (!direction || *direction == 0)
        return BadRequest(QStringLiteral("direction must be 1 (up) or -1 (down)"));
    const QString hold = request.value(QStringLiteral("hold")).toString().left(64);
    // Overtaken by its own stop on the way here.
    if (!hold.isEmpty() && endedHolds_.contains(hold))
        return Ok();
    // Asked again while held: it goes on.
    if (jogDirection_ == *direction && hold == jogHold_) {
        jogLease_->start(JogLeaseMs);
        return Ok();
    }
    const bool up = *direction > 0;
    const auto towardsLimit = [this, up] {
        return engine::TurnRequest{up ? state_.MaxPosition : state_.MinPosition,
                                   engine::TurnOrigin::Network}
            .describedAs(detail() + QStringLiteral(" jog"));
    };
    WebReply reply = requestTurn([this, towardsLimit] { engine_.TurnTo(towardsLimit()); },
                                 Kind::Jog, 0, towardsLimit());
    if (reply.status == 200) {
        jogDirection_ = int(*direction);
        jogHold_ = hold;
        jogLease_->start(JogLeaseMs);
    }
    return reply;
}

WebReply WebApi::stop() {
    endJog(true);
    dropPending();
    turns_.Stop();
    return Ok();
}

WebReply WebApi::speed(const QJsonObject& request) {
    const QString speed = request.value(QStringLiteral("speed")).toString();
    if (speed != QLatin1String("fast") && speed != QLatin1String("custom"))
        return BadRequest(QStringLiteral("speed must be \"fast\" or \"custom\""));
    if ((speed == QLatin1String("fast")) != speedPanel_.control().fastMode())
        speedPanel_.ToggleFastCustom();
    return Ok();
}

WebReply WebApi::stepper(const QJsonObject& request) {
    const auto number = Whole(request.value(QStringLiteral("stepper")), 1, 2);
    if (!number)
        return BadRequest(QStringLiteral("stepper must be 1 or 2"));
    const core::Long stepper = core::Long(*number) - 1;
    if (stepper != state_.SelectedStepper) {
        // As the main window's pop-up: what turns stops first.
        dropPending();
        turns_.Stop();
        engine_.SwitchStepper(stepper);
    }
    return Ok();
}

WebReply WebApi::lock(const QJsonObject& request) {
    const QJsonValue locked = request.value(QStringLiteral("locked"));
    if (!locked.isBool())
        return BadRequest(QStringLiteral("locked must be true or false"));
    if (!station_.following())
        return Error(409, QStringLiteral("the station does not follow the rig"));
    if (locked.toBool() != tuning_.follower().locked())
        tuning_.rigCommands().LockClicked();
    if (locked.toBool() != tuning_.follower().locked())
        return Error(409, QStringLiteral("cannot lock while the PTT is on or a search runs"));
    return Ok();
}

WebReply WebApi::table() const {
    const table::TableData& data = editor_.data();
    QJsonArray rows;
    for (int row = 1; row <= data.dataRows(); ++row)
        rows.append(QJsonObject{
            {QStringLiteral("frequencyKHz"), core::ShortestDecimal(data.TableFreq[row])},
            {QStringLiteral("position"), qint64(data.TablePos[row])}});
    return Ok({{QStringLiteral("name"),
                state_.TableFileName.mid(state_.TableFileName.startsWith(QLatin1Char('\\')))},
               {QStringLiteral("rows"), rows},
               {QStringLiteral("offset"), qint64(data.StepperOffset)}});
}

std::optional<int> WebApi::dataRow(const QJsonObject& request) const {
    const int rows = editor_.data().dataRows();
    const auto index = Whole(request.value(QStringLiteral("row")), 0, rows - 1);
    if (!index)
        return std::nullopt;
    return int(*index) + 1;
}

WebReply WebApi::turnToRow(const QJsonObject& request) {
    const std::optional<int> row = dataRow(request);
    if (!row)
        return BadRequest(QStringLiteral("row must be a row's index from 0"));
    if (!station_.following())
        return Error(409, QStringLiteral("the table is not open"));
    // A row is turned to through the rig: one that only listens keeps its dial.
    if (tuning_.port().portOpen() && !tuning_.connection().capabilities().canSetRig)
        return Error(409, QStringLiteral("This link cannot set the rig."));
    return requestTurn([this, row = *row, who = detail()] {
        tuning_.tableCommands().TurnToRow(row, engine::TurnOrigin::Network, who);
    });
}

WebReply WebApi::addRow() {
    if (!station_.following() || !tuning_.port().portOpen() ||
        tuning_.follower().CatFrequency() <= 0)
        return Error(409, QStringLiteral("no frequency from the rig"));
    const table::TableData& data = editor_.data();
    // Nobody is asked from here: a row of that frequency stays, a full table stays full.
    if (data.FindFreq(tuning_.follower().CatFrequency()) > 0)
        return Error(409, QStringLiteral("the table has a row for this frequency"));
    if (data.dataRows() >= table::TableData::MaxDataRows)
        return Error(409, QStringLiteral("the table is full"));
    if (editor_.AddOrReplaceRow(tuning_.follower().CatFrequency()) !=
        table::TableEditor::AddResult::Added)
        return Error(409, QStringLiteral("the row cannot be added"));
    return Ok();
}

WebReply WebApi::retune() {
    if (!station_.following() || !tuning_.port().portOpen() ||
        tuning_.follower().CatFrequency() <= 0)
        return Error(409, QStringLiteral("no frequency from the rig"));
    if (const QString refusal = tuning_.tableCommands().RetuneHere(); !refusal.isEmpty())
        return Error(409, refusal);
    // Saving clears the mark: still set, the new offset holds only until the program ends.
    if (editor_.TableChanged())
        return Error(500, QStringLiteral("the offset is set but the table cannot be saved to ") +
                              editor_.tablePath());
    return Ok();
}

WebReply WebApi::tuneNow() {
    if (!station_.following() || !tuning_.port().portOpen() ||
        tuning_.follower().CatFrequency() <= 0)
        return Error(409, QStringLiteral("no frequency from the rig"));
    if (!table::FreqToPosition(editor_.data(), tuning_.follower().CatFrequency()))
        return Error(409, QStringLiteral("the table has no position for the rig's frequency"));
    return requestTurn([this] { tuning_.TuneNow(engine::TurnOrigin::Network); });
}

WebReply WebApi::band(const QJsonObject& request) {
    const auto stepper = Whole(request.value(QStringLiteral("stepper")), 1, 2);
    const QString name = QLatin1Char('\\') + request.value(QStringLiteral("table")).toString();
    if (!stepper || !bands_.contains(*stepper - 1, name))
        return BadRequest(QStringLiteral("give \"stepper\" and a \"table\" of its band set"));
    if (!station_.following())
        return Error(409, QStringLiteral("the table is not open"));
    return requestTurn(
        [this, stepper = core::Long(*stepper - 1), name] { goToBand(stepper, name); });
}

void WebApi::goToBand(core::Long stepper, const QString& name) {
    if (stepper != state_.SelectedStepper)
        engine_.SwitchStepper(stepper);
    if (name != state_.TableFileName && !editor_.OpenBandTable(name))
        return; // the open table could not be saved first: it stays (the user was told)
    // The rig's frequency stays; the loop goes to the table's position for it.
    const table::TableData& data = editor_.data();
    if (const std::optional<core::Long> position =
            tuning_.port().portOpen()
                ? table::FreqToPosition(data, tuning_.follower().CatFrequency())
                : std::nullopt) {
        engine_.TurnTo({*position, engine::TurnOrigin::Network});
        return;
    }
    if (data.dataRows() == 0)
        return;
    // Elsewhere (or without a frequency) to the first row; following would turn it back.
    if (tuning_.follower().locked())
        tuning_.rigCommands().LockClicked();
    engine_.TurnTo({table::FreqToPosition(data, data.TableFreq[1]).value_or(data.TablePos[1]),
                    engine::TurnOrigin::Network});
}

WebReply WebApi::peakSearch() {
    if (!station_.following() || !tuning_.port().portOpen())
        return Error(409, QStringLiteral("the rig's link is closed"));
    if (tuning_.peakSearch().searching()) {
        tuning_.peakSearch().Stop();
        return Ok();
    }
    return requestTurn([this] {
        if (!tuning_.peakSearch().searching())
            tuning_.rigCommands().PeakSearchClicked();
    });
}

WebReply WebApi::swrTune() {
    if (!station_.following())
        return Error(409, QStringLiteral("the table is not open"));
    if (tuning_.swrTune().running()) {
        tuning_.rigCommands().SwrTuneClicked(); // a second press stops it
        return Ok();
    }
    if (const QString why = tuning_.rigCommands().SwrTuneUnavailable(); !why.isEmpty())
        return Error(409, why);
    return requestTurn([this] {
        if (!tuning_.swrTune().running())
            tuning_.rigCommands().SwrTuneClicked();
    });
}

WebReply WebApi::deleteRow(const QJsonObject& request) {
    const std::optional<int> row = dataRow(request);
    if (!row)
        return BadRequest(QStringLiteral("row must be a row's index from 0"));
    if (!station_.following())
        return Error(409, QStringLiteral("the table is not open"));
    editor_.DeleteRow(*row);
    return Ok();
}

WebReply WebApi::refusedReply(const engine::TurnRefusal& refusal) const {
    if (refusal.why == engine::TurnRefusal::Why::Transmitting) {
        // Why the rig counts as transmitting: a silent rig is only feared to.
        const tuning::TransmitHold hold = tuning_.transmitHold();
        const QString why = hold == tuning::TransmitHold::None ? QStringLiteral("the rig transmits")
                                                               : tuning::TransmitHoldText(hold);
        return Error(409, why + QStringLiteral(": no turning"));
    }
    if (refusal.why == engine::TurnRefusal::Why::Exiting ||
        refusal.why == engine::TurnRefusal::Why::CounterByHand)
        return Error(409, refusal.text);
    if (refusal.why == engine::TurnRefusal::Why::OutputUnable)
        return Error(503, refusal.text);
    return BadRequest(refusal.text);
}

WebReply WebApi::requestTurn(Action action, Kind kind, int steps,
                             std::optional<engine::TurnRequest> asked) {
    const engine::TurnRequest here = asked.value_or(
        engine::TurnRequest{state_.StepCounter, engine::TurnOrigin::Network}.describedAs(detail()));
    if (const std::optional<engine::TurnRefusal> refusal = engine_.Refuses(here)) {
        engine_.TellRefusal(here, *refusal);
        return refusedReply(*refusal);
    }
    // A jog asked again is no new request; anything else takes the jog's place.
    endJog(true);
    // Steps add up: clicked twice before the first has run, the button still makes two.
    if (kind == Kind::Steps) {
        pendingSteps_ = (turns_.waiting(this) == int(Kind::Steps) ? pendingSteps_ : 0) + steps;
        action = [this, who = detail()] {
            if (const int n = std::exchange(pendingSteps_, 0))
                engine_.StepBy(n, 0, engine::TurnOrigin::Network, StepsDetail(who, n));
        };
    }
    // Steps under way are let finish, so that no step asked for is lost.
    turns_.Put(this, std::move(action), int(kind),
               kind == Kind::Steps && turns_.running(this) == int(Kind::Steps));
    return Ok();
}

WebReply WebApi::moves() const {
    QJsonArray lines;
    for (QJsonObject entry : station_.recentMoves(RecentMoves)) {
        entry.insert(QStringLiteral("text"), engine::MoveLog::Text(entry));
        lines.append(entry);
    }
    return Ok({{QStringLiteral("moves"), lines}});
}

engine::TurnRequest WebApi::stepsAsked(int n) const {
    // StepBy counts n > 0 down.
    return engine::TurnRequest::By(-n, engine::TurnOrigin::Network)
        .describedAs(StepsDetail(detail(), n));
}

QString WebApi::detail() const {
    return peer_.isEmpty() ? QStringLiteral("web") : QStringLiteral("web ") + peer_;
}

void WebApi::dropPending() {
    turns_.Drop(this);
    pendingSteps_ = 0;
}

void WebApi::endJog(bool over) {
    if (over && !jogHold_.isEmpty()) {
        endedHolds_.append(jogHold_);
        if (endedHolds_.size() > 16)
            endedHolds_.removeFirst();
    }
    jogDirection_ = 0;
    jogHold_.clear();
    jogLease_->stop();
}

} // namespace web
