#include "widgets/Readout.h"

#include <QEvent>
#include <QGlyphRun>
#include <QLabel>
#include <QPainter>
#include <QRawFont>
#include <QStyle>
#include <QStyleOption>
#include <QTextDocument>
#include <algorithm>

namespace widgets {
namespace {

// Whether text may need more than its characters' glyphs side by side: a combining mark, a
// script that joins or reorders, right-to-left text, a direction mark (anything from U+0300 on).
bool MayNeedShaping(const QString& text) {
    return std::any_of(text.begin(), text.end(), [](QChar c) { return c.unicode() >= 0x0300; });
}

// Paints a read-out's plain, one-line text from the font's glyphs directly, where the label
// would lay the text out anew at every repaint (itemising, shaping, line breaking): a turn
// repaints its read-outs many times a second, and that layout was most of their cost. The
// pixels are the label's own. Anything this does not cover (rich text, a picture, several
// lines, text that may need shaping, a glyph the font lacks and another font would give, a
// greyed label, a value too wide for it) the label paints.
class ReadoutPainter : public QObject {
public:
    explicit ReadoutPainter(QLabel& label) : QObject(&label), label_(label) {}

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched != &label_)
            return false;
        if (event->type() == QEvent::FontChange)
            raw_ = {};
        return event->type() == QEvent::Paint && paint();
    }

private:
    bool paint() {
        const QString text = label_.text();
        const Qt::Alignment centred = Qt::AlignCenter;
        if (text.isEmpty() || !label_.isEnabled() || label_.wordWrap() || label_.margin() != 0 ||
            (label_.alignment() & centred) != centred || !label_.pixmap().isNull() ||
            label_.textFormat() == Qt::RichText ||
            (label_.textFormat() == Qt::AutoText && Qt::mightBeRichText(text)) ||
            text.contains(QLatin1Char('\n')) || text.contains(QLatin1Char('&')) ||
            MayNeedShaping(text))
            return false;
        if (!raw_.isValid())
            raw_ = QRawFont::fromFont(label_.font());
        QGlyphRun run;
        // A value wider than the read-out the label clips to its contents.
        if (!layOut(text, run) || advance_ > label_.contentsRect().width())
            return false;

        QPainter painter(&label_);
        QStyleOption option;
        option.initFrom(&label_);
        drawFrame(painter);
        // Placed as the label places a centred line: the line's height is the font's ascent
        // and descent.
        const QRectF area = label_.contentsRect();
        const QFontMetricsF metrics(label_.font());
        const double x = area.left() + (area.width() - advance_) / 2;
        const double y = area.top() + (area.height() - (metrics.ascent() + metrics.descent())) / 2;
        painter.setPen(option.palette.color(label_.foregroundRole()));
        painter.drawGlyphRun(QPointF(x, y + metrics.ascent()), run);
        return true;
    }

    // The glyphs of text side by side, as the font spaces them; false where the font lacks one.
    bool layOut(const QString& text, QGlyphRun& run) {
        const QList<quint32> glyphs = raw_.glyphIndexesForString(text);
        if (glyphs.size() != text.size() || glyphs.contains(0u))
            return false;
        const QList<QPointF> advances =
            raw_.advancesForGlyphIndexes(glyphs, QRawFont::KernedAdvances);
        QList<QPointF> positions;
        positions.reserve(glyphs.size());
        advance_ = 0;
        for (const QPointF& a : advances) {
            positions.append({advance_, 0});
            advance_ += a.x();
        }
        run.setRawFont(raw_);
        run.setGlyphIndexes(glyphs);
        run.setPositions(positions);
        return true;
    }

    // As the label's frame draws itself (its own drawing function is not reachable from here).
    void drawFrame(QPainter& painter) {
        if (label_.frameShape() == QFrame::NoFrame)
            return;
        QStyleOptionFrame option;
        option.initFrom(&label_);
        option.rect = label_.frameRect();
        option.frameShape = label_.frameShape();
        option.lineWidth = label_.lineWidth();
        option.midLineWidth = label_.midLineWidth();
        if (label_.frameShadow() == QFrame::Sunken)
            option.state |= QStyle::State_Sunken;
        else if (label_.frameShadow() == QFrame::Raised)
            option.state |= QStyle::State_Raised;
        label_.style()->drawControl(QStyle::CE_ShapedFrame, &option, &painter, &label_);
    }

    QLabel& label_;
    QRawFont raw_;
    double advance_ = 0;
};

} // namespace

void PaintAlone(QWidget& widget, QSize size) {
    widget.setAutoFillBackground(true);
    widget.setFixedSize(size);
}

void MakeReadout(QLabel& label, int pointSizeDelta, ReadoutFrame frame, const QString& widestText) {
    QFont font = label.font();
    font.setPointSize(font.pointSize() + pointSizeDelta);
    font.setBold(true);
    label.setFont(font);
    if (frame == ReadoutFrame::Sunken) {
        label.setFrameShape(QFrame::Panel);
        label.setFrameShadow(QFrame::Sunken);
    }
    label.setAlignment(Qt::AlignCenter);
    // A value, never markup: nothing to look for in every new one.
    label.setTextFormat(Qt::PlainText);
    const QFontMetrics metrics(font);
    const int margin = 2 * label.frameWidth() + 8;
    PaintAlone(label, {metrics.horizontalAdvance(widestText) + margin, metrics.height() + margin});
    label.installEventFilter(new ReadoutPainter(label));
}

} // namespace widgets
