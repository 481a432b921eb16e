#include "display/LptOutputWindow.h"

#include "core/VersionTexts.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLayout>
#include <QRadioButton>
#include <QVBoxLayout>

namespace display {
namespace {

// The option buttons' ports: "Lpt 1." to "Lpt 3.".
constexpr std::array<core::Long, 3> OptionPorts{888, 956, 632};

} // namespace

LptOutputWindow::LptOutputWindow(LptOutputTest& test, platform::Platform& platform)
    : QWidget(nullptr, Qt::Window), test_(test) {
    setObjectName(QStringLiteral("Form10"));
    setWindowTitle(core::MessageTitle());
    setAttribute(Qt::WA_DeleteOnClose);

    Frame2 = new QGroupBox(QStringLiteral("Lpt db25."));
    Frame2->setObjectName(QStringLiteral("Frame2"));
    auto* pins = new QGridLayout(Frame2);
    for (int box = 0; box < 8; ++box) {
        auto* check = new QCheckBox(test_.boxCaption(box));
        check->setToolTip(test_.boxToolTip(box));
        check->setObjectName(QStringLiteral("Check%1").arg(box + 1));
        pins->addWidget(check, box / 4, box % 4);
        Check[static_cast<std::size_t>(box)] = check;
        connect(check, &QCheckBox::clicked, this, [this, box](bool ticked) {
            test_.BoxClicked(box, ticked);
            if (DataPinOfBox(box) >= 6)
                emit extraBitsChanged();
        });
    }
    Frame1 = new QGroupBox(QStringLiteral("Lptport"));
    Frame1->setObjectName(QStringLiteral("Frame1"));
    auto* ports = new QVBoxLayout(Frame1);
    for (std::size_t i = 0; i < Option.size(); ++i) {
        Option[i] = new QRadioButton(QStringLiteral("Lpt %1.").arg(i + 1));
        Option[i]->setObjectName(QStringLiteral("Option%1").arg(i + 1));
        ports->addWidget(Option[i]);
        connect(Option[i], &QRadioButton::clicked, this, [this, i] {
            test_.SelectPort(OptionPorts[i]);
            render();
        });
    }
    auto* page = new QHBoxLayout(this);
    page->addWidget(Frame2, 1);
    page->addWidget(Frame1);
    menus = AddLptTestMenus(*this, platform, QStringLiteral("&Exiit"),
                            QStringLiteral("Every box sets one data pin (2 to 9) of the port "
                                           "chosen. Pins 6 to 9 stay high on every step the "
                                           "stepper makes afterwards."));
    connect(menus.mnuVentroUk, &QAction::triggered, this, &LptOutputWindow::helpRequested);

    test_.Open();
    render();
    // As large as the texts need, also when they grow.
    layout()->setSizeConstraint(QLayout::SetFixedSize);
}

void LptOutputWindow::render() {
    const PinBoxes& boxes = test_.boxes();
    for (std::size_t box = 0; box < boxes.size(); ++box)
        Check[box]->setChecked(boxes[box]);
    for (std::size_t i = 0; i < Option.size(); ++i) {
        // No option matches a port beyond the standard three.
        Option[i]->setAutoExclusive(false);
        Option[i]->setChecked(OptionPorts[i] == test_.outPort());
        Option[i]->setAutoExclusive(true);
    }
}

void LptOutputWindow::closeEvent(QCloseEvent* event) {
    emit closed();
    event->accept();
}

} // namespace display
