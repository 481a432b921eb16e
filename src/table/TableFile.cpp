#include "table/TableFile.h"

#include "core/AtomicFile.h"
#include "core/SequentialFile.h"
#include "core/TextFile.h"
#include "core/TextRules.h"
#include "core/VersionTexts.h"

#include <QList>
#include <set>

namespace table {
namespace {

void writeRow(core::SequentialWriter& out, core::Single freq, core::Long pos, const QString& text) {
    // The float in the shortest text that reads back as the same float (3500, 3502.5, 14250.125,
    // 7074.2): seven significant digits would turn 14250.125 into 14250.12, another value that
    // may then collide with a neighbouring row.
    out.field(core::ShortestDecimal(freq)).field(pos).field(StorableDescription(text)).endRecord();
}

// Splits at CR LF, LF or a lone CR; a line end after the last line makes no empty line.
QList<QByteArray> splitLines(const QByteArray& bytes) {
    QList<QByteArray> lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (bytes[i] != '\r' && bytes[i] != '\n')
            continue;
        lines.append(bytes.mid(start, i - start));
        if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    if (start < bytes.size())
        lines.append(bytes.mid(start));
    return lines;
}

std::optional<core::Single> readSingle(const QByteArray& field) {
    // An empty field would read as 0; a row without a frequency is no row.
    if (field.trimmed().isEmpty())
        return std::nullopt;
    return core::SequentialReader(field).readSingle();
}

std::optional<core::Long> readLong(const QByteArray& field) {
    if (field.trimmed().isEmpty())
        return std::nullopt;
    return core::SequentialReader(field).readLong();
}

struct ParsedRow {
    std::optional<TableRow> row; // nullopt: the numbers are not there
    bool quotesDamaged = false;
};

// A row line: the frequency, a comma, the position, a comma, the quoted description. Numbers
// hold no comma, so the description is everything after the second comma: a comma inside it is
// part of it. A description whose quotes are missing or doubled keeps all its text with every
// quote removed.
ParsedRow parseRow(const QByteArray& line) {
    const qsizetype comma1 = line.indexOf(',');
    const qsizetype comma2 = comma1 < 0 ? -1 : line.indexOf(',', comma1 + 1);
    const QByteArray freqField = comma1 < 0 ? line : line.left(comma1);
    const QByteArray posField =
        comma1 < 0 ? QByteArray() : line.mid(comma1 + 1, comma2 < 0 ? -1 : comma2 - comma1 - 1);
    const QByteArray rest = comma2 < 0 ? QByteArray() : line.mid(comma2 + 1).trimmed();

    ParsedRow parsed;
    const auto freq = readSingle(freqField);
    // A row without its position is refused rather than read as position 0: the stepper would
    // turn there for that frequency.
    const auto pos = readLong(posField);
    if (!freq || !pos)
        return parsed;

    QByteArray text;
    if (rest.size() >= 2 && rest.startsWith('"') && rest.endsWith('"') && rest.count('"') == 2) {
        text = rest.mid(1, rest.size() - 2);
    } else {
        // An empty description may be written without quotes.
        parsed.quotesDamaged = !rest.isEmpty();
        text = rest;
        text.replace('"', QByteArray());
    }
    parsed.row = TableRow{*freq, *pos, QString::fromLatin1(text)};
    return parsed;
}

QString lineText(int lineNumber) {
    return QStringLiteral("line %1: ").arg(lineNumber);
}

} // namespace

QByteArray SerializeTable(const TableData& table) {
    core::SequentialWriter out;
    out.field(core::MessageTitle()).endRecord();
    for (int row = 0; row <= table.TableLast; ++row)
        writeRow(out, table.TableFreq[row], table.TablePos[row], table.TableText[row]);
    return out.bytes();
}

TableFileContents ParseTableFile(const QByteArray& bytes) {
    TableFileContents contents;
    const QList<QByteArray> lines = splitLines(bytes);
    if (lines.isEmpty()) {
        contents.problems << QStringLiteral("the file is empty");
        return contents;
    }
    contents.version = core::SequentialReader(lines[0]).readString().value_or(QString());

    std::set<core::Single> seen;
    int ignoredFirst = 0; // first line beyond the 100th data row
    int ignoredCount = 0;
    bool headerDone = false;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const int lineNumber = int(i) + 1;
        const QByteArray& line = lines[i];
        // Blank lines hold no row (an editor often leaves one at the end).
        if (line.trimmed().isEmpty())
            continue;
        const ParsedRow parsed = parseRow(line);
        if (parsed.quotesDamaged)
            contents.problems << lineText(lineNumber) +
                                     QStringLiteral("a quote of the description is missing; "
                                                    "its text was read without quotes");
        if (!headerDone) {
            // The first line after the version line is the header even when damaged: taking
            // the next line instead would make a data row the header.
            headerDone = true;
            contents.header = parsed.row;
            if (!parsed.row)
                contents.problems << lineText(lineNumber) +
                                         QStringLiteral("the header holds no limits; a new "
                                                        "header was made from the present "
                                                        "limits");
            continue;
        }
        if (!parsed.row) {
            contents.problems << lineText(lineNumber) +
                                     QStringLiteral("no frequency and position; the line was "
                                                    "not loaded");
            continue;
        }
        if (seen.count(parsed.row->freq) != 0) {
            // Two rows of one frequency would make the table ambiguous; the first one counts.
            contents.problems << lineText(lineNumber) +
                                     QStringLiteral("a second row for %1; the line was not "
                                                    "loaded")
                                         .arg(core::PlainNumberText(parsed.row->freq));
            continue;
        }
        if (contents.rows.size() == TableData::MaxDataRows) {
            // The table holds 100 data rows; the rows after them are left out.
            if (ignoredCount++ == 0)
                ignoredFirst = lineNumber;
            continue;
        }
        seen.insert(parsed.row->freq);
        contents.rows.push_back(*parsed.row);
    }
    if (ignoredCount > 0)
        contents.problems << QStringLiteral("more than 100 rows: %1 rows from line %2 on were not "
                                            "loaded")
                                 .arg(ignoredCount)
                                 .arg(ignoredFirst);
    return contents;
}

TableFileRead ReadTableFile(const QString& path) {
    TableFileRead read;
    const core::TextFileRead file = core::ReadTextFile(path);
    switch (file.status) {
    case core::TextFileRead::Status::Missing:
        return read;
    case core::TextFileRead::Status::Unreadable:
        read.status = TableFileRead::Status::Unreadable;
        read.error = file.error;
        return read;
    case core::TextFileRead::Status::Read:
        break;
    }
    read.status = TableFileRead::Status::Read;
    read.contents = ParseTableFile(file.bytes);
    if (file.truncated)
        read.contents.problems << core::TruncatedText();
    read.bytes = file.bytes;
    return read;
}

bool WriteTableFile(const QString& path, const TableData& table, QString* error) {
    return core::WriteFileAtomically(path, SerializeTable(table), error);
}

} // namespace table
