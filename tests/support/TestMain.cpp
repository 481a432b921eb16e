// Test entry point: a Qt application object exists for the whole run (QApplication where
// widgets are tested, on the offscreen platform unless another is set).
#include <gtest/gtest.h>

#ifdef VENTROLO_TEST_WIDGETS
#include "widgets/AccessibleToggle.h"

#include <QApplication>
using TestApplication = QApplication;
#else
#include <QCoreApplication>
using TestApplication = QCoreApplication;
#endif

int main(int argc, char** argv) {
#ifdef VENTROLO_TEST_WIDGETS
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
#endif
    ::testing::InitGoogleTest(&argc, argv);
    TestApplication application(argc, argv);
#ifdef VENTROLO_TEST_WIDGETS
    widgets::MakeAccessibleTogglesClick(); // as the program's start does
#endif
    return RUN_ALL_TESTS();
}
