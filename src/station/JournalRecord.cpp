#include "station/JournalRecord.h"

#include <QList>
#include <algorithm>
#include <cstdlib>
#include <limits>

namespace station {

namespace {

constexpr char FirstHeader[] = "Ventrolo journal 1";
constexpr char Header[] = "Ventrolo journal 2";
constexpr char End[] = "end";

std::optional<core::Long> Number(const QByteArray& text) {
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    return ok ? std::optional<core::Long>(value) : std::nullopt;
}

QByteArray Check(QByteArrayView text) {
    return QByteArray::number(qChecksum(text), 16).rightJustified(4, '0');
}

// A key a later version may add: letters, perhaps a stepper's digit.
bool IsKey(const QByteArray& key) {
    return !key.isEmpty() &&
           std::all_of(key.begin(), key.end(), [](char c) {
               return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
           });
}

} // namespace

core::Long JournalRecord::Stepper::uncertainty() const {
    if (!turningTo)
        return 0;
    const core::Long distance = static_cast<core::Long>(std::min<std::int64_t>(
        std::abs(std::int64_t{*turningTo} - counter), std::numeric_limits<core::Long>::max()));
    return reach ? std::min(*reach, distance) : distance;
}

QByteArray JournalRecord::Serialize() const {
    QByteArray text = QByteArray(Header) + "\r\nrecord=" + QByteArray::number(number) + "\r\n";
    if (!config.isEmpty())
        text += "config=" + config + "\r\n";
    for (std::size_t i = 0; i < steppers.size(); ++i)
        text += "stepper" + QByteArray::number(i + 1) + '=' +
                QByteArray::number(steppers[i].counter) + ' ' +
                QByteArray::number(steppers[i].overlay) + "\r\n";
    for (std::size_t i = 0; i < steppers.size(); ++i) {
        if (!steppers[i].turningTo)
            continue;
        text += "turning" + QByteArray::number(i + 1) + '=' +
                QByteArray::number(*steppers[i].turningTo);
        if (steppers[i].reach)
            text += ' ' + QByteArray::number(*steppers[i].reach);
        text += "\r\n";
    }
    return text + End + ' ' + Check(text) + "\r\n";
}

std::optional<JournalRecord> JournalRecord::Parse(const QByteArray& contents, int* badLine) {
    int lineNumber = 0;
    auto bad = [&]() -> std::optional<JournalRecord> {
        if (badLine)
            *badLine = lineNumber;
        return std::nullopt;
    };
    JournalRecord record;
    std::array<bool, 2> seen{false, false};
    bool headed = false;
    bool first = false; // the first version: no number, no check, no keys of later versions
    bool numbered = false;
    bool ended = false;
    qsizetype lineStart = 0;
    while (lineStart < contents.size()) {
        qsizetype lineEnd = contents.indexOf('\n', lineStart);
        if (lineEnd < 0)
            lineEnd = contents.size();
        const QByteArray line = contents.mid(lineStart, lineEnd - lineStart).trimmed();
        const QByteArrayView before(contents.constData(), lineStart);
        lineStart = lineEnd + 1;
        ++lineNumber;
        if (line.isEmpty())
            continue;
        if (ended)
            return bad();
        if (!headed) {
            if (line != Header && line != FirstHeader)
                return bad();
            headed = true;
            first = line == FirstHeader;
            continue;
        }
        if (line == End && first) {
            ended = true;
            continue;
        }
        if (line.startsWith(QByteArray(End) + ' ') && !first) {
            if (line.mid(sizeof(End)) != Check(before))
                return bad();
            ended = true;
            continue;
        }
        const qsizetype equals = line.indexOf('=');
        const QByteArray key = line.left(equals);
        const QByteArray value = line.mid(equals + 1);
        if (equals < 0 || !IsKey(key))
            return bad();
        if (key == "record" && !first) {
            bool ok = false;
            record.number = value.trimmed().toULongLong(&ok);
            if (!ok || numbered)
                return bad();
            numbered = true;
            continue;
        }
        if (key == "config" && !first) {
            if (!record.config.isEmpty() || value.trimmed().isEmpty())
                return bad();
            record.config = value.trimmed();
            continue;
        }
        const bool ofStepper = key.size() >= 2 && (key.endsWith('1') || key.endsWith('2'));
        const QByteArray name = ofStepper ? key.chopped(1) : key;
        const QList<QByteArray> numbers = value.simplified().split(' ');
        if (ofStepper && name == "stepper") {
            Stepper& stepper = record.steppers[key.endsWith('1') ? 0 : 1];
            const auto counter = Number(numbers.value(0));
            const auto overlay = Number(numbers.value(1));
            bool& already = seen[key.endsWith('1') ? 0 : 1];
            if ((first ? numbers.size() != 2 : numbers.size() < 2) || !counter || !overlay ||
                already)
                return bad();
            already = true;
            stepper.counter = *counter;
            stepper.overlay = *overlay;
        } else if (ofStepper && name == "turning") {
            Stepper& stepper = record.steppers[key.endsWith('1') ? 0 : 1];
            const auto to = Number(numbers.value(0));
            const auto reach = numbers.size() == 2 ? Number(numbers[1]) : std::nullopt;
            if (!to || stepper.turningTo || numbers.size() > 2 ||
                (numbers.size() == 2 && (!reach || *reach < 0)))
                return bad();
            stepper.turningTo = to;
            stepper.reach = reach;
        } else if (first) {
            return bad();
        }
    }
    if (!ended || !seen[0] || !seen[1] || (!first && !numbered))
        return bad();
    return record;
}

} // namespace station
