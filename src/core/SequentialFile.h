#pragma once

#include <QByteArray>
#include <QString>
#include <concepts>
#include <cstdint>
#include <optional>

namespace core {

// Writes records in the program's text-file notation: fields separated by commas, strings in
// double quotes, numbers bare with "." as decimal point, Booleans as #TRUE# / #FALSE#, every
// record ended by CR LF. Text is stored as Latin-1.
class SequentialWriter {
public:
    // A double quote or a line break cannot stand inside the quotes of a string (the field
    // would end there when read back) and is left out.
    SequentialWriter& field(const QString& text);
    SequentialWriter& field(const char* text) { return field(QString::fromLatin1(text)); }
    SequentialWriter& field(bool value);
    SequentialWriter& field(float value);
    SequentialWriter& field(double value);
    template <std::integral T>
    requires(!std::same_as<T, bool>) SequentialWriter& field(T value) {
        return raw(QString::number(value));
    }
    SequentialWriter& endRecord();

    const QByteArray& bytes() const { return bytes_; }

private:
    SequentialWriter& raw(const QString& text);

    QByteArray bytes_;
    bool recordStarted_ = false;
};

// Reads the same notation back field by field; a comma and a line end (CR LF, LF or a lone CR)
// both end a field, so the line breaks carry no meaning of their own. A read that finds no
// field, or a field that does not fit the type asked for, gives nullopt; the reader is then
// left where it was, so the caller can stop and keep what it read so far.
class SequentialReader {
public:
    explicit SequentialReader(QByteArray data) : data_(std::move(data)) {}

    std::optional<QString> readString();
    std::optional<double> readNumber();
    std::optional<float> readSingle();
    // Whole numbers are rounded halves to even; values beyond the type's range are refused.
    std::optional<std::int32_t> readLong();
    std::optional<std::int16_t> readInteger();
    // #TRUE# / #FALSE#, or a number (not 0 is True).
    std::optional<bool> readBoolean();

    bool atEnd() const;
    // Line of the next field, counted from 1.
    int line() const { return line_; }

private:
    struct Field {
        QByteArray text;
        bool quoted = false;
        qsizetype next = 0; // position after the field and its delimiter
        int nextLine = 0;
    };
    std::optional<Field> peekField() const;
    void take(const Field& field);

    QByteArray data_;
    qsizetype pos_ = 0;
    int line_ = 1;
};

} // namespace core
