#include "widgets/AccessibleToggle.h"

#include <QAccessible>
#include <QCheckBox>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

namespace {

QAccessibleActionInterface* Actions(QWidget& widget) {
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(&widget);
    return accessible ? accessible->actionInterface() : nullptr;
}

} // namespace

TEST(AccessibleToggle, aScreenReadersToggleIsAClick_theBoxReadsAsBefore) {
    widgets::MakeAccessibleTogglesClick();
    QCheckBox box("&Autopower && more");
    box.setToolTip("Coils off when idle.");
    box.show();
    QSignalSpy clicked(&box, &QCheckBox::clicked);
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(&box);
    EXPECT_EQ(accessible->role(), QAccessible::CheckBox);
    EXPECT_EQ(accessible->text(QAccessible::Name), "Autopower & more");
    EXPECT_EQ(accessible->text(QAccessible::Description), "Coils off when idle.");
    EXPECT_TRUE(accessible->state().checkable);
    ASSERT_TRUE(Actions(box));
    Actions(box)->doAction(QAccessibleActionInterface::toggleAction());
    ASSERT_TRUE(QTest::qWaitFor([&] { return clicked.count() == 1; }, 1000))
        << "the command that listens to clicks runs";
    EXPECT_TRUE(box.isChecked());
    EXPECT_TRUE(accessible->state().checked);

    QRadioButton second("Stepper2");
    second.show();
    QSignalSpy chosen(&second, &QRadioButton::clicked);
    EXPECT_EQ(QAccessible::queryAccessibleInterface(&second)->role(), QAccessible::RadioButton);
    Actions(second)->doAction(QAccessibleActionInterface::toggleAction());
    EXPECT_TRUE(QTest::qWaitFor([&] { return chosen.count() == 1; }, 1000));

    box.setEnabled(false);
    EXPECT_FALSE(Actions(box)->actionNames().contains(QAccessibleActionInterface::toggleAction()));
}
