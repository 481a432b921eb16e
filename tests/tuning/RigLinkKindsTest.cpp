// The table of link kinds, and the one link made at a time when the Com menu chooses it.
#include "tuning/RigLinkKinds.h"

#include "rig/CivRig.h"
#include "rig/KenwoodRig.h"
#include "rig/RigctldRig.h"
#include "tuning/RigTuningFixture.h"

#include <QPointer>

using tuning::RigLinkChoice;
using Link = RigLinkChoice::Link;
using RigLinkKindsTest = tuning_test::RigTuningFixture;

TEST_F(RigLinkKindsTest, everyLinkHasOneKind_foundByItsKeyInAnyCase) {
    for (Link link : {Link::Serial, Link::Simulated, Link::Rigctld, Link::Flrig, Link::Wsjtx,
                      Link::Civ, Link::Kenwood}) {
        const tuning::RigLinkKind& kind = tuning::KindOf(link);
        EXPECT_EQ(kind.link, link);
        const tuning::RigLinkKind* found =
            tuning::FindLinkKind(QString::fromLatin1(kind.key).toUpper());
        ASSERT_NE(found, nullptr) << kind.key.constData();
        EXPECT_EQ(found->link, link);
        // The Yaesu CAT link is always there and asks nothing; every other is asked and made.
        const bool cat = link == Link::Serial || link == Link::Simulated;
        EXPECT_EQ(kind.question == nullptr, cat) << kind.key.constData();
        EXPECT_EQ(kind.make == nullptr, cat) << kind.key.constData();
        EXPECT_EQ(kind.configure == nullptr, cat) << kind.key.constData();
    }
    EXPECT_EQ(tuning::FindLinkKind(QStringLiteral("hamlib")), nullptr);
    EXPECT_EQ(tuning::FindLinkKind(QString()), nullptr);
}

TEST_F(RigLinkKindsTest, choosingALink_makesItsConnection_oneAtATime_theSameKindAgainKeepsIt) {
    platform.answerNextInput(QStringLiteral("shack-pi:4533"));
    tuning.port().SelectLink(Link::Rigctld);
    auto* rigctld = qobject_cast<rig::RigctldRig*>(&tuning.connection());
    ASSERT_NE(rigctld, nullptr);
    EXPECT_EQ(rigctld->address().text(), "shack-pi:4533");
    EXPECT_EQ(tuning.port().portButton(), tuning::RigPort::PortButton::Link);
    const QPointer<rig::RigConnection> first = rigctld;

    platform.answerNextInput(QStringLiteral("IC-705 A4"));
    tuning.port().SelectLink(Link::Civ);
    auto* civ = qobject_cast<rig::CivRig*>(&tuning.connection());
    ASSERT_NE(civ, nullptr);
    EXPECT_EQ(civ->rigName(), "IC-705");
    EXPECT_EQ(civ->address(), 0xA4);
    EXPECT_EQ(tuning.port().portButton(), tuning::RigPort::PortButton::ComPort);
    EXPECT_TRUE(first.isNull()); // the rigctld link is gone

    platform.answerNextInput(QStringLiteral("IC-7300"));
    tuning.port().SelectLink(Link::Civ);
    EXPECT_EQ(&tuning.connection(), civ);
    EXPECT_EQ(civ->rigName(), "IC-7300");

    // A model the table does not know: told, and nothing changes.
    platform.answerNextInput(QStringLiteral("IC-9999"));
    tuning.port().SelectLink(Link::Civ);
    ASSERT_FALSE(platform.messages.empty());
    EXPECT_TRUE(platform.messages.back().text.contains("is not an Icom rig"));
    EXPECT_EQ(civ->rigName(), "IC-7300");

    // Another model of the Kenwood family talks at its own rate unless one was set for it.
    test_support::WriteFile(dir.filePath("Ventrolo.ini"),
                            "[rig]\nlink=kenwood\n[kenwood]\nmodel=TS-590\nbaud=9600\n");
    links.Load();
    tuning.LoadLink();
    auto* kenwood = qobject_cast<rig::KenwoodRig*>(&tuning.connection());
    ASSERT_NE(kenwood, nullptr);
    EXPECT_EQ(kenwood->lineText(), "9600,N,8,1");
    platform.answerNextInput(QStringLiteral("FTDX10"));
    tuning.port().SelectLink(Link::Kenwood);
    EXPECT_EQ(links.kenwoodSettings().baud, 0);
    EXPECT_EQ(kenwood->lineText(), QString::number(kenwood->model().baud) + ",N,8,1");
}

TEST_F(RigLinkKindsTest, atLoadEachLinkShowsTheStoredModeByItsName_notByTheYaesuCode) {
    const auto shownMode = [this] {
        const int index = tuning.rigState().modeIndex();
        const QStringList& names = tuning.connection().capabilities().modeNames;
        return index < 1 || index > names.size() ? QString() : names.at(index - 1);
    };
    const auto asked = [this] {
        return std::count_if(platform.messages.begin(), platform.messages.end(),
                             [](const auto& m) { return m.text.contains("Set mode to"); });
    };
    // The configuration keeps the FT-817's code of the mode: 0x02 is its CW, while 0x02 is AM
    // on the CI-V bus.
    state.RigModel = static_cast<core::Integer>(rig::Model::Ft817);
    state.RigModeCode = 0x02;
    test_support::WriteFile(dir.filePath("Ventrolo.ini"),
                            "[rig]\nlink=civ\n[civ]\nmodel=IC-7300\n");
    links.Load();
    loadTable("3500,100,\"\"\r\n");
    ASSERT_NE(qobject_cast<rig::CivRig*>(&tuning.connection()), nullptr);
    EXPECT_EQ(shownMode(), "CW");

    // 0x01, the FT-817's USB, is no code of the Kenwood family (it sends '1'..'9', LSB is
    // '1'): nothing to ask, USB shown.
    state.RigModeCode = 0x01;
    test_support::WriteFile(dir.filePath("Ventrolo.ini"), "[rig]\nlink=kenwood\n");
    links.Load();
    loadTable("3500,100,\"\"\r\n");
    ASSERT_NE(qobject_cast<rig::KenwoodRig*>(&tuning.connection()), nullptr);
    EXPECT_EQ(shownMode(), "USB");
    EXPECT_EQ(asked(), 0);

    // The Yaesu link itself finds the button by the code as before, the reverse CW too.
    state.RigModeCode = 0x03;
    test_support::WriteFile(dir.filePath("Ventrolo.ini"), "[rig]\nlink=simulated\n");
    links.Load();
    loadTable("3500,100,\"\"\r\n");
    EXPECT_EQ(shownMode(), "CWR");
}
