// Who hears whom: the news of every logic object connected to the logic that acts on it and to
// the windows that show it.
#include "app/VentroloApp.h"
#include "core/VersionTexts.h"

namespace app {

using mainwindow::MainWindow;

void VentroloApp::wireLogic() {
    connect(&mainInit_, &panel::MainInit::windowsShown, this, &VentroloApp::showWindows);

    connect(&exitPath_, &panel::ExitPath::exitStarted, this, &VentroloApp::exitStarted);
    connect(&exitPath_, &panel::ExitPath::parkQuestionOpened, this, &VentroloApp::openParkQuestion);
    connect(&exitPath_, &panel::ExitPath::ended, this, &VentroloApp::finish);
}

// The main window renders the presenter's one view; what else it hears are commands.
void VentroloApp::wireMainWindow() {
    MainWindow* w = &window_;
    presenter_.Follow({fields_, housekeeping_, turns_, params_, shuttlePuls_, calibration_,
                       overlay_, mainInit_, station_.portCommands(), switches_, joystick_, wheel_});
    connect(&presenter_, &panel::MainPresenter::changed, w, &MainWindow::render);
    w->render(presenter_.view());
    connect(w, &MainWindow::sliderLabelClicked, &presenter_,
            &panel::MainPresenter::SliderLabelClicked);
    connect(w, &MainWindow::sliderThumbMoved, &presenter_, &panel::MainPresenter::ShowSliderLabel);
    connect(&mainInit_, &panel::MainInit::mainWindowChanged, w, &MainWindow::renderFromState);
    connect(&params_, &panel::StepperParams::pelorusOff, w, &MainWindow::pelorusOff);

    connect(&switches_.simulation(), &port::InputSimulation::openChanged, this,
            &VentroloApp::showInputSimulation);
    connect(&switches_.simulation(), &port::InputSimulation::refused, this,
            [this](const QString& why) {
                platform_.messageBox(why, core::MessageTitle(), platform::Icon::Information);
            });
}

} // namespace app
