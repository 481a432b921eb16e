// The webcam window as the application opens it from the main window's picture.
#include "app/AppFixture.h"
#include "display/DialView.h"
#include "display/WebcamWindow.h"

#include <QAccessible>

namespace {

struct WebcamAppTest : app_test::AppFixture {
    WebcamAppTest() {
        firstStart();
        form.mnuTarvex->trigger(); // "Both steppers and pin6" shows the picture that opens it
    }
    display::WebcamWindow* openWebcam() {
        QTest::mouseClick(form.Image1, Qt::LeftButton);
        auto* webcam = app_test::Shown<display::WebcamWindow>();
        if (webcam) {
            QEvent activate(QEvent::WindowActivate);
            QCoreApplication::sendEvent(webcam, &activate);
        }
        return webcam;
    }
};

} // namespace

TEST_F(WebcamAppTest, reopened_theFirstButtonChoosesItsOwnAxis) {
    display::WebcamWindow* webcam = openWebcam();
    ASSERT_TRUE(webcam);
    QTest::mouseClick(webcam->Picture1, Qt::LeftButton);
    EXPECT_EQ(state.SelectedStepper, 1) << "left: elevation, stepper 2";
    webcam->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    webcam = openWebcam();
    ASSERT_TRUE(webcam);
    QTest::mouseClick(webcam->Picture1, Qt::LeftButton);
    EXPECT_EQ(state.SelectedStepper, 1) << "a left press in a new window is no second press";
    EXPECT_EQ(webcam->Label2->text(), "Elevation");
    QTest::mouseClick(webcam->Picture1, Qt::LeftButton);
    EXPECT_EQ(state.SelectedStepper, 0) << "the same button again alternates";
    webcam->close();
}

TEST_F(WebcamAppTest, activated_keepsTheShownFlagsOfTheWindowsThatStayOpen) {
    form.mnuPelorus->trigger();
    form.mnuTableUnity->trigger();
    ASSERT_TRUE(state.PelorusShown);
    ASSERT_TRUE(app.tableWindow());
    display::WebcamWindow* webcam = openWebcam();
    ASSERT_TRUE(webcam);
    ASSERT_TRUE(app.tableWindow());
    EXPECT_TRUE(state.PelorusShown);
    EXPECT_TRUE(state.TableWindowShown);
    webcam->close();

    // The next start opens them again.
    form.mnuSavecfg->trigger();
    app_test::SecondRun second(dir.path());
    EXPECT_TRUE(second.app.state().PelorusShown);
    EXPECT_TRUE(second.app.tableWindow());
}

TEST_F(WebcamAppTest, thePictureOpensTheWindowWithoutTheMouse) {
    QAccessibleInterface* picture = QAccessible::queryAccessibleInterface(form.Image1);
    EXPECT_EQ(picture->text(QAccessible::Name), "WebCam turning");
    EXPECT_EQ(picture->text(QAccessible::Description), "Click me to start.");
    ASSERT_TRUE(picture->actionInterface()) << "a screen reader can press it";
    picture->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    ASSERT_TRUE(QTest::qWaitFor([] { return app_test::Shown<display::WebcamWindow>(); }, 1000));
    app_test::Shown<display::WebcamWindow>()->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    EXPECT_EQ(form.Image1->focusPolicy(), Qt::TabFocus);
    QTest::keyClick(form.Image1, Qt::Key_Return);
    EXPECT_TRUE(QTest::qWaitFor([] { return app_test::Shown<display::WebcamWindow>(); }, 1000));
}
