// The build dialog as a screen reader or the keyboard fills it in.
#include "vna/VnaBuildDialog.h"

#include "BuildFixture.h"
#include "support/AccessibleNames.h"

#include <QAccessible>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

using namespace vna;

namespace {

struct VnaBuildDialogTest : vna_test::BuildFixture {
    std::unique_ptr<VnaBuildDialog> dialog;

    VnaBuildDialogTest() {
        dialog = std::make_unique<VnaBuildDialog>(*presenter, state);
        dialog->show();
    }
    template <typename W> W* control(const char* name) {
        return dialog->findChild<W*>(QLatin1String(name));
    }
    // Start, answering the question to connect the VNA with Cancel: the form is taken all the
    // same.
    void start() {
        platform.answerNextMessage(platform::Answer::Cancel);
        control<QPushButton>("cmdStart")->click();
    }
};

} // namespace

TEST_F(VnaBuildDialogTest, anEdgeSetWithoutKeysIsTheBandBuilt) {
    auto* band = control<QComboBox>("cboBand");
    ASSERT_EQ(band->currentText(), "40m");
    QAccessibleInterface* from =
        QAccessible::queryAccessibleInterface(control<QWidget>("txtLowKHz"));
    ASSERT_TRUE(from->valueInterface());
    from->valueInterface()->setCurrentValue(7100.0); // no editing ends: no Enter, no focus moved
    start();
    EXPECT_EQ(band->currentText(), "Other (kHz)") << "the box shows 7100 kHz";
    EXPECT_EQ(presenter->form().band, 0);
    EXPECT_DOUBLE_EQ(presenter->form().lowKHz, 7100);
    EXPECT_DOUBLE_EQ(presenter->form().highKHz, 7300);

    // A band chosen sets both edges, and stays the band.
    band->setCurrentIndex(band->findText("20m"));
    emit band->activated(band->currentIndex());
    start();
    EXPECT_EQ(band->currentText(), "20m");
    EXPECT_EQ(presenter->form().band, band->findText("20m"));
    EXPECT_DOUBLE_EQ(control<QDoubleSpinBox>("txtLowKHz")->value(), presenter->form().lowKHz);
}

TEST_F(VnaBuildDialogTest, aScreenReaderTellsEveryControlTheKeyboardReachesApart) {
    EXPECT_EQ(testing_support::UnnamedOrAlike(*dialog), QStringList());
    // What it says beside them: the progress, the picture, what Start and Stop do.
    for (const char* name : {"barProgress", "picReport"})
        EXPECT_FALSE(QAccessible::queryAccessibleInterface(control<QWidget>(name))
                         ->text(QAccessible::Name)
                         .isEmpty())
            << name;
    for (const char* name : {"cmdStart", "cmdStop"})
        EXPECT_FALSE(control<QWidget>(name)->toolTip().isEmpty()) << name;
}

TEST_F(VnaBuildDialogTest, aBandPickedWithoutActivationSetsItsEdges_editedEdgesStay) {
    auto* band = control<QComboBox>("cboBand");
    auto* low = control<QDoubleSpinBox>("txtLowKHz");
    auto* high = control<QDoubleSpinBox>("txtHighKHz");
    // As a screen reader picks an item: the index set, no activated().
    band->setCurrentIndex(band->findText("20m"));
    EXPECT_DOUBLE_EQ(low->value(), 14000);
    EXPECT_DOUBLE_EQ(high->value(), 14350);
    start();
    EXPECT_EQ(presenter->form().band, band->findText("20m"));
    EXPECT_DOUBLE_EQ(presenter->form().lowKHz, 14000);

    low->setValue(14100); // the band becomes the owner's own, with the edge as set
    EXPECT_EQ(band->currentIndex(), 0);
    EXPECT_DOUBLE_EQ(low->value(), 14100);
    EXPECT_DOUBLE_EQ(high->value(), 14350);
}
