#include "mainwindow/SplashWindow.h"

#include "core/VersionTexts.h"
#include "mainwindow/ClickableLabel.h"

#include <QCloseEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPainter>
#include <QVBoxLayout>

#include <cmath>
#include <numbers>

namespace mainwindow {

namespace {

// A dial with a pointer, the program's emblem.
QPixmap LogoPicture() {
    constexpr int Size = 96;
    QPixmap picture(Size, Size);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    const QPointF centre(Size / 2.0, Size / 2.0);
    const double radius = Size / 2.0 - 4;
    painter.setPen(QPen(QColor(0x00, 0x00, 0xFF), 3));
    painter.setBrush(QColor(0xF0, 0xF0, 0xF0));
    painter.drawEllipse(centre, radius, radius);
    painter.setPen(QPen(Qt::black, 1.5));
    for (int degrees = 0; degrees < 360; degrees += 30) {
        const double angle = (degrees - 90) * std::numbers::pi / 180;
        const QPointF direction(std::cos(angle), std::sin(angle));
        painter.drawLine(centre + direction * (radius - 9), centre + direction * (radius - 2));
    }
    const double pointer = (60 - 90) * std::numbers::pi / 180;
    painter.setPen(QPen(QColor(0xFF, 0x00, 0x00), 3, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(centre,
                     centre + QPointF(std::cos(pointer), std::sin(pointer)) * (radius - 12));
    painter.setBrush(Qt::black);
    painter.setPen(Qt::NoPen);
    painter.drawEllipse(centre, 4, 4);
    return picture;
}

ClickableLabel* Text(const QString& name, const QString& text) {
    auto* label = new ClickableLabel(text);
    label->setObjectName(name);
    return label;
}

} // namespace

SplashWindow::SplashWindow(platform::Platform& platform, QWidget* parent)
    : QWidget(parent, Qt::Dialog | Qt::FramelessWindowHint),
      closeTimer_(platform.createTimer([this] { close(); })) {
    setObjectName(QStringLiteral("frmSplash"));
    setWindowTitle(core::AppTitle);

    Frame1 = new QFrame;
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Frame1->setFrameShape(QFrame::Box);
    imgLogo = new QLabel;
    imgLogo->setObjectName(QStringLiteral("imgLogo"));
    imgLogo->setPixmap(LogoPicture());
    lblProductName = new QLabel(core::AppTitle);
    lblProductName->setObjectName(QStringLiteral("lblProductName"));
    QFont title = lblProductName->font();
    title.setPointSize(title.pointSize() * 2 + 4);
    title.setBold(true);
    lblProductName->setFont(title);
    lblVersion =
        Text("lblVersion", core::VersionText + " (Build " + QString::number(core::Revision) + ").");
    lblWarning = Text("lblWarning", "Stepper engine program.");
    lblMaker = Text("lblMaker", "For stepper motors on the parallel port.");
    lblURL = Text("lblURL", HomePageAddress);
    lblURL->setToolTip(HomePageAddress);
    lblURL->setCursor(Qt::PointingHandCursor);
    QPalette link = lblURL->palette();
    link.setColor(QPalette::WindowText, QColor(0x00, 0x00, 0xFF));
    lblURL->setPalette(link);
    QFont underlined = lblURL->font();
    underlined.setUnderline(true);
    lblURL->setFont(underlined);

    auto* texts = new QVBoxLayout;
    texts->addWidget(lblProductName);
    texts->addWidget(lblVersion);
    texts->addSpacing(12);
    texts->addWidget(lblWarning);
    texts->addWidget(lblMaker);
    texts->addStretch();
    texts->addWidget(lblURL);
    auto* inner = new QHBoxLayout(Frame1);
    inner->setContentsMargins(16, 16, 24, 16);
    inner->addWidget(imgLogo, 0, Qt::AlignTop);
    inner->addSpacing(16);
    inner->addLayout(texts, 1);
    auto* page = new QVBoxLayout(this);
    page->setContentsMargins(6, 6, 6, 6);
    page->addWidget(Frame1);

    for (ClickableLabel* label : {lblVersion, lblWarning, lblMaker})
        connect(label, &ClickableLabel::clicked, this, &QWidget::close);
    connect(lblURL, &ClickableLabel::clicked, this, [this] {
        emit addressClicked();
        close();
    });
}

SplashWindow::~SplashWindow() = default;

void SplashWindow::startCloseTimer() {
    closeTimer_->start(CloseAfterMs);
}

void SplashWindow::keyPressEvent(QKeyEvent* event) {
    event->accept();
    close();
}

// Clicks on the frame, the logo and the product name arrive here.
void SplashWindow::mousePressEvent(QMouseEvent* event) {
    event->accept();
    close();
}

void SplashWindow::closeEvent(QCloseEvent* event) {
    closeTimer_->stop();
    QWidget::closeEvent(event);
}

} // namespace mainwindow
