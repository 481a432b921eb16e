#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QFile>
#include <QString>
#include <algorithm>
#include <map>
#include <gtest/gtest.h>

namespace test_support {

// The whole file; empty when it cannot be read.
inline QByteArray ReadFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Writes the file and dates it secondsAgo. A file rewritten within a millisecond is dated a
// millisecond after its last writing: QSettings takes a file of the size and time it read before
// for unchanged.
inline void WriteFile(const QString& path, const QByteArray& contents, int secondsAgo = 0) {
    static std::map<QString, qint64> lastStampsMs;
    qint64& lastStampMs = lastStampsMs[path];
    lastStampMs = std::max(QDateTime::currentMSecsSinceEpoch(), lastStampMs + 1);
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(contents);
    f.flush(); // before the time is set: the write would set it again
    f.setFileTime(QDateTime::fromMSecsSinceEpoch(lastStampMs).addSecs(-secondsAgo),
                  QFileDevice::FileModificationTime);
}

} // namespace test_support
