#include "station/StatusSocket.h"

#include "station/StatusQuery.h"
#include "station/StatusServer.h"

#include <QFile>
#include <QFileInfo>
#include <QLocalSocket>
#include <QTemporaryDir>
#include <QTest>
#include <cstring>
#include <future>
#include <gtest/gtest.h>
#include <memory>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

using station::NoStationRuns;
using station::StatusAnswered;
using station::StatusQueryFailed;
using station::StatusServer;

namespace {

struct Answer {
    station::StatusQueryResult result;
    QString text;
};

// The blocking query runs on a thread of its own while this one serves the server's events.
Answer Ask(const QString& directory, int timeoutMs = 2000) {
    auto asked = std::async(std::launch::async, [&] {
        Answer answer{};
        answer.result = station::QueryStatus(directory, &answer.text, timeoutMs);
        return answer;
    });
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return asked.wait_for(std::chrono::seconds(0)) == std::future_status::ready; },
        timeoutMs * 3));
    return asked.get();
}

// A Unix socket file at path as another program leaves it: bound, listening when listens
// (nobody ever accepts). The descriptor is returned; closing it leaves the file behind.
int RawSocket(const QString& path, bool listens) {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray name = QFile::encodeName(path);
    std::memcpy(address.sun_path, name.constData(), name.size() + 1);
    EXPECT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    if (listens) {
        EXPECT_EQ(::listen(fd, 4), 0);
    }
    return fd;
}

struct StatusSocketTest : ::testing::Test {
    QTemporaryDir dir;
    QString socketPath = station::StatusSocketPath(dir.path());
    int asked = 0;
    StatusServer server{[this] { return QStringLiteral("counter: %1\n").arg(++asked); }};
};

} // namespace

TEST_F(StatusSocketTest, eachQuery_getsTheTextOfItsMoment_untilTheServerCloses) {
    QString error;
    ASSERT_TRUE(server.Listen(dir.path(), &error)) << error.toStdString();
    EXPECT_EQ(server.socketPath(), socketPath);
    // --status may be run by another user than the station's.
    EXPECT_TRUE(QFileInfo(socketPath).permissions().testFlag(QFileDevice::WriteOther));
    const Answer first = Ask(dir.path());
    EXPECT_EQ(first.result, StatusAnswered);
    EXPECT_EQ(first.text, "counter: 1\n");
    EXPECT_EQ(Ask(dir.path()).text, "counter: 2\n");

    server.Close();
    EXPECT_FALSE(QFile::exists(socketPath));
    const Answer after = Ask(dir.path());
    EXPECT_EQ(after.result, NoStationRuns);
    EXPECT_TRUE(after.text.contains("no station runs")) << after.text.toStdString();
}

TEST_F(StatusSocketTest, noStation_isThree_andASocketLeftBehindIsTakenOver) {
    EXPECT_EQ(Ask(dir.path()).result, NoStationRuns); // no socket file

    // Bound but gone: refused.
    ::close(RawSocket(socketPath, false));
    ASSERT_TRUE(QFile::exists(socketPath));
    EXPECT_EQ(Ask(dir.path()).result, NoStationRuns);
    QString error;
    ASSERT_TRUE(server.Listen(dir.path(), &error)) << error.toStdString();
    EXPECT_EQ(Ask(dir.path()).result, StatusAnswered);
    server.Close();

    // Listening, but nobody accepts or answers: the query gives up in time.
    const int hung = RawSocket(socketPath, true);
    const Answer silent = Ask(dir.path(), 200);
    EXPECT_EQ(silent.result, NoStationRuns);
    EXPECT_TRUE(silent.text.contains("no station answers")) << silent.text.toStdString();
    ::close(hung);
    QFile::remove(socketPath);

    // Something else than a socket is not ours to remove.
    {
        QFile file(socketPath);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("notes");
    }
    EXPECT_EQ(Ask(dir.path()).result, NoStationRuns);
    EXPECT_FALSE(server.Listen(dir.path(), &error));
    EXPECT_TRUE(error.contains("is not a socket")) << error.toStdString();
    QFile file(socketPath);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), "notes");
}

TEST_F(StatusSocketTest, aSecondServer_failsAndLeavesTheFirstAnswering) {
    ASSERT_TRUE(server.Listen(dir.path()));
    {
        StatusServer second([] { return QStringLiteral("second\n"); });
        QString error;
        EXPECT_FALSE(second.Listen(dir.path(), &error));
        EXPECT_TRUE(error.contains("another station already answers on " + socketPath))
            << error.toStdString();
        EXPECT_FALSE(second.listening());
    }
    ASSERT_TRUE(QFile::exists(socketPath));
    EXPECT_TRUE(Ask(dir.path()).text.startsWith("counter: ")); // the second's probe was served too
}

TEST_F(StatusSocketTest, aDirectoryTooLongOrMissing_givesAClearError) {
    const QString deep = dir.filePath(QString(110, 'd'));
    QString error;
    EXPECT_FALSE(server.Listen(deep, &error));
    EXPECT_TRUE(error.contains("a Unix socket takes at most 107")) << error.toStdString();
    const Answer answer = Ask(deep);
    EXPECT_EQ(answer.result, StatusQueryFailed);
    EXPECT_EQ(answer.text, error);

    EXPECT_FALSE(server.Listen(dir.filePath("gone"), &error));
    EXPECT_EQ(error, "cannot listen on " + dir.filePath("gone/Ventrolo.status") +
                         ": the directory is missing or not writable");
}

TEST(StatusServerClients, thoseThatDoNotRead_holdUpNobody_andAreDroppedInTime) {
    QTemporaryDir dir;
    const QString big(4 << 20, 'x'); // far more than a socket buffers
    // Long enough that a loaded machine fills every slot before the first is dropped.
    StatusServer server([&] { return big; }, 1500);
    ASSERT_TRUE(server.Listen(dir.path()));

    std::vector<std::unique_ptr<QLocalSocket>> idle;
    for (int i = 0; i < StatusServer::MaxClients; ++i) {
        idle.push_back(std::make_unique<QLocalSocket>());
        idle.back()->connectToServer(server.socketPath());
    }
    ASSERT_TRUE(QTest::qWaitFor([&] { return server.clientCount() == StatusServer::MaxClients; }));
    // Every slot taken: one more is closed unanswered, at once.
    const Answer refused = Ask(dir.path());
    EXPECT_EQ(refused.result, StatusQueryFailed);
    EXPECT_TRUE(refused.text.contains("closed without answering")) << refused.text.toStdString();

    EXPECT_TRUE(QTest::qWaitFor([&] { return server.clientCount() == 0; }, 10000));
    const Answer served = Ask(dir.path(), 5000);
    EXPECT_EQ(served.result, StatusAnswered);
    EXPECT_EQ(served.text.size(), big.size());
}
