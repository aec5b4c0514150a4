#include "themedsymbol.h"

#include "interfacecolours.h"

#include <QIconEngine>
#include <QPainter>

namespace tessaro {

namespace {

class DrawnSymbol final : public QIconEngine {
public:
    explicit DrawnSymbol(SymbolDrawing draw) : m_draw(draw) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode, QIcon::State) override {
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);
        QPen pen = painter->pen();
        pen.setCapStyle(Qt::RoundCap);
        pen.setJoinStyle(Qt::RoundJoin);
        painter->setPen(pen);
        m_draw(*painter, QRectF(rect).adjusted(1.5, 1.5, -1.5, -1.5));
        painter->restore();
    }
    // Where no painter hands in a pen, the symbol takes the text's colour.
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        QPixmap image(size);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        painter.setPen(QPen(interfaceColour(interfacePalette().textMain), 1.5));
        paint(&painter, image.rect(), mode, state);
        return image;
    }
    QIconEngine* clone() const override { return new DrawnSymbol(m_draw); }

private:
    SymbolDrawing m_draw;
};

} // namespace

QIcon themedSymbol(const QStringList& names, SymbolDrawing fallback) {
    for (const QString& name : names)
        if (QIcon::hasThemeIcon(name))
            return QIcon::fromTheme(name);
    return QIcon(new DrawnSymbol(fallback));
}

} // namespace tessaro
