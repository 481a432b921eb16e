#include "vna/ShellCodec.h"

#include <QLocale>
#include <QRegularExpression>
#include <QtEndian>
#include <cmath>
#include <cstring>

namespace vna::shell {

namespace {

const QByteArray Prompt = QByteArrayLiteral("ch>");
// The shell's float printer overflows a 32-bit integer for a value it cannot print.
constexpr double PrinterOverflow = 2147483647.0;
constexpr int BinaryHeaderSize = 4;
constexpr int BinaryPointSize = 12;
constexpr quint16 BinaryMask = 0x83;

QString GarbledText(int lineNumber, const QString& line) {
    return QStringLiteral("The VNA's reply is garbled (line %1: \"%2\").")
        .arg(lineNumber)
        .arg(line.left(60));
}

QString ShortText(qsizetype got, int wanted) {
    return QStringLiteral("The VNA sent %1 of %2 points.").arg(got).arg(wanted);
}

// A frequency as the shell prints it: a whole number of Hz.
std::optional<double> ReadHz(QStringView token) {
    bool ok = false;
    const qulonglong hz = token.toULongLong(&ok);
    return ok ? std::optional<double>(double(hz)) : std::nullopt;
}

bool HzInRequest(double hz, const SweepRequest& request) {
    return hz >= request.startHz - 1 && hz <= request.stopHz + 1;
}

SweepPoint MakePoint(double hz, const Value& re, const Value& im) {
    SweepPoint point{hz, {re.number, im.number}, true};
    point.valid = re.kind == Value::Kind::Number && im.kind == Value::Kind::Number &&
                  std::abs(point.s11) <= MostPlausibleS11;
    if (!point.valid)
        point.s11 = {};
    return point;
}

// Where the bytes after the echoed command start: after the echo's line end. A firmware that
// does not echo starts its output at once.
qsizetype OutputStart(const QByteArray& bytes, const QString& command) {
    const qsizetype echo = bytes.indexOf(command.toLatin1());
    if (echo < 0)
        return 0;
    const qsizetype lineEnd = bytes.indexOf('\n', echo);
    return lineEnd < 0 ? -1 : lineEnd + 1;
}

} // namespace

QByteArray CommandLine(const QString& command) {
    return command.toLatin1() + '\r';
}

bool ReplyWhole(const QByteArray& bytes) {
    const QByteArray tail = bytes.endsWith(' ') ? bytes.chopped(1) : bytes;
    return tail.endsWith(Prompt);
}

QStringList ReplyLines(const QByteArray& bytes, const QString& command) {
    QByteArray text = bytes;
    if (ReplyWhole(text))
        text.truncate(text.lastIndexOf(Prompt));
    QStringList lines;
    bool echoSeen = false;
    for (QByteArray line : text.split('\n')) {
        if (line.endsWith('\r'))
            line.chop(1);
        const QString decoded = QString::fromLatin1(line).trimmed();
        if (!echoSeen && decoded.endsWith(command)) {
            // The echo, perhaps behind an earlier prompt; what came before it is no output.
            echoSeen = true;
            lines.clear();
            continue;
        }
        if (!decoded.isEmpty())
            lines << decoded;
    }
    return lines;
}

Value ReadValue(QStringView token) {
    QString text = token.toString().trimmed().toLower();
    if (text.contains(QLatin1String("nan")) || text.contains(QLatin1String("inf")))
        return {Value::Kind::Failed, 0};
    // The overflow prints the integer part as it wrapped, the fraction too: "-2147483648.-147483648".
    const qsizetype separator = text.indexOf(QRegularExpression(QStringLiteral("[.,]")));
    bool whole = false;
    const qlonglong integer = text.left(separator).toLongLong(&whole);
    if (whole && std::abs(double(integer)) >= PrinterOverflow)
        return {Value::Kind::Failed, 0};
    if (text.count(QLatin1Char(',')) + text.count(QLatin1Char('.')) > 1)
        return {};
    text.replace(QLatin1Char(','), QLatin1Char('.'));
    bool ok = false;
    const double number = QLocale::c().toDouble(text, &ok);
    if (!ok || !std::isfinite(number))
        return {};
    if (std::abs(number) >= PrinterOverflow)
        return {Value::Kind::Failed, 0};
    return {Value::Kind::Number, number};
}

Result<Sweep> ReadScanLines(const QStringList& lines, const SweepRequest& request) {
    Sweep sweep;
    double lastHz = -1;
    for (int i = 0; i < lines.size(); ++i) {
        const QStringList fields = lines[i].split(QLatin1Char(' '), Qt::SkipEmptyParts);
        const std::optional<double> hz = fields.size() == 3 ? ReadHz(fields[0]) : std::nullopt;
        const Value re = fields.size() == 3 ? ReadValue(fields[1]) : Value{};
        const Value im = fields.size() == 3 ? ReadValue(fields[2]) : Value{};
        if (!hz || *hz <= lastHz || !HzInRequest(*hz, request) ||
            re.kind == Value::Kind::Garbled || im.kind == Value::Kind::Garbled)
            return Result<Sweep>::failure(GarbledText(i + 1, lines[i]));
        lastHz = *hz;
        sweep.push_back(MakePoint(*hz, re, im));
    }
    if (int(sweep.size()) != request.points)
        return Result<Sweep>::failure(ShortText(sweep.size(), request.points));
    return {std::move(sweep), {}};
}

Result<Sweep> ReadFrequencyAndDataLines(const QStringList& frequencyLines,
                                        const QStringList& dataLines,
                                        const SweepRequest& request) {
    if (frequencyLines.size() != request.points || dataLines.size() != request.points)
        return Result<Sweep>::failure(
            ShortText(std::min(frequencyLines.size(), dataLines.size()), request.points));
    Sweep sweep;
    double lastHz = -1;
    for (int i = 0; i < request.points; ++i) {
        const std::optional<double> hz = ReadHz(frequencyLines[i]);
        if (!hz || *hz <= lastHz || !HzInRequest(*hz, request))
            return Result<Sweep>::failure(GarbledText(i + 1, frequencyLines[i]));
        const QStringList fields = dataLines[i].split(QLatin1Char(' '), Qt::SkipEmptyParts);
        const Value re = fields.size() == 2 ? ReadValue(fields[0]) : Value{};
        const Value im = fields.size() == 2 ? ReadValue(fields[1]) : Value{};
        if (re.kind == Value::Kind::Garbled || im.kind == Value::Kind::Garbled)
            return Result<Sweep>::failure(GarbledText(i + 1, dataLines[i]));
        lastHz = *hz;
        sweep.push_back(MakePoint(*hz, re, im));
    }
    return {std::move(sweep), {}};
}

namespace {

// The binary output's header at start, when there is one for points.
bool BinaryHeaderAt(const QByteArray& bytes, qsizetype start, int points) {
    if (start < 0 || bytes.size() < start + BinaryHeaderSize)
        return false;
    const auto* data = reinterpret_cast<const uchar*>(bytes.constData() + start);
    return qFromLittleEndian<quint16>(data) == BinaryMask &&
           qFromLittleEndian<quint16>(data + 2) == points;
}

qsizetype BinaryPayloadSize(int points) {
    return BinaryHeaderSize + qsizetype(points) * BinaryPointSize;
}

} // namespace

bool BinaryReplyWhole(const QByteArray& bytes, const QString& command, int points) {
    const qsizetype start = OutputStart(bytes, command);
    if (start < 0)
        return false;
    if (!BinaryHeaderAt(bytes, start, points))
        return bytes.size() >= start + BinaryHeaderSize && ReplyWhole(bytes);
    const qsizetype end = start + BinaryPayloadSize(points);
    return bytes.size() > end && ReplyWhole(bytes.mid(end));
}

Result<Sweep> ReadBinaryScan(const QByteArray& bytes, const QString& command,
                             const SweepRequest& request) {
    const qsizetype start = OutputStart(bytes, command);
    if (!BinaryHeaderAt(bytes, start, request.points)) {
        const QStringList lines = ReplyLines(bytes, command);
        return Result<Sweep>::failure(
            lines.isEmpty() ? QStringLiteral("The VNA's reply is garbled.")
                            : QStringLiteral("The VNA refused the sweep: \"%1\".")
                                  .arg(lines.first().left(60)));
    }
    const qsizetype end = start + BinaryPayloadSize(request.points);
    if (bytes.size() < end || !ReplyWhole(bytes.mid(end)))
        return Result<Sweep>::failure(QStringLiteral("The VNA's reply is garbled (%1 bytes for %2).")
                                          .arg(bytes.size() - start)
                                          .arg(BinaryPayloadSize(request.points) + 4));
    Sweep sweep;
    double lastHz = -1;
    const auto* data = reinterpret_cast<const uchar*>(bytes.constData() + start + BinaryHeaderSize);
    for (int i = 0; i < request.points; ++i, data += BinaryPointSize) {
        const double hz = qFromLittleEndian<quint32>(data);
        const float re = qFromLittleEndian<float>(data + 4);
        const float im = qFromLittleEndian<float>(data + 8);
        if (hz <= lastHz || !HzInRequest(hz, request))
            return Result<Sweep>::failure(
                QStringLiteral("The VNA's reply is garbled (point %1 at %2 Hz).").arg(i + 1).arg(hz));
        lastHz = hz;
        const auto value = [](float v) {
            return std::isfinite(v) ? Value{Value::Kind::Number, v} : Value{Value::Kind::Failed, 0};
        };
        sweep.push_back(MakePoint(hz, value(re), value(im)));
    }
    return {std::move(sweep), {}};
}

Info ReadInfo(const QStringList& lines) {
    Info info;
    static const QRegularExpression pointsField(QStringLiteral("\\bp:\\s*(\\d+)"));
    for (const QString& line : lines) {
        if (line.startsWith(QLatin1String("Board:")))
            info.board = line.mid(6).trimmed();
        const QRegularExpressionMatch match = pointsField.match(line);
        if (match.hasMatch())
            info.maxPoints = match.captured(1).toInt();
    }
    return info;
}

std::optional<int> PointsLimit(const QStringList& lines) {
    static const QRegularExpression limit(QStringLiteral("exceeds range\\s+(\\d+)"));
    for (const QString& line : lines) {
        const QRegularExpressionMatch match = limit.match(line);
        if (match.hasMatch())
            return match.captured(1).toInt();
    }
    return std::nullopt;
}

QString ReadSweepRange(const QStringList& lines) {
    static const QRegularExpression range(QStringLiteral("^(\\d+) (\\d+) (\\d+)$"));
    return !lines.isEmpty() && range.match(lines.first()).hasMatch() ? lines.first() : QString();
}

QStringList ReadCommandNames(const QStringList& lines) {
    QStringList names;
    for (const QString& line : lines) {
        QString text = line;
        if (text.startsWith(QLatin1String("Commands:")))
            text = text.mid(9);
        names << text.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    }
    return names;
}

} // namespace vna::shell
