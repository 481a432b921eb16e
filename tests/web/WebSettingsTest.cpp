#include "web/WebSettings.h"

#include "support/TestFiles.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

struct WebSettingsTest : ::testing::Test {
    QTemporaryDir dir;
    QString ini() const { return dir.filePath("Ventrolo.ini"); }
    QByteArray text() const { return test_support::ReadFile(ini()); }
};

TEST_F(WebSettingsTest, missingKeysAreAddedWithTheirDefaults) {
    test_support::WriteFile(ini(), "[rig]\nlink=simulated\n");
    const web::WebSettings settings = web::ReadWebSettings(ini());
    EXPECT_FALSE(settings.enabled);
    EXPECT_EQ(settings.port, 8073);
    EXPECT_EQ(settings.address, QHostAddress(QHostAddress::LocalHost));
    EXPECT_TRUE(settings.token.isEmpty());
    EXPECT_TRUE(settings.problem.isEmpty());
    const QByteArray written = text();
    EXPECT_TRUE(written.startsWith("[rig]\nlink=simulated\n"));
    for (const char* line : {"enabled=false", "port=8073", "address=127.0.0.1", "token="})
        EXPECT_TRUE(written.contains(line)) << line << "\n" << written.toStdString();
}

TEST_F(WebSettingsTest, unusableValuesAreReported_andTheirDefaultsTaken) {
    test_support::WriteFile(ini(), "[web]\nenabled=maybe\nport=70000\naddress=no where\n"
                                   "token=short\n");
    core::SettingsReport report;
    const web::WebSettings settings = web::ReadWebSettings(ini(), &report);
    EXPECT_FALSE(settings.enabled);
    EXPECT_EQ(settings.port, 8073);
    EXPECT_EQ(settings.address, QHostAddress(QHostAddress::LocalHost));
    EXPECT_TRUE(settings.token.isEmpty()); // too short to be kept
    for (const char* value : {"enabled=maybe", "port=70000", "address=no where", "token=short"})
        EXPECT_TRUE(settings.problem.contains(value)) << value;
    EXPECT_FALSE(report.isEmpty());

    test_support::WriteFile(ini(), "[web]\nenabled=on\nport=9000\naddress=0.0.0.0\ntoken=\n");
    const web::WebSettings every = web::ReadWebSettings(ini());
    EXPECT_TRUE(every.enabled);
    EXPECT_EQ(every.port, 9000);
    EXPECT_EQ(every.address, QHostAddress(QHostAddress::AnyIPv4));
    EXPECT_TRUE(every.problem.isEmpty());
}

TEST_F(WebSettingsTest, theTokenIsMadeOnce_128RandomBitsInHex_andKept) {
    test_support::WriteFile(ini(), "[web]\nenabled=true\n");
    const QString token = web::EnsureWebToken(ini());
    EXPECT_EQ(token.size(), 32);
    EXPECT_TRUE(QRegularExpression("^[0-9a-f]{32}$").match(token).hasMatch()) << token.toStdString();
    EXPECT_EQ(web::ReadWebSettings(ini()).token, token);
    EXPECT_EQ(web::EnsureWebToken(ini()), token);
    EXPECT_TRUE(text().contains("enabled=true"));
    // Another file, another token.
    QTemporaryDir other;
    EXPECT_NE(web::EnsureWebToken(other.filePath("Ventrolo.ini")), token);

    EXPECT_TRUE(web::StoreWebEnabled(ini(), false));
    EXPECT_FALSE(web::ReadWebSettings(ini()).enabled);
    EXPECT_EQ(web::ReadWebSettings(ini()).token, token);
}

// Whether the file may be read or written by anybody but its owner.
bool OpenToOthers(const QString& path) {
    return QFileInfo(path).permissions() &
           (QFile::ReadGroup | QFile::WriteGroup | QFile::ReadOther | QFile::WriteOther);
}

TEST_F(WebSettingsTest, theFileHoldingTheTokenIsItsOwnersAlone) {
    // Made by the first run as any file, then given a token.
    test_support::WriteFile(ini(), "[web]\nenabled=true\n");
    ASSERT_TRUE(QFile::setPermissions(ini(), QFile::ReadOwner | QFile::WriteOwner |
                                                 QFile::ReadGroup | QFile::ReadOther));
    const QString token = web::EnsureWebToken(ini());
    ASSERT_FALSE(token.isEmpty());
    EXPECT_FALSE(OpenToOthers(ini()));
    // Saved again, it stays so.
    EXPECT_TRUE(web::StoreWebEnabled(ini(), false));
    EXPECT_FALSE(OpenToOthers(ini()));

    // A token stored before, in a file open to all, is closed off when the server starts.
    ASSERT_TRUE(QFile::setPermissions(ini(), QFile::ReadOwner | QFile::WriteOwner |
                                                 QFile::ReadGroup | QFile::ReadOther));
    EXPECT_EQ(web::EnsureWebToken(ini()), token);
    EXPECT_FALSE(OpenToOthers(ini()));

    // A file that is not there yet is made for its owner alone.
    QTemporaryDir fresh;
    EXPECT_FALSE(web::EnsureWebToken(fresh.filePath("Ventrolo.ini")).isEmpty());
    EXPECT_FALSE(OpenToOthers(fresh.filePath("Ventrolo.ini")));
}

} // namespace
