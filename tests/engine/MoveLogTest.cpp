// The move log: one whole JSON line per turn, readable after a crash, rotated by size.
#include "engine/MoveLog.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QTemporaryDir>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

using engine::MoveLog;
using engine::TurnOrigin;
using engine::TurnRecord;
using engine::TurnRefusal;

namespace {

TurnRecord Record(core::Long to, const QString& detail = QStringLiteral("rotctld P 90")) {
    TurnRecord record;
    record.origin = TurnOrigin::Network;
    record.detail = detail;
    record.from = 1200;
    record.to = to;
    record.steps = to - 1200;
    record.started = QDateTime(QDate(2026, 12, 9), QTime(14, 31, 5));
    record.ended = record.started.addMSecs(2400);
    return record;
}

void AppendRaw(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::Append));
    file.write(bytes);
}

QList<core::Long> Targets(const QList<QJsonObject>& moves) {
    QList<core::Long> targets;
    for (const QJsonObject& move : moves)
        targets << core::Long(move.value("to").toInt());
    return targets;
}

} // namespace

TEST(MoveLog, aLineTellsWhatMovedWhyAndHowItEnded) {
    QTemporaryDir dir;
    MoveLog log(dir.path());
    ASSERT_TRUE(log.Append(Record(1800)));
    TurnRecord held = Record(1500, QStringLiteral("following 7074.0 kHz via IC-7300"));
    held.origin = TurnOrigin::Following;
    held.end = TurnRecord::End::Held;
    held.steps = 51;
    held.heldMs = 1234.4;
    ASSERT_TRUE(log.Append(held));
    TurnRecord refused = Record(1200, QStringLiteral("web 192.168.1.20"));
    refused.steps = 0;
    refused.end = TurnRecord::End::Refused;
    refused.refusal = TurnRefusal{TurnRefusal::Why::Transmitting, "the rig transmits"};
    ASSERT_TRUE(log.Append(refused));

    const QList<QJsonObject> moves = log.Last(10);
    ASSERT_EQ(moves.size(), 3);
    const QJsonObject& first = moves[0];
    EXPECT_EQ(first["stepper"].toInt(), 1);
    EXPECT_EQ(first["origin"].toString(), "network");
    EXPECT_EQ(first["detail"].toString(), "rotctld P 90");
    EXPECT_EQ(first["from"].toInt(), 1200);
    EXPECT_EQ(first["to"].toInt(), 1800);
    EXPECT_EQ(first["steps"].toInt(), 600);
    EXPECT_EQ(first["ms"].toInt(), 2400);
    EXPECT_EQ(first["end"].toString(), "reached");
    EXPECT_FALSE(first.contains("inhibitLeadMs")); // no inhibit line wired
    EXPECT_EQ(MoveLog::Text(first),
              "2026-12-09 14:31:05  stepper 1  rotctld P 90  1200 to 1800  600 steps  2.4 s  "
              "reached");
    EXPECT_EQ(moves[1]["heldMs"].toInt(), 1234);
    EXPECT_TRUE(MoveLog::Text(moves[1]).endsWith("held: the rig transmitted  waited 1.2 s for "
                                                 "receive"))
        << MoveLog::Text(moves[1]).toStdString();
    EXPECT_TRUE(MoveLog::Text(moves[2]).endsWith("web 192.168.1.20  1200 to 1200  0 steps  2.4 s  "
                                                 "refused: the rig transmits"));
    EXPECT_EQ(Targets(log.Last(2)), (QList<core::Long>{1500, 1200}));
}

TEST(MoveLog, aLineCutShortByACrash_isSkipped_andTheNextLineStaysWhole) {
    QTemporaryDir dir;
    MoveLog log(dir.path());
    ASSERT_TRUE(log.Append(Record(1300)));
    const QString path = QDir(dir.path()).filePath(MoveLog::FileName());
    AppendRaw(path, R"({"time":"2026-12-09T14:3)");
    EXPECT_EQ(Targets(MoveLog::Last(dir.path(), 10)), QList<core::Long>{1300});

    // The program started again and turned.
    MoveLog again(dir.path());
    ASSERT_TRUE(again.Append(Record(1400)));
    EXPECT_EQ(Targets(again.Last(10)), (QList<core::Long>{1300, 1400}));
    // Garbage is no move either.
    AppendRaw(path, "\x01\x02 not json\n[1,2]\n");
    EXPECT_EQ(Targets(again.Last(10)), (QList<core::Long>{1300, 1400}));
    // A line whose numbers no counter holds reads as 0, not as whatever the cast gives.
    AppendRaw(path, R"({"from":1e300,"to":-1e300,"steps":2.5,"end":"reached"})"
                    "\n");
    EXPECT_TRUE(MoveLog::Text(again.Last(1).value(0)).contains("  0 to 0  0 steps  "))
        << MoveLog::Text(again.Last(1).value(0)).toStdString();
}

TEST(MoveLog, aFullFileIsPutAside_andTheNewestMovesAreReadAcrossBoth) {
    QTemporaryDir dir;
    const QDir files(dir.path());
    constexpr qint64 maxBytes = 1000;
    MoveLog log(dir.path(), maxBytes);
    for (core::Long to = 1201; to <= 1240; ++to)
        ASSERT_TRUE(log.Append(Record(to)));
    EXPECT_TRUE(files.exists(MoveLog::OlderFileName()));
    EXPECT_LE(QFileInfo(files.filePath(MoveLog::FileName())).size(), maxBytes);
    EXPECT_LE(QFileInfo(files.filePath(MoveLog::OlderFileName())).size(), maxBytes);
    const QList<QJsonObject> all = log.Last(1000);
    // The oldest went with the file before the older one; the rest are in order, none twice.
    ASSERT_GT(all.size(), 4);
    EXPECT_EQ(Targets(all).last(), 1240);
    for (qsizetype i = 1; i < all.size(); ++i)
        EXPECT_EQ(all[i]["to"].toInt(), all[i - 1]["to"].toInt() + 1);
    EXPECT_EQ(Targets(log.Last(3)), (QList<core::Long>{1238, 1239, 1240}));
    // Two more than the newest file holds: the older file's last two before them.
    QFile newest(files.filePath(MoveLog::FileName()));
    ASSERT_TRUE(newest.open(QIODevice::ReadOnly));
    const int inNewest = int(newest.readAll().count('\n'));
    const QList<QJsonObject> across = log.Last(inNewest + 2);
    ASSERT_EQ(across.size(), inNewest + 2);
    EXPECT_EQ(Targets(across).first(), 1240 - inNewest - 1);
    EXPECT_EQ(Targets(across).last(), 1240);
}

TEST(MoveLog, aLineTheDiskHasNoRoomFor_leavesNoPartBehind) {
    QTemporaryDir dir;
    MoveLog log(dir.path());
    ASSERT_TRUE(log.Append(Record(1300)));
    const QString path = QDir(dir.path()).filePath(MoveLog::FileName());
    const qint64 before = QFileInfo(path).size();
    // Room for a few bytes more, as on a disk that has just filled up.
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit oldLimit{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &oldLimit), 0);
    rlimit tight = oldLimit;
    tight.rlim_cur = static_cast<rlim_t>(before + 20);
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &tight), 0);
    const bool written = log.Append(Record(1400));
    ::setrlimit(RLIMIT_FSIZE, &oldLimit);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_FALSE(written);
    EXPECT_EQ(QFileInfo(path).size(), before);
    ASSERT_TRUE(log.Append(Record(1500)));
    EXPECT_EQ(Targets(log.Last(10)), (QList<core::Long>{1300, 1500}));
}

TEST(MoveLog, anUnwritableDirectory_failsTheAppend_withoutThrowing) {
    MoveLog log(QStringLiteral("/nonexistent/ventrolo-moves"));
    EXPECT_FALSE(log.Append(Record(1300)));
    EXPECT_TRUE(log.Last(5).isEmpty());
}

TEST(MoveLog, aFileLargerThanTheLogGrows_isReadOnlyAtItsEnd) {
    // Logs copied together: far more than a log ever holds, read at every turn.
    QTemporaryDir dir;
    const QString path = QDir(dir.path()).filePath(MoveLog::FileName());
    QByteArray lines;
    core::Long to = 0;
    while (lines.size() < 3 * MoveLog::DefaultMaxBytes) {
        TurnRecord record = Record(++to);
        lines += QJsonDocument(MoveLog::Entry(record)).toJson(QJsonDocument::Compact) + '\n';
    }
    AppendRaw(path, lines);

    const QList<QJsonObject> read = MoveLog::Last(dir.path(), 1000000);
    ASSERT_FALSE(read.isEmpty());
    EXPECT_EQ(Targets(read).last(), to);
    // Only the newest megabyte's whole lines, in order.
    EXPECT_GT(Targets(read).first(), to * 2 / 3);
    EXPECT_LE(read.size() * 100, MoveLog::DefaultMaxBytes);
    for (qsizetype i = 1; i < read.size(); ++i)
        EXPECT_EQ(read[i]["to"].toInt(), read[i - 1]["to"].toInt() + 1);
    EXPECT_EQ(Targets(MoveLog::Last(dir.path(), 2)), (QList<core::Long>{to - 1, to}));
}

TEST(MoveLog, aNamedPipeInItsPlace_isNeitherReadNorWritten_soNothingWaitsForIt) {
    QTemporaryDir dir;
    const QDir files(dir.path());
    ASSERT_EQ(::mkfifo(QFile::encodeName(files.filePath(MoveLog::FileName())).constData(), 0600),
              0);
    ASSERT_EQ(
        ::mkfifo(QFile::encodeName(files.filePath(MoveLog::OlderFileName())).constData(), 0600), 0);
    MoveLog log(dir.path());
    EXPECT_TRUE(log.Last(5).isEmpty());
    // More lines than a pipe's buffer takes.
    bool written = false;
    for (int i = 0; i < 1000; ++i)
        written = log.Append(Record(1300)) || written;
    EXPECT_FALSE(written);
    EXPECT_TRUE(MoveLog::Last(dir.path(), 5).isEmpty());
}
