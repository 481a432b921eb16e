#include "program/ProgramLanguage.h"
#include "program/TurnlistFiles.h"
#include "support/FakePlatform.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace program;

namespace {

class TurnlistTest : public ::testing::Test {
protected:
    QString path(int n) const { return files.path(n); }
    void write(int n, const QByteArray& bytes) { test_support::WriteFile(path(n), bytes); }
    QByteArray read(int n) const { return test_support::ReadFile(path(n)); }

    QTemporaryDir dir;
    testing_support::FakePlatform platform;
    TurnlistFiles files{platform, dir.path()};
};

} // namespace

TEST_F(TurnlistTest, theThreeFiles_roundTripByteForByte) {
    const QByteArray programs[] = {"\"22*,800!,198#,30\"\r\n", "\"100,200,\"\r\n", "\"5\"\r\n"};
    for (int n = 1; n <= 3; ++n) {
        const QByteArray& bytes = programs[n - 1];
        write(n, bytes);
        const auto program = files.LoadFile(n);
        ASSERT_TRUE(program);
        EXPECT_EQ(files.checked(), n);
        EXPECT_EQ(program->toLatin1(), bytes.mid(1, bytes.size() - 4));
        ASSERT_TRUE(files.Save(*program));
        EXPECT_EQ(read(n), bytes);
    }
    write(1, "\"100,200\"\n"); // line feeds alone, as another editor leaves them
    EXPECT_EQ(files.LoadFile(1), "100,200");
    write(1, "100,200,300\r\n"); // no quotes: the whole line
    EXPECT_EQ(files.LoadFile(1), "100,200,300");
    EXPECT_TRUE(platform.messages.empty());
    EXPECT_EQ(files.LoadFile(0), DefaultProgram());
    EXPECT_EQ(files.checked(), 0);
}

TEST_F(TurnlistTest, save_asksForTheFileNumberOnlyWithoutALoadedFile) {
    EXPECT_FALSE(files.Save(QString()));
    EXPECT_EQ(platform.messages.back().text, "Nothing to save!");

    files.LoadFile(0);
    platform.answerNextInput(QStringLiteral("4"));
    EXPECT_FALSE(files.Save(QStringLiteral("1,2")));
    EXPECT_EQ(platform.messages.back().text, "Not saved");
    EXPECT_EQ(platform.inputs.back().prompt, "Give file to save in 1, 2 or 3");

    platform.answerNextInput(QStringLiteral(" 2 "));
    EXPECT_TRUE(files.Save(QStringLiteral("1,2")));
    EXPECT_EQ(files.checked(), 2);
    EXPECT_TRUE(files.Save(QStringLiteral("3,4")));
    EXPECT_EQ(platform.inputs.size(), 2u);
    EXPECT_EQ(read(2), "\"3,4\"\r\n");
}

TEST_F(TurnlistTest, missingOrUnreadableFile_keepsTheMarks_andAFailedSaveSaysSo) {
    EXPECT_EQ(files.LoadFile(2), std::nullopt);
    EXPECT_EQ(platform.messages.back().text, "File " + path(2) + " not found.");
    EXPECT_EQ(files.checked(), std::nullopt);

    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("Turnlist1.txt")));
    EXPECT_EQ(files.LoadFile(1), std::nullopt);
    EXPECT_TRUE(platform.messages.back().text.startsWith("File " + path(1) + " cannot be read"));
    EXPECT_EQ(files.checked(), std::nullopt);

    platform.answerNextInput(QStringLiteral("1"));
    EXPECT_FALSE(files.Save(QStringLiteral("1,2")));
    EXPECT_TRUE(platform.messages.back().text.startsWith("Not saved: " + path(1)));
    EXPECT_EQ(files.checked(), std::nullopt);
}

TEST_F(TurnlistTest, damagedFile_loadsWhatItCanAndSaysWhatWasLeftOut) {
    const QByteArray damaged = "\"100,2a00,-5!\r\n\"300\"\r\n";
    write(3, damaged);
    EXPECT_EQ(files.LoadFile(3), "100,200,5!");
    EXPECT_EQ(files.checked(), 3);
    ASSERT_EQ(platform.messages.size(), 1u);
    const QString& text = platform.messages[0].text;
    EXPECT_TRUE(text.contains("line 1: the closing quote is missing"));
    EXPECT_TRUE(text.contains("line 1: \"a-\" is no program text"));
    EXPECT_TRUE(text.contains("line 2 was left out"));
    EXPECT_EQ(read(3), damaged);
}

TEST_F(TurnlistTest, aProgramLongerThanTheBoxHolds_isCutAfterAWholeValueAndKeptBeside) {
    // 3000 values of "12345,": 18000 characters, then one value that crosses the box's end.
    const QByteArray head = QByteArray("12345,").repeated(3000);
    const QByteArray crossing = QByteArray(20000, '7');
    const QByteArray file = "\"" + head + crossing + ",1,2\"\r\n";
    write(3, file);
    const auto program = files.LoadFile(3);
    ASSERT_TRUE(program);
    EXPECT_EQ(*program, QString::fromLatin1(head));
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_TRUE(platform.messages[0].text.contains(
        "longer than 32767 characters; 20004 characters after the first 18000 were left out"))
        << platform.messages[0].text.toStdString();
    // Saved as loaded: the whole file is kept beside first.
    ASSERT_TRUE(files.Save(*program));
    EXPECT_EQ(test_support::ReadFile(path(3) + ".damaged"), file);
    EXPECT_EQ(read(3), "\"" + head + "\"\r\n");

    // A text at the box's length is no damage.
    platform.messages.clear();
    const QByteArray full = QByteArray("1,").repeated(MaxProgramLength / 2) + "1";
    write(1, "\"" + full + "\"\r\n");
    EXPECT_EQ(files.LoadFile(1), QString::fromLatin1(full));
    EXPECT_TRUE(platform.messages.empty());
}

TEST_F(TurnlistTest, aDamagedFile_isKeptBesideBeforeTheFirstSaveOverIt) {
    const QByteArray damaged = "\"100,200\"\r\n\"300,400\"\r\n";
    write(2, damaged);
    ASSERT_TRUE(files.LoadFile(2));
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_TRUE(
        platform.messages[0].text.endsWith("it is then kept beside as " + path(2) + ".damaged."));
    const QString copy = path(2) + ".damaged";
    // Kept beside the file that cannot be: the program is not saved over it.
    ASSERT_TRUE(QDir(dir.path()).mkdir("Turnlist2.txt.damaged"));
    EXPECT_FALSE(files.Save("100,200"));
    EXPECT_EQ(read(2), damaged);
    ASSERT_TRUE(QDir(dir.path()).rmdir("Turnlist2.txt.damaged"));
    ASSERT_TRUE(files.Save("100,200"));
    EXPECT_EQ(test_support::ReadFile(copy), damaged);
    EXPECT_EQ(read(2), "\"100,200\"\r\n");
    // The program's own file is no damaged one; another file loaded is saved without a copy.
    ASSERT_TRUE(files.Save("100,250"));
    EXPECT_EQ(test_support::ReadFile(copy), damaged);
    write(1, "\"5\"\r\n");
    ASSERT_TRUE(files.LoadFile(1));
    ASSERT_TRUE(files.Save("6"));
    EXPECT_FALSE(QFile::exists(path(1) + ".damaged"));
}

TEST_F(TurnlistTest, aFileThatCouldNotBeRead_isKeptBesideBeforeAProgramIsSavedOverIt) {
    ASSERT_EQ(::mkfifo(path(1).toLocal8Bit().constData(), 0600), 0);
    EXPECT_EQ(files.LoadFile(1), std::nullopt);
    // Its right to read mended since, say: what is there is kept.
    ASSERT_TRUE(QFile::remove(path(1)));
    write(1, "never read");
    platform.answerNextInput(QStringLiteral("1"));
    ASSERT_TRUE(files.Save(QStringLiteral("7")));
    EXPECT_EQ(read(1), "\"7\"\r\n");
    QFile kept(path(1) + ".damaged");
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), "never read");
}

TEST_F(TurnlistTest, aByteOrderMarkIsSkipped_andADeviceIsNotRead) {
    write(1, "\xEF\xBB\xBF\"22*,800!\"\r\n");
    EXPECT_EQ(files.LoadFile(1), "22*,800!");
    EXPECT_TRUE(platform.messages.empty());

    ASSERT_TRUE(QFile::link("/dev/zero", path(2)));
    EXPECT_EQ(files.LoadFile(2), std::nullopt);
    EXPECT_EQ(platform.messages.back().text,
              "File " + path(2) + " cannot be read: it is not a regular file (a device or a pipe)");
}
