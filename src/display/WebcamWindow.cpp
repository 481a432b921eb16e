#include "display/WebcamWindow.h"

#include "display/DialView.h"
#include "display/InputForwarder.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QGridLayout>
#include <QLabel>
#include <QPainter>
#include <QPointer>
#include <QtMath>
#include <cmath>

namespace display {
namespace {

constexpr int DialSide = 160;

// A round arrow: clockwise for a turn up (a wheel notch away from the user), else
// counter-clockwise.
QPixmap TurnPicture(bool clockwise) {
    const QColor blue(0, 0x60, 0xC0);
    const QPointF centre(20, 20);
    const double radius = 13;
    const int start = clockwise ? 120 : 60; // degrees counter-clockwise from three o'clock
    const int sweep = clockwise ? -270 : 270;
    QPixmap picture(40, 40);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(blue, 4, Qt::SolidLine, Qt::FlatCap));
    painter.drawArc(QRectF(centre.x() - radius, centre.y() - radius, 2 * radius, 2 * radius),
                    start * 16, sweep * 16);
    // The head at the arc's end, pointing along the turn.
    const double end = qDegreesToRadians(double(start + sweep));
    const QPointF tip = centre + QPointF(std::cos(end), -std::sin(end)) * radius;
    const QPointF along =
        QPointF(std::sin(end), std::cos(end)) * (clockwise ? 1.0 : -1.0); // screen y grows down
    const QPointF across(-along.y(), along.x());
    painter.setPen(Qt::NoPen);
    painter.setBrush(blue);
    painter.drawPolygon(QPolygonF({tip + along * 7, tip + across * 6, tip - across * 6}));
    return picture;
}

int ButtonNumber(Qt::MouseButton button) {
    switch (button) {
    case Qt::LeftButton:
        return WebcamTurning::LeftButton;
    case Qt::RightButton:
        return WebcamTurning::RightButton;
    default:
        return 0;
    }
}

} // namespace

WebcamWindow::WebcamWindow(WebcamTurning& turning)
    : QWidget(nullptr, Qt::Window), turning_(turning) {
    setObjectName(QStringLiteral("Form18"));
    setWindowTitle(QStringLiteral("WebCam turning for Tarvex"));
    setAttribute(Qt::WA_DeleteOnClose);

    Picture1 = new DialView(DialView::Style::Webcam);
    Picture1->setObjectName(QStringLiteral("Picture1"));
    Picture1->setFixedSize(DialSide, DialSide);
    Label1 = new QLabel(QStringLiteral("Change Stepper1 to Stepper2 with \r\nleft and right mouse "
                                       "button and\r\n turn stepper with scroll wheel."));
    Label1->setObjectName(QStringLiteral("Label1"));
    Label2 = new QLabel;
    Label2->setObjectName(QStringLiteral("Label2"));
    QFont large = Label2->font();
    large.setPointSize(large.pointSize() + 6);
    large.setBold(true);
    Label2->setFont(large);
    Image1 = new QLabel;
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setPixmap(TurnPicture(false));
    Image2 = new QLabel;
    Image2->setObjectName(QStringLiteral("Image2"));
    Image2->setPixmap(TurnPicture(true));
    Image2->hide();
    ChkLptOut = new QCheckBox(QStringLiteral("LPT out"));
    ChkLptOut->setObjectName(QStringLiteral("ChkLptOut"));

    auto* page = new QGridLayout(this);
    page->addWidget(Picture1, 0, 0, 4, 1);
    page->addWidget(Label1, 0, 1, 1, 2);
    page->addWidget(Label2, 1, 1, 1, 2);
    page->addWidget(Image1, 2, 1);
    page->addWidget(Image2, 2, 1);
    page->addWidget(ChkLptOut, 3, 1, 1, 2);
    page->setColumnStretch(2, 1);

    for (QWidget* part : std::initializer_list<QWidget*>{Picture1, Label1, Label2, Image1, Image2})
        part->installEventFilter(this);
    connect(ChkLptOut, &QCheckBox::clicked, this, [this](bool checked) {
        emit lptOutToggled(checked);
        focusNextChild();
    });
    WebcamTurning* webcam = &turning_;
    const QPointer<WebcamWindow> self(this);
    new InputForwarder(*this, {}, [webcam, self](int notches, int shift) {
        const QPointer<WebcamWindow> window = self;
        webcam->Wheel(notches, shift);
        if (window)
            window->render();
    });

    turning_.Opened();
    render();
}

void WebcamWindow::render() {
    Label2->setText(turning_.axisName());
    QPalette palette = Label2->palette();
    palette.setColor(QPalette::WindowText, turning_.elevation() ? Qt::red : Qt::black);
    Label2->setPalette(palette);
    Picture1->setNeedle(turning_.needleDegrees());
}

void WebcamWindow::showPicture(bool second) {
    Image1->setVisible(!second);
    Image2->setVisible(second);
}

void WebcamWindow::setLptOutChecked(bool checked) {
    ChkLptOut->setChecked(checked);
}

void WebcamWindow::selectAxis(Qt::MouseButton button) {
    const QPointer<WebcamWindow> self(this);
    turning_.SelectAxis(ButtonNumber(button));
    if (self)
        render();
}

bool WebcamWindow::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate) {
        turning_.Activated();
        render();
        focusNextChild();
    }
    return QWidget::event(event);
}

bool WebcamWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonPress) {
        selectAxis(static_cast<QMouseEvent*>(event)->button());
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void WebcamWindow::mousePressEvent(QMouseEvent* event) {
    selectAxis(event->button());
}

void WebcamWindow::closeEvent(QCloseEvent* event) {
    turning_.Closed();
    emit closed();
    event->accept();
}

} // namespace display
