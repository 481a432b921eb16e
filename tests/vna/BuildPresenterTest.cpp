// The build dialog's logic on the virtual clock: the questions before a build, Start and Stop,
// and what the dialog is given to show.
#include "vna/BuildPresenter.h"

#include "BuildFixture.h"
#include "support/TestFiles.h"

#include <QCoreApplication>
#include <QFile>
#include <gtest/gtest.h>

using namespace vna;
using platform::Answer;

namespace {

class BuildPresenterTest : public vna_test::BuildFixture {
protected:
    BuildPresenterTest() {
        // 7.0–7.2 MHz: the modelled loop reaches 7.3 MHz only beyond 2000.
        presenter->BandChosen(0);
        presenter->form().lowKHz = 7000;
        presenter->form().highKHz = 7200;
        presenter->form().spacingKHz = 10;
    }
    // Serves the events until the build started has ended.
    void finish() {
        while (session->running())
            QCoreApplication::processEvents();
    }
    QString lastMessage() const {
        return platform.messages.empty() ? QString() : platform.messages.back().text;
    }
};

TEST_F(BuildPresenterTest, theFormStartsWithFortyMetresAndTheStepperLimits) {
    const QStringList bands = BuildPresenter::BandChoices();
    EXPECT_EQ(bands.value(0), "Other (kHz)");
    const BuildPresenter::Form form = BuildPresenter(platform, *session, state).form();
    EXPECT_EQ(bands.value(form.band), "40m");
    EXPECT_DOUBLE_EQ(form.lowKHz, 7000);
    EXPECT_DOUBLE_EQ(form.highKHz, 7300);
    EXPECT_EQ(form.lowPosition, 0);
    EXPECT_EQ(form.highPosition, 2000);
    EXPECT_EQ(BuildPresenter::TimeLeftText(0), "");
    EXPECT_EQ(BuildPresenter::TimeLeftText(42.4), "About 42 s left");
    EXPECT_EQ(BuildPresenter::TimeLeftText(200), "About 3 min 20 s left");
}

TEST_F(BuildPresenterTest, theVnaIsConnectedFirst_thenTheBuildShowsItsProgressAndReport) {
    platform.answerNextMessage(Answer::Cancel);
    EXPECT_FALSE(presenter->Start());
    EXPECT_TRUE(lastMessage().startsWith("Connect the VNA to the antenna"));
    EXPECT_FALSE(session->running());

    BuildPresenter::View during;
    platform.scheduleAfter(30'000, [&] { during = presenter->view(); });
    platform.answerNextMessage(Answer::Ok);
    ASSERT_TRUE(presenter->Start());
    EXPECT_TRUE(presenter->view().running);
    finish();
    EXPECT_TRUE(during.running);
    EXPECT_GT(during.percent, 0);
    EXPECT_LT(during.percent, 100);
    EXPECT_TRUE(during.timeLeft.startsWith("About"));
    EXPECT_FALSE(during.activity.isEmpty());
    EXPECT_TRUE(during.picture.isEmpty());

    const BuildPresenter::View done = presenter->view();
    EXPECT_FALSE(done.running);
    EXPECT_EQ(done.percent, 100);
    EXPECT_TRUE(done.report.contains("of 10 turns")) << done.report.toStdString();
    // No play in the loop's drive: none is reported, not even as "-0.0".
    EXPECT_TRUE(done.report.contains("Backlash 0.0 steps")) << done.report.toStdString();
    EXPECT_TRUE(done.picture.startsWith("<svg") || done.picture.startsWith("<?xml"));
    EXPECT_TRUE(QFile::exists(dir.filePath("7000-7200kHz.cat")));
}

TEST_F(BuildPresenterTest, theBacklashMeasured_isOfferedAsTheOverlay_andTakenOnlyWhenThereIsOne) {
    std::vector<int> chosen;
    QObject::connect(presenter.get(), &BuildPresenter::overlayChosen, presenter.get(),
                     [&](int steps) { chosen.push_back(steps); });
    platform.answerNextMessage(Answer::Ok);
    ASSERT_TRUE(presenter->Start());
    finish();
    EXPECT_EQ(presenter->view().overlayOffered, 0); // a drive without play
    presenter->UseOverlay();
    EXPECT_TRUE(chosen.empty());

    test_support::WriteFile(dir.filePath("Ventrolo.ini"), "[vna]\nport=simulated\nbacklash=6\n");
    QFile::remove(dir.filePath("7000-7200kHz.cat"));
    platform.answerNextMessage(Answer::Ok);
    ASSERT_TRUE(presenter->Start());
    finish();
    const int offered = presenter->view().overlayOffered;
    EXPECT_EQ(offered, 6) << presenter->view().report.toStdString();
    presenter->UseOverlay();
    EXPECT_EQ(chosen, std::vector<int>{offered});
}

TEST_F(BuildPresenterTest, anExistingTable_isBuiltOverOrKeptAsTheOwnerSays) {
    const QString table = dir.filePath("7000-7200kHz.cat");
    test_support::WriteFile(table, "old");
    platform.answerNextMessage(Answer::Cancel);
    EXPECT_FALSE(presenter->Start());
    EXPECT_TRUE(lastMessage().contains("7000-7200kHz-2.cat"));
    EXPECT_EQ(test_support::ReadFile(table), "old");

    platform.answerNextMessage(Answer::No); // keep it
    platform.answerNextMessage(Answer::Ok);
    ASSERT_TRUE(presenter->Start());
    finish();
    EXPECT_EQ(test_support::ReadFile(table), "old");
    EXPECT_EQ(session->result()->tablePath, dir.filePath("7000-7200kHz-2.cat"));

    platform.answerNextMessage(Answer::Yes); // build over it
    platform.answerNextMessage(Answer::Ok);
    ASSERT_TRUE(presenter->Start());
    finish();
    EXPECT_EQ(session->result()->tablePath, table);
    EXPECT_NE(test_support::ReadFile(table), "old");
}

TEST_F(BuildPresenterTest, stop_endsTheBuild_andAFormThatCannotBeBuiltIsTold) {
    platform.scheduleAfter(10'000, [&] { presenter->Stop(); });
    platform.answerNextMessage(Answer::Ok);
    ASSERT_TRUE(presenter->Start());
    finish();
    EXPECT_LT(platform.steadyMs(), 12'000);
    EXPECT_TRUE(presenter->view().report.contains("stopped"));
    EXPECT_TRUE(presenter->view().picture.isEmpty());
    EXPECT_FALSE(QFile::exists(dir.filePath("7000-7200kHz.cat")));

    const std::size_t asked = platform.messages.size();
    presenter->form().lowPosition = 1500;
    presenter->form().highPosition = 1000;
    EXPECT_FALSE(presenter->Start());
    EXPECT_EQ(platform.messages.size(), asked + 1); // told, not asked to connect
    EXPECT_TRUE(lastMessage().contains("limits"));

    // Rows too close for the table are told before the band is measured, not after.
    presenter->form().lowPosition = 0;
    presenter->form().highPosition = 2000;
    presenter->form().spacingKHz = 1;
    const double before = platform.steadyMs();
    EXPECT_FALSE(presenter->Start());
    EXPECT_EQ(platform.messages.size(), asked + 2);
    EXPECT_EQ(lastMessage(), "A row every 1 kHz makes more than 100 rows.");
    EXPECT_EQ(platform.steadyMs(), before);
}

} // namespace
