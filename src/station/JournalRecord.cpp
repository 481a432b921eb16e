#include "station/JournalRecord.h"

#include <QList>
#include <algorithm>
#include <cstdlib>
#include <limits>

namespace station {

namespace {

constexpr char Header[] = "Ventrolo journal 1";
constexpr char End[] = "end";

std::optional<core::Long> Number(const QByteArray& text) {
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    return ok ? std::optional<core::Long>(value) : std::nullopt;
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
    QByteArray text = QByteArray(Header) + "\r\n";
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
    return text + End + "\r\n";
}

std::optional<JournalRecord> JournalRecord::Parse(const QByteArray& contents, int* badLine) {
    QList<QByteArray> lines = contents.split('\n');
    int lineNumber = 0;
    auto bad = [&]() -> std::optional<JournalRecord> {
        if (badLine)
            *badLine = lineNumber;
        return std::nullopt;
    };
    JournalRecord record;
    std::array<bool, 2> seen{false, false};
    bool headed = false;
    bool ended = false;
    for (const QByteArray& raw : lines) {
        ++lineNumber;
        const QByteArray line = raw.trimmed();
        if (line.isEmpty())
            continue;
        if (ended)
            return bad();
        if (!headed) {
            if (line != Header)
                return bad();
            headed = true;
            continue;
        }
        if (line == End) {
            ended = true;
            continue;
        }
        const qsizetype equals = line.indexOf('=');
        const QByteArray key = line.left(equals);
        const QByteArray value = line.mid(equals + 1);
        if (equals < 0 || key.size() < 2 || (!key.endsWith('1') && !key.endsWith('2')))
            return bad();
        Stepper& stepper = record.steppers[key.endsWith('1') ? 0 : 1];
        const QByteArray name = key.chopped(1);
        if (name == "stepper") {
            const QList<QByteArray> numbers = value.simplified().split(' ');
            const auto counter = Number(numbers.value(0));
            const auto overlay = Number(numbers.value(1));
            bool& already = seen[key.endsWith('1') ? 0 : 1];
            if (numbers.size() != 2 || !counter || !overlay || already)
                return bad();
            already = true;
            stepper.counter = *counter;
            stepper.overlay = *overlay;
        } else if (name == "turning") {
            const QList<QByteArray> numbers = value.simplified().split(' ');
            const auto to = Number(numbers.value(0));
            const auto reach = numbers.size() == 2 ? Number(numbers[1]) : std::nullopt;
            if (!to || stepper.turningTo || numbers.size() > 2 ||
                (numbers.size() == 2 && (!reach || *reach < 0)))
                return bad();
            stepper.turningTo = to;
            stepper.reach = reach;
        } else {
            return bad();
        }
    }
    if (!ended || !seen[0] || !seen[1])
        return bad();
    return record;
}

} // namespace station
