#include "display/LptInputWindow.h"

#include "core/VersionTexts.h"
#include "display/DialGeometry.h"
#include "display/LptPins.h"
#include "widgets/CaptionCache.h"
#include "widgets/Readout.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLayout>
#include <QRadioButton>
#include <QVBoxLayout>
#include <algorithm>

namespace display {

LptInputWindow::LptInputWindow(LptInputTest& test, platform::Platform& platform,
                               core::Long statusAddress)
    : QWidget(nullptr, Qt::Window), test_(test),
      Timer1(platform.createDisplayTimer([this] { GetLptInp(); })) {
    setObjectName(QStringLiteral("Form13"));
    setWindowTitle(QStringLiteral("LPT Input ") + core::MessageTitle());
    setAttribute(Qt::WA_DeleteOnClose);
    test_.SetLptPort(statusAddress);

    Frame2 = new QGroupBox;
    Frame2->setObjectName(QStringLiteral("Frame2"));
    int frameWidth = 0;
    for (const QString& caption : LptInputTest::FrameCaptions()) {
        Frame2->setTitle(caption);
        frameWidth = std::max(frameWidth, Frame2->minimumSizeHint().width());
    }
    Frame2->setTitle(test_.framePrefix());
    Frame2->setMinimumWidth(frameWidth);
    auto* pins = new QVBoxLayout(Frame2);
    const auto captions = LptInputTest::PinLabels();
    const auto toolTips = LptInputTest::PinToolTips();
    for (std::size_t i = 0; i < PinLabel.size(); ++i) {
        PinLabel[i] = new QLabel(captions[i]);
        PinLabel[i]->setObjectName(QStringLiteral("Label%1").arg(i + 3));
        PinLabel[i]->setToolTip(toolTips[i]);
        PinLabel[i]->setMinimumWidth(static_cast<int>(TwipsToPixels(1200)));
        pins->addWidget(PinLabel[i]);
    }
    Label2 = new QLabel;
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setToolTip(QStringLiteral("Lpt  value."));
    Label2->setMinimumWidth(Label2->fontMetrics().horizontalAdvance(StatusValueText(0xFF)));
    pins->addWidget(Label2);

    Frame1 = new QGroupBox(QStringLiteral("LPT inp port"));
    Frame1->setObjectName(QStringLiteral("Frame1"));
    auto* ports = new QVBoxLayout(Frame1);
    for (std::size_t i = 0; i < Option.size(); ++i) {
        Option[i] = new QRadioButton(QStringLiteral("Lpt %1.").arg(i + 1));
        Option[i]->setObjectName(QStringLiteral("Option%1").arg(i + 1));
        Option[i]->setChecked(LptInputTest::StatusAddresses[i] == test_.inPort());
        ports->addWidget(Option[i]);
        connect(Option[i], &QRadioButton::clicked, this, [this, i] {
            test_.SetLptPort(LptInputTest::StatusAddresses[i]);
            Frame2->setTitle(test_.framePrefix());
        });
    }
    ports->addStretch();
    Label1 = new QLabel(QStringLiteral("DB25 Pins 15, 13, 12, 10 and  11 ."));
    Label1->setObjectName(QStringLiteral("Label1"));

    auto* columns = new QHBoxLayout;
    columns->addWidget(Frame2, 1);
    columns->addWidget(Frame1);
    auto* page = new QVBoxLayout(this);
    page->addLayout(columns);
    page->addWidget(Label1);
    menus = AddLptTestMenus(*this, platform, QStringLiteral("&Exit"),
                            QStringLiteral("The five input pins of the port chosen, read twice a "
                                           "second as the program reads its switches: 1 is a "
                                           "high level, but a low one on pin 11."));
    connect(menus.mnuVentroUk, &QAction::triggered, this, &LptInputWindow::helpRequested);

    // As large as the texts need, also when they grow.
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    // The frame keeps the size it has with its widest caption: a tick then redraws the frame
    // alone instead of resizing and redrawing the whole window twice a second.
    layout()->activate();
    widgets::PaintAlone(*Frame2, Frame2->size());
    widgets::CacheCaptions(*Frame2);
}

LptInputWindow::~LptInputWindow() = default;

void LptInputWindow::GetLptInp() {
    const LptInputTest::Reading reading = test_.GetLptInp();
    // The spinner redraws the caption's strip alone: setTitle() would redraw the frame and every
    // label in it, twice a second.
    if (Frame2->title() != reading.frameCaption) {
        if (Frame2->updatesEnabled()) { // nothing else holds its updates back
            Frame2->setAttribute(Qt::WA_UpdatesDisabled);
            Frame2->setTitle(reading.frameCaption);
            Frame2->setAttribute(Qt::WA_UpdatesDisabled, false);
            Frame2->update(0, 0, Frame2->width(), Frame2->contentsRect().top());
        } else {
            Frame2->setTitle(reading.frameCaption);
        }
    }
    Label2->setText(reading.valueText);
    for (std::size_t i = 0; i < PinLabel.size(); ++i)
        PinLabel[i]->setText(reading.pinTexts[i]);
}

void LptInputWindow::showEvent(QShowEvent* event) {
    if (!Timer1->isActive())
        Timer1->start(LptInputTest::IntervalMs);
    QWidget::showEvent(event);
}

void LptInputWindow::hideEvent(QHideEvent* event) {
    // Nobody sees the readings: the window wakes the program no more until it is shown again.
    Timer1->stop();
    QWidget::hideEvent(event);
}

void LptInputWindow::closeEvent(QCloseEvent* event) {
    Timer1->stop();
    emit closed();
    event->accept();
}

} // namespace display
