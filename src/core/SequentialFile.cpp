#include "core/SequentialFile.h"

#include "core/TextRules.h"

#include <cmath>
#include <limits>
#include <tuple>

namespace core {

SequentialWriter& SequentialWriter::raw(const QString& text) {
    if (recordStarted_)
        bytes_ += ',';
    bytes_ += text.toLatin1();
    recordStarted_ = true;
    return *this;
}

SequentialWriter& SequentialWriter::field(const QString& text) {
    QString storable = text;
    storable.remove(QLatin1Char('"')).remove(QLatin1Char('\r')).remove(QLatin1Char('\n'));
    return raw(QLatin1Char('"') + storable + QLatin1Char('"'));
}

SequentialWriter& SequentialWriter::field(bool value) {
    return raw(value ? QStringLiteral("#TRUE#") : QStringLiteral("#FALSE#"));
}

SequentialWriter& SequentialWriter::field(float value) {
    return raw(PlainNumberText(value));
}

SequentialWriter& SequentialWriter::field(double value) {
    return raw(PlainNumberText(value));
}

SequentialWriter& SequentialWriter::endRecord() {
    bytes_ += "\r\n";
    recordStarted_ = false;
    return *this;
}

namespace {

bool isLineEnd(char c) {
    return c == '\r' || c == '\n';
}

// Skips one line end (CR LF counts as one) at position i; returns the new position.
qsizetype skipLineEnd(const QByteArray& data, qsizetype i) {
    if (data[i] == '\r' && i + 1 < data.size() && data[i + 1] == '\n')
        return i + 2;
    return i + 1;
}

} // namespace

bool SequentialReader::atEnd() const {
    return !peekField().has_value();
}

std::optional<SequentialReader::Field> SequentialReader::peekField() const {
    qsizetype i = pos_;
    int line = line_;
    const qsizetype n = data_.size();
    // Blank lines and leading blanks before a field are skipped.
    while (i < n && (data_[i] == ' ' || data_[i] == '\t' || isLineEnd(data_[i]))) {
        if (isLineEnd(data_[i])) {
            i = skipLineEnd(data_, i);
            ++line;
        } else {
            ++i;
        }
    }
    if (i >= n)
        return std::nullopt;

    Field field;
    if (data_[i] == '"') {
        // A quoted field runs to the next quote, commas included; what follows the closing
        // quote up to the delimiter is ignored. A missing closing quote ends at the line end.
        field.quoted = true;
        ++i;
        while (i < n && data_[i] != '"' && !isLineEnd(data_[i]))
            field.text += data_[i++];
        if (i < n && data_[i] == '"')
            ++i;
        while (i < n && data_[i] != ',' && !isLineEnd(data_[i]))
            ++i;
    } else {
        while (i < n && data_[i] != ',' && !isLineEnd(data_[i]))
            field.text += data_[i++];
        field.text = field.text.trimmed();
    }
    if (i < n) {
        if (data_[i] == ',') {
            ++i;
        } else {
            i = skipLineEnd(data_, i);
            ++line;
        }
    }
    field.next = i;
    field.nextLine = line;
    return field;
}

void SequentialReader::take(const Field& field) {
    pos_ = field.next;
    line_ = field.nextLine;
}

std::optional<QString> SequentialReader::readString() {
    const auto field = peekField();
    if (!field)
        return std::nullopt;
    take(*field);
    return QString::fromLatin1(field->text);
}

std::optional<double> SequentialReader::readNumber() {
    const auto field = peekField();
    if (!field || field->quoted)
        return std::nullopt;
    double value = 0.0;
    if (!field->text.isEmpty()) {
        bool ok = false;
        value = QString::fromLatin1(field->text).toDouble(&ok);
        if (!ok || !std::isfinite(value))
            return std::nullopt;
    }
    take(*field);
    return value;
}

std::optional<float> SequentialReader::readSingle() {
    const auto field = peekField();
    if (!field)
        return std::nullopt;
    const auto saved = std::make_pair(pos_, line_);
    const auto value = readNumber();
    if (!value || std::fabs(*value) > std::numeric_limits<float>::max()) {
        std::tie(pos_, line_) = saved;
        return std::nullopt;
    }
    return static_cast<float>(*value);
}

std::optional<std::int32_t> SequentialReader::readLong() {
    const auto saved = std::make_pair(pos_, line_);
    const auto value = readNumber();
    if (!value)
        return std::nullopt;
    const double rounded = RoundHalfEven(*value);
    if (rounded < std::numeric_limits<std::int32_t>::min() ||
        rounded > std::numeric_limits<std::int32_t>::max()) {
        std::tie(pos_, line_) = saved;
        return std::nullopt;
    }
    return static_cast<std::int32_t>(rounded);
}

std::optional<std::int16_t> SequentialReader::readInteger() {
    const auto saved = std::make_pair(pos_, line_);
    const auto value = readLong();
    if (!value)
        return std::nullopt;
    if (*value < std::numeric_limits<std::int16_t>::min() ||
        *value > std::numeric_limits<std::int16_t>::max()) {
        std::tie(pos_, line_) = saved;
        return std::nullopt;
    }
    return static_cast<std::int16_t>(*value);
}

std::optional<bool> SequentialReader::readBoolean() {
    const auto field = peekField();
    if (!field)
        return std::nullopt;
    if (!field->quoted) {
        const QByteArray upper = field->text.toUpper();
        if (upper == "#TRUE#" || upper == "#FALSE#") {
            take(*field);
            return upper == "#TRUE#";
        }
    }
    const auto value = readNumber();
    if (!value)
        return std::nullopt;
    return *value != 0.0;
}

} // namespace core
