#pragma once

#include "app/VentroloApp.h"
#include "port/SimulatedLpt.h"
#include "support/FakePlatform.h"
#include "support/MainWindowControls.h"
#include "support/QtPrinters.h"
#include "support/TestFiles.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCoreApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace app_test {

using testing_support::FakePlatform;

// The shown top-level window of that type (and name, when given).
template <typename Window> Window* Shown(const QString& name = {}) {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        auto* window = qobject_cast<Window*>(widget);
        if (window && window->isVisible() && (name.isEmpty() || window->objectName() == name))
            return window;
    }
    return nullptr;
}

// The application on the simulated port in a directory of its own, on the virtual clock.
struct AppFixture : ::testing::Test {
    QTemporaryDir dir;
    FakePlatform platform;
    port::SimulatedLpt* lpt = new port::SimulatedLpt;
    app::VentroloApp app{dir.path(), platform, std::unique_ptr<port::SimulatedLpt>(lpt)};
    core::ProgramState& state = app.state();
    const test_support::MainWindowControls form{app.mainWindow()};

    // A first start measures the PC speed by counting clock reads for a second.
    void firstStart() {
        platform.clockStepPerRead = 1;
        app.start();
        platform.clockStepPerRead = 0;
    }
    QByteArray file(const QString& name) const {
        return test_support::ReadFile(dir.filePath(name));
    }
};

// Another run of the program in the directory, started on a platform of its own.
struct SecondRun {
    FakePlatform platform;
    app::VentroloApp app;

    explicit SecondRun(const QString& directory)
        : app(directory, platform, std::make_unique<port::SimulatedLpt>()) {
        app.start();
    }
};

} // namespace app_test
