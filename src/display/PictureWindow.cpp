#include "display/PictureWindow.h"

#include <QCloseEvent>
#include <QPainter>
#include <QSvgRenderer>

namespace display {
namespace {

QString FormName(Picture picture) {
    switch (picture) {
    case Picture::CatInterface:
        return QStringLiteral("Form4");
    case Picture::BipolarDriver:
        return QStringLiteral("Form7");
    case Picture::UnipolarDriver:
        return QStringLiteral("Form15");
    case Picture::OptoCouplers:
        return QStringLiteral("Form12");
    case Picture::SimpleDriver:
        return QStringLiteral("Form14");
    case Picture::ComponentLayout:
        return QStringLiteral("Form16");
    case Picture::StepDirDriver:
        return QStringLiteral("FormStepDir");
    case Picture::InhibitLine:
        return QStringLiteral("FormInhibit");
    }
    return {};
}

} // namespace

PictureWindow::PictureWindow(Picture picture)
    : QWidget(nullptr, Qt::Window), picture_(picture),
      renderer_(new QSvgRenderer(PictureResource(picture), this)) {
    setObjectName(FormName(picture));
    setWindowTitle(PictureCaption(picture));
    setAttribute(Qt::WA_DeleteOnClose);
    renderer_->setAspectRatioMode(Qt::KeepAspectRatio);
    resize(PictureSize(picture));
}

bool PictureWindow::pictureValid() const {
    return renderer_->isValid();
}

void PictureWindow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    renderer_->render(&painter, rect());
}

void PictureWindow::closeEvent(QCloseEvent* event) {
    emit closed();
    event->accept();
}

} // namespace display
