#include "vna/ShellVna.h"

#include "vna/ShellCodec.h"
#include "vna/VnaLogging.h"

#include <cmath>

namespace vna {

namespace {

// A short command is answered at once; allow for a busy USB stack.
constexpr double CommandTimeoutMs = 1500;
// The original firmware sweeps 101 points in about a second, the -H4 201 in 1.1 s; allow
// twice the slowest.
double SweepTimeoutMs(int points) {
    return 2000 + 25.0 * points;
}
// The original firmware's points when `info` does not say.
constexpr int DefaultMaxPoints = 101;

// "<start Hz> <stop Hz> <points>" as scan takes them.
QString RangeText(const SweepRequest& request) {
    const auto hz = [](double value) { return QString::number(qint64(std::llround(value))); };
    return hz(request.startHz) + QLatin1Char(' ') + hz(request.stopHz) + QLatin1Char(' ') +
           QString::number(request.points);
}

} // namespace

Result<QStringList> ShellVna::command(const QString& text, double timeoutMs) {
    const PortExchange::Reply reply =
        exchange_.exchange(shell::CommandLine(text), shell::ReplyWhole, timeoutMs);
    if (reply.outcome != PortExchange::Outcome::Complete)
        return Result<QStringList>::failure(PortExchange::FailureText(device_, reply.outcome));
    QStringList lines = shell::ReplyLines(reply.bytes, text);
    // A command the firmware does not have is answered "<name>?": it told nothing.
    if (lines.size() == 1 && lines.first() == text.section(QLatin1Char(' '), 0, 0) + QLatin1Char('?'))
        lines.clear();
    return {lines, {}};
}

Result<VnaIdentity> ShellVna::open() {
    if (const QString why = exchange_.open(device_); !why.isEmpty())
        return Result<VnaIdentity>::failure(why);
    // An empty line only brings the prompt: the shell is there and ready.
    if (const auto ready = command(QString(), CommandTimeoutMs); !ready.ok())
        return Result<VnaIdentity>::failure(ready.error);
    const auto version = command(QStringLiteral("version"), CommandTimeoutMs);
    const auto info = command(QStringLiteral("info"), CommandTimeoutMs);
    const auto help = command(QStringLiteral("help"), CommandTimeoutMs);
    if (!version.ok() || !info.ok() || !help.ok())
        return Result<VnaIdentity>::failure(!version.ok() ? version.error
                                            : !info.ok()  ? info.error
                                                          : help.error);
    const shell::Info about = shell::ReadInfo(*info.value);
    maxPoints_ = about.maxPoints.value_or(DefaultMaxPoints);
    form_ = shell::ReadCommandNames(*help.value).contains(QStringLiteral("scan_bin"))
                ? ScanForm::Binary
                : ScanForm::Text;
    const auto ownSweep = command(QStringLiteral("sweep"), CommandTimeoutMs);
    if (!ownSweep.ok())
        return Result<VnaIdentity>::failure(ownSweep.error);
    ownSweep_ = shell::ReadSweepRange(*ownSweep.value);
    if (const auto paused = command(QStringLiteral("pause"), CommandTimeoutMs); !paused.ok())
        return Result<VnaIdentity>::failure(paused.error);
    VnaIdentity identity;
    identity.name = (about.board.isEmpty() ? QStringLiteral("NanoVNA") : about.board) +
                    (version.value->isEmpty() ? QString() : QLatin1Char(' ') + version.value->first());
    identity.maxPoints = maxPoints_;
    qCInfo(lcVna) << "shell VNA" << identity.name << "on" << device_ << "at most"
                  << maxPoints_ << "points";
    return {identity, {}};
}

Result<Sweep> ShellVna::sweep(const SweepRequest& request) {
    if (request.points < 2 || request.points > maxPoints_)
        return Result<Sweep>::failure(
            QStringLiteral("The VNA sweeps 2 to %1 points, not %2.").arg(maxPoints_).arg(request.points));
    const QString range = RangeText(request);
    const double timeoutMs = SweepTimeoutMs(request.points);
    if (form_ == ScanForm::Binary) {
        const QString text = QStringLiteral("scan_bin ") + range + QStringLiteral(" 3");
        const PortExchange::Reply reply = exchange_.exchange(
            shell::CommandLine(text),
            [&](const QByteArray& bytes) { return shell::BinaryReplyWhole(bytes, text, request.points); },
            timeoutMs);
        // Bytes lost on the way leave the output short of its length: the prompt came, the
        // reply never became whole.
        const bool cutShort = reply.outcome == PortExchange::Outcome::Silent &&
                              shell::ReplyWhole(reply.bytes);
        if (reply.outcome != PortExchange::Outcome::Complete && !cutShort)
            return Result<Sweep>::failure(PortExchange::FailureText(device_, reply.outcome));
        return shell::ReadBinaryScan(reply.bytes, text, request);
    }
    if (form_ == ScanForm::Text) {
        const auto lines = command(QStringLiteral("scan ") + range + QStringLiteral(" 3"), timeoutMs);
        if (!lines.ok())
            return Result<Sweep>::failure(lines.error);
        if (const std::optional<int> limit = shell::PointsLimit(*lines.value))
            return Result<Sweep>::failure(QStringLiteral("The VNA sweeps at most %1 points.").arg(*limit));
        // A firmware whose scan takes no output mask sweeps and prints nothing, or refuses
        // the mask with its usage.
        const bool noMask = lines.value->isEmpty() ||
                            lines.value->first().startsWith(QLatin1String("usage: scan")) ||
                            lines.value->first().startsWith(QLatin1String("arg 4"));
        if (!noMask)
            return shell::ReadScanLines(*lines.value, request);
        form_ = ScanForm::Legacy;
        qCInfo(lcVna) << "the VNA's scan prints nothing: reading frequencies and data";
    }
    return scanLegacy(request, timeoutMs);
}

Result<Sweep> ShellVna::scanLegacy(const SweepRequest& request, double timeoutMs) {
    const auto scanned = command(QStringLiteral("scan ") + RangeText(request), timeoutMs);
    if (!scanned.ok())
        return Result<Sweep>::failure(scanned.error);
    if (const std::optional<int> limit = shell::PointsLimit(*scanned.value))
        return Result<Sweep>::failure(QStringLiteral("The VNA sweeps at most %1 points.").arg(*limit));
    const auto frequencies = command(QStringLiteral("frequencies"), CommandTimeoutMs);
    const auto data = command(QStringLiteral("data 0"), CommandTimeoutMs);
    if (!frequencies.ok() || !data.ok())
        return Result<Sweep>::failure(!frequencies.ok() ? frequencies.error : data.error);
    return shell::ReadFrequencyAndDataLines(*frequencies.value, *data.value, request);
}

void ShellVna::close() {
    if (exchange_.port().present()) {
        // The device sweeps its own range on its screen again; nothing waits for its prompt.
        const QByteArray restore =
            (ownSweep_.isEmpty() ? QByteArray() : shell::CommandLine(QStringLiteral("sweep ") + ownSweep_)) +
            shell::CommandLine(QStringLiteral("resume"));
        if (!exchange_.port().write(restore))
            qCInfo(lcVna) << "the VNA on" << device_ << "could not be resumed";
    }
    exchange_.port().close();
}

} // namespace vna
