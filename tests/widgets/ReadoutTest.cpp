#include "widgets/Readout.h"

#include <QLabel>
#include <QPixmap>
#include <gtest/gtest.h>

namespace {

// A label that counts the repaints it makes itself.
struct CountingLabel : QLabel {
    int painted = 0;
    void paintEvent(QPaintEvent* event) override {
        ++painted;
        QLabel::paintEvent(event);
    }
};

// A read-out and a plain label made alike, both showing text.
struct Pair {
    CountingLabel readout;
    QLabel plain;

    Pair(int pointSizeDelta, widgets::ReadoutFrame frame) {
        const QString widest = QStringLiteral("-2147483648.0 °");
        widgets::MakeReadout(readout, pointSizeDelta, frame, widest);
        plain.setFont(readout.font());
        plain.setFrameShape(readout.frameShape());
        plain.setFrameShadow(readout.frameShadow());
        plain.setAlignment(readout.alignment());
        plain.setTextFormat(readout.textFormat());
        widgets::PaintAlone(plain, readout.size());
    }
    void show(const QString& text) {
        readout.setText(text);
        plain.setText(text);
    }
    // Rendered apart from the screen, pixel for pixel.
    static QImage pixels(QLabel& label) { return label.grab().toImage(); }
};

TEST(ReadoutTest, paintsTheSamePixelsAsTheLabelWouldForEveryValueItShows) {
    for (const auto frame : {widgets::ReadoutFrame::None, widgets::ReadoutFrame::Sunken}) {
        for (const int delta : {2, 5, 6}) {
            Pair pair(delta, frame);
            for (const QString& text :
                 {QStringLiteral("0"), QStringLiteral("-2147483648"), QStringLiteral("123456"),
                  QStringLiteral("359.9 °"), QStringLiteral("-17.5 °"),
                  QStringLiteral("7074.0 kHz"), QStringLiteral("1000 Out")}) {
                pair.show(text);
                EXPECT_EQ(Pair::pixels(pair.readout), Pair::pixels(pair.plain))
                    << qPrintable(text) << " at +" << delta << " points";
            }
            EXPECT_EQ(pair.readout.painted, 0) << "the label laid the values out itself";
        }
    }
}

TEST(ReadoutTest, aColouredOrOverlongValueIsStillPaintedAsTheLabelWould) {
    Pair pair(6, widgets::ReadoutFrame::Sunken);
    for (QLabel* label : std::initializer_list<QLabel*>{&pair.readout, &pair.plain}) {
        QPalette palette = label->palette();
        palette.setColor(QPalette::WindowText, QColor(0x00, 0x80, 0xFF));
        label->setPalette(palette);
    }
    pair.show(QStringLiteral("42"));
    EXPECT_EQ(Pair::pixels(pair.readout), Pair::pixels(pair.plain));
    // Wider than the read-out: clipped alike on both sides.
    pair.show(QStringLiteral("-2147483648.0 ° and more"));
    EXPECT_EQ(Pair::pixels(pair.readout), Pair::pixels(pair.plain));
}

TEST(ReadoutTest, whatItDoesNotPaintItselfTheLabelPaints) {
    Pair pair(4, widgets::ReadoutFrame::Sunken);
    for (const auto& [text, format] :
         {std::pair{QStringLiteral("<b>12</b>"), Qt::RichText},
          std::pair{QStringLiteral("1\n2"), Qt::PlainText},
          std::pair{QStringLiteral("&Count"), Qt::PlainText},
          // A combining mark, right-to-left digits: not one glyph per character side by side.
          std::pair{QStringLiteral("12\u0301"), Qt::PlainText},
          std::pair{QStringLiteral("\u0661\u0662 \u05D0"), Qt::PlainText}}) {
        pair.readout.setTextFormat(format);
        pair.plain.setTextFormat(format);
        pair.show(text);
        const int painted = pair.readout.painted;
        EXPECT_EQ(Pair::pixels(pair.readout), Pair::pixels(pair.plain)) << qPrintable(text);
        EXPECT_GT(pair.readout.painted, painted) << qPrintable(text);
    }
    pair.readout.setEnabled(false);
    pair.plain.setEnabled(false);
    pair.show(QStringLiteral("123"));
    EXPECT_EQ(Pair::pixels(pair.readout), Pair::pixels(pair.plain));
}

} // namespace
