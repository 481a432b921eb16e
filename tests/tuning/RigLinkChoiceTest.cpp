#include "tuning/RigLinkChoice.h"

#include "core/SettingsFile.h"
#include "rig/QtSerialLink.h"
#include "support/FakePlatform.h"
#include "support/TestFiles.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace rig;
using namespace tuning;

namespace {

// The rig layer's serial and simulated links, as the station builds them.
struct RigLinkChoiceTest : ::testing::Test {
    QTemporaryDir dir;
    testing_support::FakePlatform platform;
    core::ProgramState state;
    CatLog log{state, platform, dir.path()};
    QtSerialLink serial{dir.path()};
    SimulatedRig simulated{platform};
    CatControl cat{state, platform, log, serial};
};

} // namespace

TEST_F(RigLinkChoiceTest, theChoiceIsKeptInVentroloIniWithEveryOtherLineAsWritten) {
    const QString ini = dir.filePath("Ventrolo.ini");
    test_support::WriteFile(ini, "[serial]\nCOM1=/dev/ttyUSB3\n[rig]\nlink=carrier pigeon\n");
    RigLinkChoice links{dir.path(), cat, serial, simulated};
    links.Load();
    EXPECT_FALSE(links.simulated());
    ASSERT_TRUE(links.Choose(RigLinkChoice::Link::Simulated));
    state.RigModel = 2;
    ASSERT_TRUE(cat.OpenPort(1).ok); // the simulated rig answers now
    EXPECT_TRUE(simulated.isOpen());
    RigLinkChoice again{dir.path(), cat, serial, simulated};
    again.Load();
    EXPECT_TRUE(again.simulated());
    EXPECT_TRUE(test_support::ReadFile(ini).startsWith(
        "[serial]\nCOM1=/dev/ttyUSB3\n[rig]\nlink=simulated\n"))
        << test_support::ReadFile(ini).toStdString();
}

TEST_F(RigLinkChoiceTest, aFirstStartWritesEveryLinksGroupWithItsDefaultsAndNotes_once) {
    RigLinkChoice links{dir.path(), cat, serial, simulated};
    links.Load();
    const QString ini = dir.filePath("Ventrolo.ini");
    const QString written = test_support::ReadFile(ini);
    for (const char* line : {"[serial]",
                             "COM1=/dev/ttyUSB0",
                             "[rig]",
                             "link=serial ; serial (COM1..COM4",
                             "holdWhileTransmitting=true ; no turning while the rig transmits",
                             "[rigctld]",
                             "host=localhost ; ",
                             "port=4532",
                             "[flrig]",
                             "host=127.0.0.1 ; ",
                             "port=12345",
                             "[wsjtx]",
                             "port=2237 ; ",
                             "address= ; ",
                             "id=WSJT-X,JTDX ; ",
                             "[civ]",
                             "model=IC-7300 ; ",
                             "address= ; the rig's CI-V address in hex; blank: the model's own",
                             "baud=19200 ; ",
                             "[kenwood]",
                             "model=TS-590 ; ",
                             "baud= ; blank: the model's own"})
        EXPECT_TRUE(written.contains(QString::fromLatin1(line))) << line << "\n"
                                                                 << written.toStdString();
    // What was written reads as the defaults, and the next start adds nothing.
    core::SettingsReport report;
    RigLinkChoice again{dir.path(), cat, serial, simulated};
    again.Load(&report);
    EXPECT_TRUE(report.unused().empty()) << report.text().toStdString();
    EXPECT_EQ(again.link(), RigLinkChoice::Link::Serial);
    EXPECT_EQ(again.civSettings(), CivSettings{});
    EXPECT_EQ(again.kenwoodSettings(), KenwoodSettings{});
    EXPECT_EQ(test_support::ReadFile(ini), written);
}

TEST_F(RigLinkChoiceTest, flrigAndWsjtxAreReadWithTheirGroups_damagedValuesReportedAndDefaulted) {
    const QString ini = dir.filePath("Ventrolo.ini");
    test_support::WriteFile(ini, "[rig]\nlink=FLRIG\n[flrig]\nhost=two words\nport=99999\n"
                                 "[wsjtx]\nport=2238\naddress=192.168.1.5\n");
    RigLinkChoice links{dir.path(), cat, serial, simulated};
    core::SettingsReport report;
    links.Load(&report);
    EXPECT_EQ(links.link(), RigLinkChoice::Link::Flrig);
    EXPECT_TRUE(links.network());
    EXPECT_EQ(links.flrigAddress().text(), "127.0.0.1:12345");
    EXPECT_EQ(links.wsjtxAddress().text(), "2238"); // not a multicast group: unicast
    const QString said = report.text();
    EXPECT_TRUE(said.contains("[flrig] host=two words")) << said.toStdString();
    EXPECT_TRUE(said.contains("[flrig] port=99999")) << said.toStdString();
    EXPECT_TRUE(said.contains("[wsjtx] address=192.168.1.5")) << said.toStdString();

    ASSERT_TRUE(links.Choose(RigLinkChoice::Link::Wsjtx,
                             rig::WsjtxAddress{2237, QStringLiteral("239.255.0.1")}));
    RigLinkChoice again{dir.path(), cat, serial, simulated};
    again.Load();
    EXPECT_EQ(again.link(), RigLinkChoice::Link::Wsjtx);
    EXPECT_EQ(again.wsjtxAddress().text(), "239.255.0.1:2237");
}

TEST_F(RigLinkChoiceTest, anUnknownLinkIsReportedAndTheSerialPortTaken_aBlankOneQuietly) {
    const QString ini = dir.filePath("Ventrolo.ini");
    RigLinkChoice links{dir.path(), cat, serial, simulated};
    test_support::WriteFile(ini, "[rig]\nlink=flrig\n");
    links.Load();
    EXPECT_EQ(links.link(), RigLinkChoice::Link::Flrig);

    test_support::WriteFile(ini, "[rig]\nlink=Radio\n");
    core::SettingsReport report;
    links.Load(&report);
    EXPECT_EQ(links.link(), RigLinkChoice::Link::Serial);
    EXPECT_EQ(report.text(), ini + ": [rig] link=Radio cannot be used; serial is used instead.");
    // The value stays for the user to mend; the missing key goes into the group.
    const QString written = test_support::ReadFile(ini);
    EXPECT_TRUE(written.startsWith(
        "[rig]\nlink=Radio\nholdWhileTransmitting=true ; no turning while the rig transmits\n"))
        << written.toStdString();

    test_support::WriteFile(ini, "[rig]\nlink=flrig\n");
    links.Load();
    test_support::WriteFile(ini, "[rig]\nlink=\n");
    core::SettingsReport quiet;
    links.Load(&quiet);
    EXPECT_EQ(links.link(), RigLinkChoice::Link::Serial);
    EXPECT_TRUE(quiet.isEmpty()) << quiet.text().toStdString();
    EXPECT_TRUE(test_support::ReadFile(ini).startsWith("[rig]\nlink=\nholdWhileTransmitting="));
}

TEST(WsjtxAddressTest, aPortOrAMulticastGroupWithItsPort_andNothingElse) {
    EXPECT_EQ(ParseWsjtxAddress(" 2237 ")->text(), "2237");
    EXPECT_EQ(ParseWsjtxAddress("224.0.0.1")->port, WsjtxAddress::DefaultPort);
    EXPECT_EQ(ParseWsjtxAddress("[ff02::1]:2240")->text(), "[ff02::1]:2240");
    for (const char* bad :
         {"", "0", "70000", "127.0.0.1:2237", "224.0.0.1:0", "localhost", "224.0.0.1:port"})
        EXPECT_FALSE(ParseWsjtxAddress(QString::fromLatin1(bad))) << bad;
}

TEST_F(RigLinkChoiceTest, theCivAndKenwoodGroupsAreReadWithTheModelsDefaults_andBadValuesReported) {
    const QString ini = dir.filePath("Ventrolo.ini");
    RigLinkChoice links{dir.path(), cat, serial, simulated};

    // The model's own address unless one is given.
    test_support::WriteFile(ini, "[rig]\nlink=civ\n[civ]\nmodel=ic-9700\n");
    links.Load();
    EXPECT_EQ(links.link(), RigLinkChoice::Link::Civ);
    EXPECT_EQ(links.civSettings(), (CivSettings{"IC-9700", 0xA2, 19200}));
    test_support::WriteFile(ini, "[rig]\nlink=civ\n[civ]\nmodel=IC-705\naddress=0x5c\nbaud=9600\n");
    links.Load();
    EXPECT_EQ(links.civSettings(), (CivSettings{"IC-705", 0x5C, 9600}));

    // An unknown model, a controller's address, a baud rate no rig has: each noted.
    test_support::WriteFile(ini, "[rig]\nlink=civ\n[civ]\nmodel=IC-999\naddress=E0\nbaud=1234\n");
    core::SettingsReport report;
    links.Load(&report);
    EXPECT_EQ(links.civSettings(), CivSettings{});
    EXPECT_EQ(report.unused().size(), 3u);
    EXPECT_TRUE(report.text().contains("[civ] address=E0 cannot be used; 94 is used instead."))
        << report.text().toStdString();

    // A choice is kept with its settings.
    ASSERT_TRUE(links.Choose(RigLinkChoice::Link::Civ, rig::CivSettings{"IC-7610", 0x98, 19200}));
    RigLinkChoice again{dir.path(), cat, serial, simulated};
    again.Load();
    EXPECT_EQ(again.civSettings(), (CivSettings{"IC-7610", 0x98, 19200}));
    // The model's own address follows the model changed in the file; one of the user's stays.
    const auto modelInFile = [&](const char* model) {
        ASSERT_TRUE(core::SetSettings(ini, "civ", {{"model", model}}));
        again.Load();
    };
    modelInFile("IC-705");
    EXPECT_EQ(again.civSettings().address, 0xA4);
    ASSERT_TRUE(links.Choose(RigLinkChoice::Link::Civ, rig::CivSettings{"IC-7300", 0x96, 19200}));
    modelInFile("IC-9700");
    EXPECT_EQ(again.civSettings().address, 0x96);

    // The Kenwood family the same way; without a baud rate the model's own.
    test_support::WriteFile(ini, "[rig]\nlink=kenwood\n[kenwood]\nmodel=ts-2000\nbaud=fast\n");
    core::SettingsReport kenwoodReport;
    links.Load(&kenwoodReport);
    EXPECT_EQ(links.link(), RigLinkChoice::Link::Kenwood);
    EXPECT_EQ(links.kenwoodSettings(), (KenwoodSettings{"TS-2000", 0}));
    EXPECT_TRUE(kenwoodReport.text().contains("[kenwood] baud=fast cannot be used; 9600 is used"))
        << kenwoodReport.text().toStdString();
    ASSERT_TRUE(links.Choose(RigLinkChoice::Link::Kenwood, rig::KenwoodSettings{"FTDX10", 38400}));
    again.Load();
    EXPECT_EQ(again.kenwoodSettings(), (KenwoodSettings{"FTDX10", 38400}));
}
