#include "core/AtomicFile.h"

#include "support/TestFiles.h"

#include <QTemporaryDir>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/resource.h>

TEST(AtomicFileTest, aWriteTheSystemRefuses_givesTheSystemsReasonAndLeavesTheOldFile) {
    // A file size limit stands in for a full disk: the write fails where the data is flushed.
    QTemporaryDir dir;
    const QString path = dir.filePath("Ventrolo.journal.1");
    test_support::WriteFile(path, "old");
    rlimit before{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &before), 0);
    const auto previous = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = before;
    small.rlim_cur = 16;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    QString error;
    const bool written = core::WriteFileAtomically(path, QByteArray(4096, 'x'), &error);
    ::setrlimit(RLIMIT_FSIZE, &before);
    std::signal(SIGXFSZ, previous);
    EXPECT_FALSE(written);
    EXPECT_EQ(error, "File too large");
    EXPECT_EQ(test_support::ReadFile(path), "old");
}
