#pragma once

#include "model/pensnapshot.h"

#include <QFont>
#include <QImage>
#include <QList>
#include <QRectF>
#include <QStringList>

class QPainter;

namespace tessaro {

// The card's fonts: the quotes and the empty state's text.
struct CardFonts {
    QFont quote;
    QFont hint;
    // The desktop's interface font at the card's sizes.
    static CardFonts fromDesktop();
};

// Where everything on the card goes, in logical pixels, for one snapshot: the
// pen across the top, the quotes below it and the drawing beside them.
// Without quotes, a quiet hint takes their place.
struct SnapshotCard {
    // One quote: its accent bar and its lines as shown, two at most, the last
    // cut with an ellipsis when the quote goes on.
    struct Quote {
        QRectF bar;
        QList<QPointF> baselines;
        QStringList lines;
    };

    static constexpr double width = 340;
    // Room around the card for its shadow.
    static constexpr double margin = 12;
    static constexpr int quoteLines = 2;

    QSizeF size; // the whole window, margins included
    QRectF card;
    QRectF pen;
    QList<Quote> quotes;
    QRectF drawing; // empty without one
    QRectF hint;    // empty when there are quotes
    QStringList hintLines;
    QList<QPointF> hintBaselines;
};

// The hint of a card without quotes.
inline const QString emptyCardHint = QStringLiteral("No quotes yet. Keep your first one!");

SnapshotCard layOutCard(const PenSnapshot& snapshot, QSize drawingSize, const CardFonts& fonts);

// Paints the card at the painter's origin. `drawing` is already scaled for
// the card (see scaledDrawing); `devicePixelRatio` is the target's.
void paintCard(QPainter& painter, const SnapshotCard& card, const PenSnapshot& snapshot,
               const QImage& drawing, const CardFonts& fonts, bool dark, double devicePixelRatio);

// The drawing scaled down, with care, to the card's drawing frame in device
// pixels.
QImage scaledDrawing(const QImage& drawing, const SnapshotCard& card, double devicePixelRatio);

} // namespace tessaro
