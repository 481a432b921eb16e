#include "display/Resources.h"

#include "core/CommandLine.h"
#include "display/TextWindowText.h"
#include "port/LptSettings.h"
#include "support/QtPrinters.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QSvgRenderer>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace display;

TEST(Resources, everyPictureAndTheIconAreValidSvgOfTheirWindowSize) {
    for (const Picture picture : Pictures) {
        QSvgRenderer renderer(PictureResource(picture));
        EXPECT_TRUE(renderer.isValid()) << PictureResource(picture).toStdString();
        EXPECT_EQ(renderer.defaultSize(), PictureSize(picture))
            << PictureResource(picture).toStdString();
        EXPECT_FALSE(PictureCaption(picture).isEmpty());
    }
    EXPECT_EQ(PictureCaption(Picture::BipolarDriver),
              QStringLiteral("Bi polaire stepper circuit."));
    EXPECT_TRUE(QSvgRenderer(IconResource()).isValid());
}

TEST(Resources, everyHelpTextIsUtf8WithCrLfLineEnds) {
    for (const HelpText text : HelpTexts) {
        const QByteArray bytes = test_support::ReadFile(HelpTextResource(text));
        const std::string name = HelpTextFileName(text).toStdString();
        ASSERT_GT(bytes.size(), 1000) << name;
        QStringDecoder utf8(QStringDecoder::Utf8);
        const QString decoded = utf8.decode(bytes);
        EXPECT_FALSE(utf8.hasError()) << name;
        EXPECT_EQ(bytes.count('\n'), bytes.count("\r\n")) << name;
        EXPECT_EQ(bytes.count('\r'), bytes.count("\r\n")) << name;
        EXPECT_TRUE(bytes.endsWith("\r\n")) << name;
        for (const QString& line : decoded.split(QStringLiteral("\r\n")))
            EXPECT_LE(line.size(), 96) << name << ": " << line.toStdString();
    }
}

TEST(Resources, theHelpTextsNameTheFilesAndTheCommandLine) {
    const QStringList names{
        "Ventrolo.cfg",  "Ventrolo.ini",       ".cat",          "Timer1.tbl",  "Turnlist1.txt",
        "VentroCat.log", "Ventrolo.journal.1", "Ventrolo.lock", "Moves.jsonl", "--dir",
        "--lpt",         "--port-log"};
    for (const HelpText text : {HelpText::English, HelpText::Dutch}) {
        const QString help = QString::fromUtf8(test_support::ReadFile(HelpTextResource(text)));
        for (const QString& name : names)
            EXPECT_TRUE(help.contains(name))
                << HelpTextFileName(text).toStdString() << " " << name.toStdString();
    }
}

// The help the Info menu shows keeps up with the program: every option --help lists and every
// way to reach the port.
TEST(Resources, theHelpTextsListEveryOptionAndPortBackendThatTheProgramTakes) {
    const QList<core::OptionChoice> backends = port::LptBackendChoices();
    const QString usage = core::CommandLineHelp(backends);
    QStringList options;
    const QRegularExpression option(QStringLiteral("--[a-z][a-z-]+"));
    for (auto it = option.globalMatch(usage); it.hasNext();)
        options << it.next().captured();
    options.removeDuplicates();
    ASSERT_TRUE(options.contains("--headless")) << usage.toStdString();

    for (const HelpText text : {HelpText::English, HelpText::Dutch}) {
        const QString help = QString::fromUtf8(test_support::ReadFile(HelpTextResource(text)));
        const std::string name = HelpTextFileName(text).toStdString();
        for (const QString& given : options)
            EXPECT_TRUE(help.contains(given)) << name << " " << given.toStdString();
        for (const core::OptionChoice& backend : backends) {
            EXPECT_TRUE(help.contains("--lpt " + backend.name))
                << name << " --lpt " << backend.name.toStdString();
            EXPECT_TRUE(
                help.contains(QRegularExpression("backend=auto .*\\b" + backend.name + "\\b")))
                << name << " backend= " << backend.name.toStdString();
        }
    }
}

TEST(SeedHelpTexts, writesTheMissingTextsOnceAndNeverOverwrites) {
    QTemporaryDir dir;
    const QString edited = dir.filePath("VentroDutch.txt");
    test_support::WriteFile(edited, "mijn eigen aantekeningen\r\n");

    const SeedResult first = SeedHelpTexts(dir.path());
    EXPECT_TRUE(first.error.isEmpty());
    EXPECT_EQ(first.written,
              QStringList({dir.filePath("VentroEng.txt"), dir.filePath("VentroChanges.txt")}));
    EXPECT_EQ(test_support::ReadFile(dir.filePath("VentroEng.txt")),
              test_support::ReadFile(HelpTextResource(HelpText::English)));
    EXPECT_EQ(test_support::ReadFile(edited), "mijn eigen aantekeningen\r\n");

    // Even an emptied file is the user's: a second start leaves everything alone.
    QFile(dir.filePath("VentroEng.txt")).resize(0);
    const SeedResult second = SeedHelpTexts(dir.path());
    EXPECT_TRUE(second.written.isEmpty());
    EXPECT_TRUE(second.error.isEmpty());
    EXPECT_EQ(QFile(dir.filePath("VentroEng.txt")).size(), 0);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 3); // no temporary files left
}

TEST(SeedHelpTexts, aDirectoryThatCannotBeWrittenIsReported) {
    QTemporaryDir dir;
    const QString notADirectory = dir.filePath("file");
    test_support::WriteFile(notADirectory, {});

    const SeedResult result = SeedHelpTexts(notADirectory);
    EXPECT_TRUE(result.written.isEmpty());
    EXPECT_TRUE(result.error.contains("VentroEng.txt")) << result.error.toStdString();
    EXPECT_EQ(QFile(notADirectory).size(), 0);

    // Without a directory nothing lands in the working directory.
    EXPECT_FALSE(SeedHelpTexts({}).error.isEmpty());
    EXPECT_FALSE(QFile::exists("VentroEng.txt"));
}

TEST(TextWindowText, indentsEveryLineByFourBlanksWhateverTheLineEnds) {
    EXPECT_EQ(TextWindowText("a\r\nb"), QStringLiteral("    a\n    b"));
    EXPECT_EQ(TextWindowText("a\nb\rc"), QStringLiteral("    a\n    b\n    c"));
    EXPECT_EQ(TextWindowText(""), QStringLiteral("    "));
    // Not UTF-8: an old file's degree sign and accents are kept as Latin-1.
    EXPECT_EQ(TextWindowText("90\xB0 \xE9\xE9n"), QStringLiteral("    90° één"));
    EXPECT_EQ(TextWindowText("90\xC2\xB0"), QStringLiteral("    90°"));
}
