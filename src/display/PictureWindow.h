#pragma once

#include "display/Resources.h"

#include <QWidget>

class QSvgRenderer;

namespace display {

// A circuit picture window (Form4, Form7, Form12, Form14, Form15, Form16): one shipped picture,
// drawn as large as the window allows with its proportions kept. It deletes itself when closed,
// after telling closed().
class PictureWindow : public QWidget {
    Q_OBJECT

public:
    explicit PictureWindow(Picture picture);

    Picture picture() const { return picture_; }
    // The picture could be read and drawn.
    bool pictureValid() const;

signals:
    void closed();

protected:
    void paintEvent(QPaintEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    Picture picture_;
    QSvgRenderer* renderer_;
};

} // namespace display
