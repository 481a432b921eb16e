#include "app/AppFixture.h"
#include "display/DialView.h"
#include "display/LptInputWindow.h"
#include "display/LptOutputWindow.h"
#include "display/MoveLogWindow.h"
#include "display/PelorusWindow.h"
#include "display/PictureWindow.h"
#include "display/SmallPelorusWindow.h"
#include "display/TextWindow.h"
#include "display/WebcamWindow.h"
#include "port/CoilOutput.h"
#include "support/AccessibleNames.h"

#include <QAccessible>
#include <QApplication>
#include <QFile>
#include <QMenu>
#include <QPlainTextEdit>
#include <QScreen>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTextBlock>

using app_test::Shown;

namespace {

bool OnScreen(const QWidget& window) {
    return QGuiApplication::primaryScreen()->availableGeometry().contains(window.frameGeometry());
}

QColor TextColour(const QLabel* label) {
    return label->palette().color(QPalette::WindowText);
}

struct DisplayWindowsTest : app_test::AppFixture {
    void SetUp() override { firstStart(); }
};

} // namespace

TEST_F(DisplayWindowsTest, pelorusClick_turnsTheStepperToThatHeadingAndTheDialFollows) {
    form.cmdPelorus->click();
    auto* pelorus = Shown<display::PelorusWindow>("Form2");
    ASSERT_TRUE(pelorus);
    EXPECT_TRUE(form.mnuPelorus->isChecked());
    EXPECT_EQ(form.cmdPelorus->text(), "Pel&orus on");
    EXPECT_TRUE(OnScreen(*pelorus));

    display::DialView* dial = pelorus->Picture1;
    const display::DialLayout layout = dial->dial();
    std::optional<double> markerMidway;
    platform.scheduleAfter(100, [&] { markerMidway = dial->target(); });
    QTest::mouseClick(dial, Qt::LeftButton, {},
                      display::DialPoint(layout.centre, layout.discRadius / 2, 90).toPoint());
    EXPECT_EQ(state.StepCounter, 50); // 90 degrees of 200 steps a turn
    EXPECT_EQ(lpt->data(888) & port::CoilMask, port::CoilCode(50));
    ASSERT_TRUE(markerMidway);
    EXPECT_NEAR(*markerMidway, 90, 1e-3);
    EXPECT_FALSE(dial->target()) << "no marker at rest";
    EXPECT_EQ(dial->needle(), 90);
    EXPECT_EQ(pelorus->lblAngle->text(), "90.0 °");
    EXPECT_EQ(pelorus->lblTellerPelorus->text(), "50");
    QTest::keyClick(pelorus->mnuKleurPopup, Qt::Key_R); // the menu's key, not a turn
    EXPECT_EQ(state.StepCounter, 50);
    QTest::mouseClick(pelorus->lblTellerPelorus, Qt::LeftButton);
    EXPECT_EQ(pelorus->lblTellerPelorus->text(), "90°");
    EXPECT_EQ(TextColour(pelorus->lblTellerPelorus), QColor(255, 0, 0)); // PelorusDegreeColor

    // The way out hides the dial: the profile still says it is shown.
    form.mnuExit->trigger();
    EXPECT_FALSE(pelorus->isVisible());
    EXPECT_TRUE(state.PelorusShown);
}

TEST_F(DisplayWindowsTest, pelorusClosed_clearsItsEntriesAndWithoutDegreesOnlyBeeps) {
    form.mnuPelorus->trigger();
    auto* pelorus = Shown<display::PelorusWindow>("Form2");
    ASSERT_TRUE(pelorus);
    pelorus->close();
    EXPECT_FALSE(form.mnuPelorus->isChecked());
    EXPECT_EQ(form.cmdPelorus->text(), "Pel&orus off");
    EXPECT_FALSE(state.PelorusShown);

    state.StepsPer360 = 0;
    form.mnuPelorus->trigger();
    EXPECT_EQ(platform.beeps.size(), 1u);
    EXPECT_FALSE(form.mnuPelorus->isChecked());
    EXPECT_FALSE(Shown<display::PelorusWindow>("Form2"));
}

TEST_F(DisplayWindowsTest, pelorusColours_startFromTheColourShown_okUnchangedKeepsADesktopColour) {
    form.mnuPelorus->trigger();
    auto* pelorus = Shown<display::PelorusWindow>("Form2");
    ASSERT_TRUE(pelorus);
    core::ProgramState& s = state;
    const auto greyText = static_cast<core::Long>(0x80000011u);
    ASSERT_EQ(s.PelorusBackColor, greyText);

    platform.answerNextColor(0x808080); // OK without a change
    pelorus->mnuBack->trigger();
    EXPECT_EQ(platform.colorStarts.back(), 0x808080);
    EXPECT_EQ(s.PelorusBackColor, greyText) << "still the desktop colour";
    platform.answerNextColor(0x0000FF);
    pelorus->mnuBack->trigger();
    EXPECT_EQ(s.PelorusBackColor, 0x0000FF);
    platform.answerNextColor(std::nullopt); // cancelled
    pelorus->mnuRand->trigger();
    EXPECT_EQ(platform.colorStarts.back(), 0xFF0000);
    EXPECT_EQ(s.PelorusRimColor, 0xFF0000);
}

TEST_F(DisplayWindowsTest, smallPelorus_keepsTheSizeTheUserGaveIt) {
    form.mnuPelSmall->trigger();
    auto* small = Shown<display::SmallPelorusWindow>("Form9");
    ASSERT_TRUE(small);
    EXPECT_TRUE(OnScreen(*small));
    small->resize(300, 200);
    EXPECT_NEAR(small->Picture1->dial().discRadius, 0.8 * 100, 1e-9); // the narrower side
    small->close();
    EXPECT_FALSE(form.mnuPelSmall->isChecked());
    EXPECT_EQ(state.SmallPelorusWidth, 4500); // twips
    EXPECT_EQ(state.SmallPelorusHeight, 3000);

    form.mnuPelSmall->trigger();
    small = Shown<display::SmallPelorusWindow>("Form9");
    ASSERT_TRUE(small);
    EXPECT_EQ(small->size(), QSize(300, 200));
}

TEST_F(DisplayWindowsTest, lptOutput_boxesWriteThePortAndPinsSixToNineJoinTheStepsBitwise) {
    form.mnuTarvex->trigger(); // both drivers, and pin 6 for stepper 2
    form.OptStepper[1]->click();
    ASSERT_EQ(state.StepperBits, 28);
    lpt->Out32(888, 5);
    form.mnuLptOutput->trigger();
    auto* output = Shown<display::LptOutputWindow>("Form10");
    ASSERT_TRUE(output);
    EXPECT_EQ(output->windowTitle(), "Ventrolo.Version 1.24");
    EXPECT_TRUE(output->Option[0]->isChecked());
    EXPECT_TRUE(output->Check[0]->isChecked() && output->Check[2]->isChecked()) << "read back";

    lpt->traceWrites();
    for (const std::size_t box : {0, 3, 6, 7})
        output->Check[box]->click();
    EXPECT_TRUE(form.mnuLPT89->isChecked());
    output->Check[7]->click();
    EXPECT_FALSE(form.mnuLPT89->isChecked());
    EXPECT_EQ(lpt->valuesWritten(888), (std::vector<std::uint8_t>{4, 12, 76, 204, 76}));
    EXPECT_EQ(state.LptExtraBits, 64);
    EXPECT_EQ(platform.beeps.size(), 3u); // a beep for each box of the pins 6 to 9

    output->Check[6]->click();
    output->Check[4]->click(); // pin 6, which stepper 2's drivers raise as well
    ASSERT_EQ(state.LptExtraBits, 16);
    form.cmdCw->click(); // a stop first: the test window closes
    EXPECT_FALSE(Shown<display::LptOutputWindow>("Form10"));
    EXPECT_FALSE(form.mnuLptOutput->isChecked());
    EXPECT_EQ(lpt->data(888), port::CoilCode(1) | 28) << "pin 6 once, never carried into pin 7";
}

TEST_F(DisplayWindowsTest, lptOutput_aBoxAScreenReaderTicksWritesThePortAsAClick) {
    lpt->Out32(888, 0);
    form.mnuLptOutput->trigger();
    auto* output = Shown<display::LptOutputWindow>("Form10");
    ASSERT_TRUE(output);
    lpt->traceWrites();
    QAccessible::queryAccessibleInterface(output->Check[2])
        ->actionInterface()
        ->doAction(QAccessibleActionInterface::toggleAction());
    ASSERT_TRUE(QTest::qWaitFor([output] { return output->Check[2]->isChecked(); }, 1000));
    QCoreApplication::processEvents();
    output->Check[1]->click();
    EXPECT_EQ(lpt->valuesWritten(888), (std::vector<std::uint8_t>{4, 6})) << "pin 4 is set";
}

TEST_F(DisplayWindowsTest, lptInput_showsTheStatusRegisterWhileTheHousekeepingWaits) {
    form.mnuLptInput->trigger();
    auto* input = Shown<display::LptInputWindow>("Form13");
    ASSERT_TRUE(input);
    EXPECT_EQ(input->Frame2->title(), "LPT(889) pins ");
    EXPECT_EQ(input->PinLabel[0]->text(), "Pin 15=0");
    const QString clock = form.lblTime->text();

    lpt->setStatus(888, 8);
    platform.advance(500);
    EXPECT_EQ(input->Frame2->title(), "LPT(889) pins (\\)");
    EXPECT_EQ(input->PinLabel[0]->text(), "Pin 15=1");
    EXPECT_EQ(input->Label2->text(), "b10000000D=1");
    input->Option[1]->click();
    lpt->setStatus(956, 128);
    platform.advance(500);
    EXPECT_EQ(input->Frame2->title(), "LPT(957) pins (-)");
    EXPECT_EQ(input->PinLabel[0]->text(), "Pin 15=0");
    EXPECT_EQ(input->PinLabel[4]->text(), "Pin 11=1");
    platform.advance(2000);
    EXPECT_EQ(form.lblTime->text(), clock) << "the one-second housekeeping is stopped";
    // Minimised, the window reads nothing; shown again, it reads on.
    const QString caption = input->Frame2->title();
    input->hide();
    lpt->setStatus(956, 0);
    platform.advance(2000);
    EXPECT_EQ(input->Frame2->title(), caption);
    EXPECT_EQ(input->PinLabel[4]->text(), "Pin 11=1");
    input->show();
    platform.advance(500);
    EXPECT_NE(input->Frame2->title(), caption);
    EXPECT_EQ(input->PinLabel[4]->text(), "Pin 11=0");

    input->menus.mnuExit->trigger();
    EXPECT_FALSE(form.mnuLptInput->isChecked());
    EXPECT_FALSE(state.LptInTestOpen);
    platform.advance(1000);
    EXPECT_NE(form.lblTime->text(), clock);
}

TEST_F(DisplayWindowsTest, infoMenus_openEveryTextAndPictureFromItsResource) {
    form.mnuVentroloNL->trigger();
    auto* text = Shown<display::TextWindow>("Form6");
    ASSERT_TRUE(text);
    EXPECT_TRUE(text->windowTitle().startsWith(dir.filePath("VentroDutch.txt") + "  "));
    EXPECT_TRUE(text->Text1->toPlainText().startsWith("    "));
    form.mnuChangesTxt->trigger(); // one text at a time
    EXPECT_FALSE(form.mnuVentroloNL->isChecked());
    ASSERT_TRUE(Shown<display::TextWindow>("Form6"));
    EXPECT_EQ(Shown<display::TextWindow>("Form6")->text(), display::HelpText::Changes);

    // A help text the user removed: the shipped one, and the caption says why.
    QFile::remove(dir.filePath("VentroEng.txt"));
    form.mnuVentroloUK->trigger();
    text = Shown<display::TextWindow>("Form6");
    ASSERT_TRUE(text);
    EXPECT_TRUE(text->windowTitle().contains("cannot be read"))
        << text->windowTitle().toStdString();
    EXPECT_TRUE(text->Text1->toPlainText().contains("Ventrolo"));
    text->close();
    EXPECT_FALSE(form.mnuVentroloUK->isChecked());

    const std::array<QAction*, 8> entries{
        form.mnuSchemaCat, form.mnuCircuitBi, form.mnuCircuitUni,     form.mnuSchemaOpto,
        form.mnuBrenik,    form.mnuComponent, form.mnuCircuitStepDir, form.mnuCircuitInhibit};
    for (std::size_t i = 0; i < entries.size(); ++i) {
        entries[i]->trigger();
        display::PictureWindow* shown = nullptr;
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            auto* window = qobject_cast<display::PictureWindow*>(widget);
            if (window && window->isVisible() && window->picture() == display::Pictures[i])
                shown = window;
        }
        ASSERT_TRUE(shown) << i;
        EXPECT_TRUE(shown->pictureValid()) << i;
        EXPECT_EQ(shown->windowTitle(), display::PictureCaption(display::Pictures[i]));
        EXPECT_TRUE(OnScreen(*shown)) << i;
        shown->close();
        EXPECT_FALSE(entries[i]->isChecked()) << i;
    }
}

TEST_F(DisplayWindowsTest, theMoveLogAndTheHelpTextsHaveNamesAScreenReaderSays) {
    form.find<QAction>("mnuMoveLog")->trigger();
    auto* moves = Shown<display::MoveLogWindow>("MoveLogWindow");
    ASSERT_TRUE(moves);
    EXPECT_EQ(testing_support::UnnamedOrAlike(*moves), QStringList());
    form.mnuVentroloUK->trigger();
    auto* text = Shown<display::TextWindow>("Form6");
    ASSERT_TRUE(text);
    EXPECT_EQ(testing_support::UnnamedOrAlike(*text), QStringList());
}

TEST(MoveLogWindow, aNewMoveKeepsTheLinesTheUserReads_andComesIntoViewAtTheTop) {
    QTemporaryDir dir;
    engine::MoveLog log(dir.path());
    int turns = 0;
    auto turn = [&] {
        engine::TurnRecord record;
        record.to = ++turns;
        record.steps = turns;
        record.started = record.ended = QDateTime::currentDateTime();
        ASSERT_TRUE(log.Append(record));
    };
    for (int i = 0; i < 100; ++i)
        turn();
    display::MoveLogLines lines(log);
    auto* window = new display::MoveLogWindow(lines);
    window->show();
    QScrollBar* bar = window->moves->verticalScrollBar();
    ASSERT_GT(bar->maximum(), 60);

    // Reading older moves, one of them selected, while two turns end.
    bar->setValue(50);
    QTextCursor cursor(window->moves->document()->findBlockByNumber(55));
    cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
    window->moves->setTextCursor(cursor);
    bar->setValue(50);
    const QString read = cursor.selectedText();
    turn();
    lines.Refresh();
    turn();
    lines.Refresh();
    EXPECT_EQ(bar->value(), 52);
    EXPECT_EQ(window->moves->textCursor().selectedText(), read);

    // At the top the newest move comes into view.
    bar->setValue(0);
    turn();
    lines.Refresh();
    EXPECT_EQ(bar->value(), 0);
    EXPECT_TRUE(window->moves->document()->firstBlock().text().contains("103 steps"))
        << window->moves->document()->firstBlock().text().toStdString();
    window->close();
}

TEST_F(DisplayWindowsTest, webcam_buttonsChooseTheAxisAndActivationKeepsTheCoilCode) {
    form.mnuTarvex->trigger();
    form.cmdCw->click();
    form.cmdCw->click(); // stepper 1 stands at 2: coil code 3, both drivers on
    ASSERT_EQ(lpt->data(888), 3 | 12);
    QTest::mouseClick(form.Image1, Qt::LeftButton);
    auto* webcam = Shown<display::WebcamWindow>("Form18");
    ASSERT_TRUE(webcam);

    // That no write carries another coil code is the coil code rule's test.
    QEvent activate(QEvent::WindowActivate);
    QCoreApplication::sendEvent(webcam, &activate);
    EXPECT_TRUE(state.WebcamWindowOpen);
    EXPECT_FALSE(webcam->Picture1->needle());

    const std::pair<Qt::MouseButton, int> presses[] = {
        {Qt::LeftButton, 1}, {Qt::LeftButton, 0}, {Qt::LeftButton, 1}, {Qt::RightButton, 0}};
    for (const auto& [button, stepper] : presses) {
        QTest::mousePress(webcam->Picture1, button);
        EXPECT_EQ(state.SelectedStepper, stepper);
        EXPECT_EQ(webcam->Label2->text(), stepper == 1 ? "Elevation" : "Azimuth");
        EXPECT_EQ(TextColour(webcam->Label2), stepper == 1 ? QColor(Qt::red) : QColor(Qt::black));
    }
    EXPECT_EQ(webcam->Picture1->needle(), 4); // 3.6 degrees, whole

    webcam->ChkLptOut->click();
    auto* output = Shown<display::LptOutputWindow>("Form10");
    ASSERT_TRUE(output);
    EXPECT_TRUE(form.mnuLptOutput->isChecked());
    EXPECT_GT(output->frameGeometry().top(), webcam->frameGeometry().top());
    output->close();
    EXPECT_FALSE(webcam->ChkLptOut->isChecked());

    webcam->close();
    EXPECT_FALSE(state.WebcamWindowOpen);
    EXPECT_TRUE(app.mainWindow().isVisible());
}
