#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QFile>
#include <QString>
#include <gtest/gtest.h>

namespace test_support {

// The whole file; empty when it cannot be read.
inline QByteArray ReadFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Writes the file and dates it secondsAgo.
inline void WriteFile(const QString& path, const QByteArray& contents, int secondsAgo = 0) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(contents);
    f.flush(); // before the time is set: the write would set it again
    f.setFileTime(QDateTime::currentDateTime().addSecs(-secondsAgo),
                  QFileDevice::FileModificationTime);
}

} // namespace test_support
