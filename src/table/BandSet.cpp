#include "table/BandSet.h"

#include "core/ProgramDirectory.h"
#include "core/SettingsFile.h"
#include "core/SettingsGroupReader.h"
#include "core/VersionTexts.h"
#include "table/TableData.h"
#include "table/TableFile.h"
#include "table/TableFileName.h"

#include <QLoggingCategory>
#include <algorithm>

namespace table {

Q_LOGGING_CATEGORY(lcBandSet, "ventrolo.table.bandset")

namespace {

const QString Key = QStringLiteral("bandset");

QString Group(int stepper) {
    return QStringLiteral("stepper%1").arg(stepper + 1);
}

// "40m.cat,20m.cat" for the names "\40m.cat", "\20m.cat".
QString SetText(const QStringList& names) {
    QStringList plain;
    for (const QString& name : names)
        plain << (name.startsWith(QLatin1Char('\\')) ? name.mid(1) : name);
    return plain.join(QLatin1Char(','));
}

// A *.cat file of the program directory as the file list shows it ("40m.cat", "A.B.CAT"):
// "40m" or "40m.txt" would name another file than the one written.
bool IsTableFileName(const QString& plain) {
    if (!plain.endsWith(QStringLiteral(".cat"), Qt::CaseInsensitive) || plain.size() <= 4)
        return false;
    return std::none_of(plain.begin(), plain.end(), [](QChar c) {
        return c == QLatin1Char('/') || c == QLatin1Char('\\') || c == QLatin1Char('"') ||
               c.unicode() < 0x20;
    });
}

} // namespace

std::optional<BandChoice> ChooseBand(core::Single kHz, bool openTableCovers, core::Long working,
                                     const std::array<std::vector<BandTable>, 2>& sets) {
    if (openTableCovers || kHz <= 0)
        return std::nullopt;
    const int own = working == 1 ? 1 : 0;
    const int other = 1 - own;
    auto covering = [kHz](const std::vector<BandTable>& set) -> const BandTable* {
        const auto it = std::find_if(set.begin(), set.end(),
                                     [kHz](const BandTable& t) { return t.covers(kHz); });
        return it == set.end() ? nullptr : &*it;
    };
    if (const BandTable* table = covering(sets[own]))
        return BandChoice{own, table->name};
    // A second loop is one with a set of its own: a stepper without a set is never switched to,
    // nor away from.
    if (sets[own].empty() || sets[other].empty())
        return std::nullopt;
    if (const BandTable* table = covering(sets[other]))
        return BandChoice{other, table->name};
    return std::nullopt;
}

std::optional<BandTable> ReadBandTable(const QString& programDirectory, const QString& name,
                                       QString* why) {
    auto fail = [why](const QString& reason) -> std::optional<BandTable> {
        if (why)
            *why = reason;
        return std::nullopt;
    };
    const TableFileRead read = ReadTableFile(TableFilePath(programDirectory, name));
    switch (read.status) {
    case TableFileRead::Status::Missing:
        return fail(QStringLiteral("there is no such file"));
    case TableFileRead::Status::Unreadable:
        return fail(read.error);
    case TableFileRead::Status::Read:
        break;
    }
    const TableFileContents& contents = read.contents;
    // What loading would question or report is not opened unasked.
    if (!core::MessageTitle().contains(contents.version, Qt::CaseInsensitive))
        return fail(QStringLiteral("it is of another version"));
    if (!contents.problems.isEmpty())
        return fail(contents.problems.first());
    if (!contents.header || !HeaderInterpolType(contents.header->text))
        return fail(QStringLiteral("its header is damaged"));
    if (contents.rows.empty())
        return fail(QStringLiteral("it has no rows"));
    const auto [low, high] =
        std::minmax_element(contents.rows.begin(), contents.rows.end(),
                            [](const TableRow& a, const TableRow& b) { return a.freq < b.freq; });
    return BandTable{name, low->freq, high->freq};
}

BandSets::BandSets(QString programDirectory)
    : directory_(std::move(programDirectory)), file_(core::SettingsFilePath(directory_)) {}

void BandSets::Load(core::SettingsReport* report) {
    for (int stepper = 0; stepper < 2; ++stepper) {
        QStringList& set = names_[stepper];
        set.clear();
        // No set is no key: a missing one is not added.
        core::SettingsGroupReader group(file_, Group(stepper), report,
                                        core::SettingsGroupReader::Blank::KeepsDefault);
        QString found;
        bool damaged = false;
        group.read(Key, {}, {}, [&](const QString& text) {
            found = text;
            for (const QString& part : text.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
                QString plain = part.trimmed();
                if (plain.startsWith(QLatin1Char('\\')))
                    plain.remove(0, 1);
                if (plain.isEmpty())
                    continue;
                const QString name = QLatin1Char('\\') + plain;
                if (!IsTableFileName(plain)) {
                    damaged = true;
                    continue;
                }
                if (!set.contains(name))
                    set << name;
            }
            return true;
        });
        // The names that can be used are kept: what is used instead is known after them all.
        if (damaged)
            group.unused(Key, found, set.isEmpty() ? QStringLiteral("no band set") : SetText(set));
    }
}

const QStringList& BandSets::names(core::Long stepper) const {
    return names_[index(stepper)];
}

bool BandSets::contains(core::Long stepper, const QString& name) const {
    return names_[index(stepper)].contains(name);
}

bool BandSets::Toggle(core::Long stepper, const QString& name, QString* error) {
    QStringList set = names_[index(stepper)];
    if (!set.removeOne(name))
        set << name;
    if (!core::SetSettings(file_, Group(index(stepper)), {{Key, SetText(set)}}, error))
        return false;
    names_[index(stepper)] = set;
    return true;
}

QStringList BandSets::MenuNames(core::Long stepper, const QStringList& catFiles) const {
    QStringList entries = catFiles;
    for (const QString& name : names_[index(stepper)])
        if (!entries.contains(name))
            entries << name;
    return entries;
}

std::vector<BandTable> BandSets::Tables(core::Long stepper) {
    std::vector<BandTable> tables;
    for (const QString& name : std::as_const(names_[index(stepper)])) {
        QString why;
        if (std::optional<BandTable> table = ReadBandTable(directory_, name, &why)) {
            warned_.remove(name);
            tables.push_back(std::move(*table));
        } else if (!warned_.contains(name)) {
            warned_.insert(name);
            qCWarning(lcBandSet).noquote() << "band set of stepper" << index(stepper) + 1 << "skips"
                                           << name.mid(1) + ":" << why;
        }
    }
    return tables;
}

std::optional<BandChoice> BandSets::Choose(core::Single kHz, bool openTableCovers,
                                           core::Long working) {
    if (openTableCovers)
        return std::nullopt;
    return ChooseBand(kHz, false, working, {Tables(0), Tables(1)});
}

} // namespace table
