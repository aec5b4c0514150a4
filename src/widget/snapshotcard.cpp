#include "snapshotcard.h"

#include "render/paintcolour.h"
#include "render/penpainter.h"
#include "render/penpalette.h"
#include "render/shadowlayer.h"

#include <QFontMetricsF>
#include <QGuiApplication>
#include <QPainter>
#include <QPainterPath>
#include <QTextLayout>

#include <cmath>
#include <numbers>

namespace tessaro {

using namespace Qt::StringLiterals;

namespace {

constexpr double padding = 16;
constexpr double cornerRadius = 22;
constexpr double penInset = 12;
constexpr double penHeight = 62;
// The pen lies almost flat, as in the program's menu preview.
constexpr double penAngle = -std::numbers::pi / 30;
constexpr double quoteGap = 10;
constexpr double barWidth = 3;
constexpr double barGap = 9;
constexpr double columnGap = 14;
// A page of the usual proportions fills it.
constexpr QSizeF drawingBox(84, 118);
constexpr double drawingRadius = 8;
constexpr double hintMarkHeight = 22;
constexpr double hintMarkGap = 6;

double luminance(const RGB& c) {
    return 0.299 * c.r + 0.587 * c.g + 0.114 * c.b;
}

// `text` cut to `width` with an ellipsis, at the end of a word where that
// keeps most of the line, and without a comma or space before the ellipsis.
QString elided(const QString& text, const QFont& font, double width) {
    const QFontMetricsF metrics(font);
    if (metrics.horizontalAdvance(text) <= width)
        return text;
    QString cut = metrics.elidedText(text, Qt::ElideRight, width);
    cut.chop(1);
    if (cut.size() < text.size() && !text.at(cut.size()).isSpace()) {
        const qsizetype space = cut.lastIndexOf(u' ');
        if (space > cut.size() * 2 / 3)
            cut.truncate(space);
    }
    while (!cut.isEmpty() &&
           (cut.back().isSpace() || QStringView(u",;:.-\u2013\u2014").contains(cut.back())))
        cut.chop(1);
    return cut + u'\u2026';
}

// The lines `text` takes at `width`, at most `maxLines`; the last line shown
// takes the rest of the text and ends in an ellipsis when it does not fit.
QStringList wrapLines(const QString& text, const QFont& font, double width, int maxLines) {
    QTextLayout layout(text, font);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    QStringList lines;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(width);
        if (lines.size() == maxLines - 1) {
            lines.append(elided(text.mid(line.textStart()).trimmed(), font, width));
            break;
        }
        lines.append(text.mid(line.textStart(), line.textLength()).trimmed());
    }
    layout.endLayout();
    return lines;
}

// The same lines, as even in length as they go: a hint centred under its
// mark reads badly with one word left alone on the last line.
QStringList balancedLines(const QString& text, const QFont& font, double width, int maxLines) {
    QStringList lines = wrapLines(text, font, width, maxLines);
    if (lines.size() < 2 || lines.back().endsWith(u'\u2026'))
        return lines;
    double low = width / 2;
    double high = width;
    while (high - low > 1) {
        const double middle = (low + high) / 2;
        const QStringList narrower = wrapLines(text, font, middle, maxLines);
        if (narrower.size() == lines.size() && !narrower.back().endsWith(u'\u2026'))
            high = middle;
        else
            low = middle;
    }
    return wrapLines(text, font, high, maxLines);
}

// The quotation mark over the empty card's hint, drawn as a shape so that it
// shows at its height whatever the font's proportions.
QPainterPath quoteMark(double height) {
    QFont font = QGuiApplication::font();
    font.setFamilies({u"Quicksand"_s, font.family()});
    font.setPixelSize(100);
    font.setWeight(QFont::Bold);
    QPainterPath mark;
    mark.addText(0, 0, font, u"\u201C"_s);
    const QRectF bounds = mark.boundingRect();
    QTransform transform;
    const double scale = height / std::max(bounds.width(), bounds.height());
    transform.scale(scale, scale);
    transform.translate(-bounds.center().x(), -bounds.center().y());
    return transform.map(mark);
}

} // namespace

CardFonts CardFonts::fromDesktop() {
    CardFonts fonts;
    fonts.quote = QGuiApplication::font();
    fonts.quote.setPixelSize(13);
    fonts.hint = fonts.quote;
    return fonts;
}

SnapshotCard layOutCard(const PenSnapshot& snapshot, QSize drawingSize, const CardFonts& fonts) {
    SnapshotCard card;
    const double m = SnapshotCard::margin;
    const double left = m + padding;
    const double right = m + SnapshotCard::width - padding;
    card.pen = QRectF(m + penInset, m + 10, SnapshotCard::width - 2 * penInset, penHeight);
    const double top = card.pen.bottom() + 8;
    double bottom = top;

    QStringList quotes;
    for (const QString& quote : snapshot.quotes) {
        if (quotes.size() == snapshotQuotes)
            break;
        // Quotes keep their line breaks in the program; here each runs on.
        if (QString text = quote.simplified(); !text.isEmpty())
            quotes.append(text);
    }

    // The drawing stands at the right, beside the quotes or the hint.
    const bool hasDrawing = !drawingSize.isEmpty();
    if (hasDrawing) {
        const QSizeF shown = QSizeF(drawingSize).scaled(drawingBox, Qt::KeepAspectRatio);
        card.drawing = QRectF(QPointF(std::round(right - shown.width()), top), shown);
        bottom = card.drawing.bottom();
    }
    const double columnRight = hasDrawing ? card.drawing.left() - columnGap : right;

    const QFontMetricsF metrics(fonts.quote);
    const double textLeft = left + barWidth + barGap;
    double y = top;
    for (const QString& text : quotes) {
        SnapshotCard::Quote quote;
        quote.lines =
            wrapLines(text, fonts.quote, columnRight - textLeft, SnapshotCard::quoteLines);
        for (qsizetype i = 0; i < quote.lines.size(); ++i)
            quote.baselines.append(
                QPointF(textLeft, y + metrics.ascent() + double(i) * metrics.lineSpacing()));
        const double height =
            double(quote.lines.size()) * metrics.lineSpacing() - metrics.leading();
        quote.bar = QRectF(left, y + 2, barWidth, height - 4);
        card.quotes.append(quote);
        y += height + quoteGap;
    }
    if (!quotes.isEmpty())
        bottom = std::max(bottom, y - quoteGap);

    if (quotes.isEmpty()) {
        const QFontMetricsF hintMetrics(fonts.hint);
        card.hintLines =
            balancedLines(emptyCardHint, fonts.hint, columnRight - left - (hasDrawing ? 0 : 24), 2);
        const double height = hintMarkHeight + hintMarkGap +
                              double(card.hintLines.size()) * hintMetrics.lineSpacing();
        // Level with the middle of a drawing beside it.
        const double hintTop = hasDrawing ? std::round(top + (bottom - top - height) / 2) : top;
        card.hint = QRectF(left, hintTop, columnRight - left, height);
        double baseline = hintTop + hintMarkHeight + hintMarkGap + hintMetrics.ascent();
        for (const QString& line : card.hintLines) {
            const double x = card.hint.center().x() - hintMetrics.horizontalAdvance(line) / 2;
            card.hintBaselines.append(QPointF(x, baseline));
            baseline += hintMetrics.lineSpacing();
        }
        bottom = std::max(bottom, card.hint.bottom());
    }

    card.card = QRectF(m, m, SnapshotCard::width, std::ceil(bottom + padding - m));
    card.size = QSizeF(SnapshotCard::width + 2 * m, card.card.bottom() + m);
    return card;
}

QImage scaledDrawing(const QImage& drawing, const SnapshotCard& card, double devicePixelRatio) {
    if (drawing.isNull() || card.drawing.isEmpty())
        return {};
    const QSize pixels = (card.drawing.size() * devicePixelRatio).toSize();
    QImage scaled = drawing.scaled(pixels, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    scaled.setDevicePixelRatio(devicePixelRatio);
    return scaled;
}

void paintCard(QPainter& p, const SnapshotCard& card, const PenSnapshot& snapshot,
               const QImage& drawing, const CardFonts& fonts, bool dark, double devicePixelRatio) {
    const PenPalette& palette = penPalette(dark);
    const RGB& background = palette[paletteEntry::background];
    const RGB& textMain = palette[3];
    const RGB& textSoft = palette[5];
    p.save();
    p.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform |
                     QPainter::TextAntialiasing);

    QPainterPath shape;
    shape.addRoundedRect(card.card, cornerRadius, cornerRadius);
    // The card is translucent: its shadow is drawn around it, never under it.
    {
        QPainterPath outside;
        outside.addRect(QRectF(QPointF(), card.size));
        p.save();
        p.setClipPath(outside.subtracted(shape));
        ShadowLayer shadow;
        shadow.draw(
            p, card.card, [&shape](QPainter& q) { q.fillPath(shape, Qt::black); },
            dark ? QColor(0, 0, 0, 120) : QColor(90, 60, 50, 56), 7, QPointF(0, 3));
        p.restore();
    }
    p.fillPath(shape, toColor(background, dark ? 0.93 : 0.95));
    p.setPen(QPen(toColor(textSoft, dark ? 0.28 : 0.3), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(card.card.adjusted(0.5, 0.5, -0.5, -0.5), cornerRadius - 0.5,
                      cornerRadius - 0.5);

    // The card is the pen palette's background, so the pen takes the card's
    // appearance: its shadows and metal are made for that ground.
    p.save();
    p.translate(card.pen.topLeft());
    paintPenArtwork(p, card.pen.size(), snapshot.pen(), dark, penAngle, false, devicePixelRatio);
    p.restore();

    // The quotes are marked in the pen's ink, unless it would vanish into the
    // card.
    const RGB ink = rgbFromHex(snapshot.pen().ink);
    const QColor accent = std::abs(luminance(ink) - luminance(background)) >= 48
                              ? toColor(ink)
                              : toColor(textSoft, 0.8);
    p.setFont(fonts.quote);
    for (const SnapshotCard::Quote& quote : card.quotes) {
        p.setPen(Qt::NoPen);
        p.setBrush(accent);
        p.drawRoundedRect(quote.bar, barWidth / 2, barWidth / 2);
        p.setPen(toColor(textMain));
        for (qsizetype i = 0; i < quote.lines.size(); ++i)
            p.drawText(quote.baselines[i], quote.lines[i]);
    }

    if (!card.drawing.isEmpty() && !drawing.isNull()) {
        QPainterPath frame;
        frame.addRoundedRect(card.drawing, drawingRadius, drawingRadius);
        p.fillPath(frame, toColor(lightPenPalette()[paletteEntry::background]));
        p.save();
        p.setClipPath(frame);
        p.drawImage(card.drawing, drawing);
        p.restore();
        p.setPen(QPen(toColor(textSoft, 0.35), 1));
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(card.drawing.adjusted(0.5, 0.5, -0.5, -0.5), drawingRadius - 0.5,
                          drawingRadius - 0.5);
    }

    if (!card.hint.isEmpty()) {
        p.save();
        p.translate(card.hint.center().x(), card.hint.top() + hintMarkHeight / 2);
        p.fillPath(quoteMark(hintMarkHeight), toColor(textSoft, 0.7));
        p.restore();
        p.setFont(fonts.hint);
        p.setPen(toColor(textSoft));
        for (qsizetype i = 0; i < card.hintLines.size(); ++i)
            p.drawText(card.hintBaselines[i], card.hintLines[i]);
    }
    p.restore();
}

} // namespace tessaro
