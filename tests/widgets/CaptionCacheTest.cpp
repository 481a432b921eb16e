#include "widgets/CaptionCache.h"

#include <QCoreApplication>
#include <QGroupBox>
#include <QLabel>
#include <QPixmap>
#include <QVBoxLayout>
#include <gtest/gtest.h>

namespace {

// A frame that counts the repaints it makes itself.
struct CountingFrame : QGroupBox {
    int painted = 0;
    void paintEvent(QPaintEvent* event) override {
        ++painted;
        QGroupBox::paintEvent(event);
    }
};

// A frame with a label in it, as the port's input window has.
template <typename Frame> void Furnish(Frame& frame) {
    auto* layout = new QVBoxLayout(&frame);
    layout->addWidget(new QLabel(QStringLiteral("Pin 15: 0")));
    frame.setAutoFillBackground(true);
    frame.setFixedSize(220, 80);
}

QImage Strip(QGroupBox& frame) {
    const QRect strip(0, 0, frame.width(), frame.contentsRect().top());
    QPixmap picture(strip.size());
    frame.render(&picture, {}, QRegion(strip));
    return picture.toImage();
}

TEST(CaptionCache, aCaptionShownBeforeIsRepaintedFromItsPicture_withTheFramesOwnPixels) {
    CountingFrame cached;
    QGroupBox plain;
    Furnish(cached);
    Furnish(plain);
    widgets::CacheCaptions(cached);
    const QStringList captions = {QStringLiteral("LPT(889) pins (|)"),
                                  QStringLiteral("LPT(889) pins (/)"),
                                  QStringLiteral("LPT(889) pins (-)")};
    for (const QString& caption : captions) { // each shown once: painted, then pictured
        cached.setTitle(caption);
        Strip(cached);
        QCoreApplication::processEvents();
    }
    const int painted = cached.painted;
    for (const QString& caption : captions) {
        cached.setTitle(caption);
        plain.setTitle(caption);
        EXPECT_EQ(Strip(cached), Strip(plain)) << qPrintable(caption);
    }
    EXPECT_EQ(cached.painted, painted) << "the frame painted a caption it has a picture of";

    // A new caption, or a repaint beyond the strip, is the frame's own again.
    cached.setTitle(QStringLiteral("LPT(957) pins (|)"));
    plain.setTitle(cached.title());
    EXPECT_EQ(Strip(cached), Strip(plain));
    EXPECT_EQ(cached.painted, painted + 1);
    EXPECT_EQ(cached.grab().toImage(), plain.grab().toImage());
}

TEST(CaptionCache, aNewFontDropsThePictures) {
    CountingFrame cached;
    QGroupBox plain;
    Furnish(cached);
    Furnish(plain);
    widgets::CacheCaptions(cached);
    cached.setTitle(QStringLiteral("LPT(889) pins (|)"));
    plain.setTitle(cached.title());
    Strip(cached);
    QCoreApplication::processEvents();
    QFont font = cached.font();
    font.setPointSize(font.pointSize() + 4);
    cached.setFont(font);
    plain.setFont(font);
    EXPECT_EQ(Strip(cached), Strip(plain));
}

TEST(CaptionCache, aCaptionThatKeepsChangingIsNotPicturedWithoutEnd) {
    CountingFrame cached;
    QGroupBox plain;
    Furnish(cached);
    Furnish(plain);
    widgets::CacheCaptions(cached);
    const auto show = [&](int count) {
        cached.setTitle(QStringLiteral("Count %1").arg(count));
        plain.setTitle(cached.title());
        EXPECT_EQ(Strip(cached), Strip(plain)) << count;
    };
    for (int count = 0; count < 40; ++count) {
        show(count);
        QCoreApplication::processEvents(); // pictured
    }
    // The first captions' pictures have gone with the rest: the frame paints them again.
    const int painted = cached.painted;
    show(0);
    EXPECT_EQ(cached.painted, painted + 1);
}

} // namespace
