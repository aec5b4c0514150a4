// Draws Tessaro's application icon, a bead pen on a soft rounded square, and
// writes it as a hicolor theme: a PNG for every fixed size and the scalable
// SVG.
//   tessaro-icon <folder>   (writes <folder>/hicolor/...)
// The results are kept in data/icons, so installing never runs this tool.
#include <QBuffer>
#include <QColor>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QRegularExpression>
#include <QSvgGenerator>
#include <QTransform>

#include <algorithm>
#include <cstdio>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

const QString iconName = u"app.tessaro.Tessaro"_s;
constexpr int pngSizes[] = {16, 22, 24, 32, 48, 64, 128, 256, 512};

// The interface's own colours, so the icon sits beside the window's look.
const QColor outline(0x6B, 0x3A, 0x4A);
const QColor paper(0xFF, 0xFD, 0xF9);
const QColor wood(0xF6, 0xD9, 0xB8);
const QColor graphite(0x5A, 0x4A, 0x42);
const QColor metal(0xC9, 0xB8, 0xAE);
const QColor eraser(0xF4, 0x8C, 0x7F);

// How much to draw: a 16 px icon cannot carry what a 512 px one can.
struct Detail {
    double barrelHalf; // the barrel's half thickness
    double beadRadius;
    std::vector<double> beadAt; // bead centres along the pen
    std::vector<QColor> beadColours;
    bool shading; // gradients, highlights and the shadow
};

Detail detailFor(int size) {
    const QColor mint(0x5F, 0xC2, 0xA0), sky(0x6F, 0xB3, 0xE0), apricot(0xF5, 0xC1, 0x6C);
    if (size <= 24)
        return {0.076, 0.115, {-0.07, 0.16}, {mint, sky}, false};
    if (size <= 64)
        return {0.064, 0.09, {-0.15, 0.03, 0.21}, {mint, sky, apricot}, false};
    return {0.064, 0.088, {-0.15, 0.026, 0.202}, {mint, sky, apricot}, true};
}

// Pen space: the tip at x = -0.5, the back end at x = 0.5, the axis on
// y = 0; the pen crosses the icon from lower left to upper right.
QTransform penToIcon() {
    return QTransform().translate(0.5, 0.5).rotate(-45);
}

QPainterPath rectPath(double x0, double x1, double half) {
    QPainterPath path;
    path.addRect(QRectF(QPointF(x0, -half), QPointF(x1, half)));
    return path;
}

void paintBackground(QPainter& painter, const Detail& detail, double px) {
    // The hicolor guides leave a margin of a sixteenth around the shape.
    const QRectF square(0.0625, 0.0625, 0.875, 0.875);
    QLinearGradient fill(0, square.top(), 0, square.bottom());
    fill.setColorAt(0, QColor(0xFF, 0xE6, 0xEC));
    fill.setColorAt(1, QColor(0xFF, 0xBF, 0xCF));
    painter.setBrush(fill);
    // A darker rim keeps the square apart from a white or pink panel.
    painter.setPen(QPen(QColor(0xE4, 0x93, 0xAA), px, Qt::SolidLine, Qt::SquareCap, Qt::RoundJoin));
    const QRectF inside = square.adjusted(px / 2, px / 2, -px / 2, -px / 2);
    painter.drawRoundedRect(inside, 0.19, 0.19);
    if (detail.shading) {
        // A soft sheen over the upper half.
        QLinearGradient sheen(0, square.top(), 0, square.center().y());
        sheen.setColorAt(0, QColor(255, 255, 255, 110));
        sheen.setColorAt(1, QColor(255, 255, 255, 0));
        painter.setPen(Qt::NoPen);
        painter.setBrush(sheen);
        painter.drawRoundedRect(inside.adjusted(px, px, -px, -inside.height() / 2), 0.17, 0.17);
    }
}

void paintPen(QPainter& painter, const Detail& detail, double px) {
    const double half = detail.barrelHalf;
    const double tip = -0.5, coneEnd = -0.32, ferruleStart = 0.34, ferruleEnd = 0.38, end = 0.5;

    QPainterPath cone;
    cone.moveTo(tip, 0);
    cone.lineTo(coneEnd, -half);
    cone.lineTo(coneEnd, half);
    cone.closeSubpath();
    // The lead is the cone's first third, the same triangle scaled down.
    const double leadEnd = tip + (coneEnd - tip) * 0.34;
    QPainterPath lead;
    lead.moveTo(tip, 0);
    lead.lineTo(leadEnd, -half * 0.34);
    lead.lineTo(leadEnd, half * 0.34);
    lead.closeSubpath();
    const QPainterPath barrel = rectPath(coneEnd, ferruleStart, half);
    const QPainterPath ferrule = rectPath(ferruleStart, ferruleEnd, half);
    QPainterPath cap;
    cap.addRoundedRect(QRectF(QPointF(ferruleStart, -half), QPointF(end, half)), half * 0.8,
                       half * 0.8);
    cap = cap.subtracted(rectPath(ferruleStart - 0.01, ferruleEnd, half * 1.1));
    QPainterPath silhouette = cone.united(barrel).united(ferrule).united(cap);

    const QTransform toIcon = penToIcon();
    const double line = std::max(px, 0.018);

    if (detail.shading) {
        const QPainterPath shadow = toIcon.map(silhouette);
        painter.setPen(QPen(QColor(0x6B, 0x3A, 0x4A, 40), line * 2, Qt::SolidLine, Qt::RoundCap,
                            Qt::RoundJoin));
        painter.setBrush(QColor(0x6B, 0x3A, 0x4A, 40));
        painter.drawPath(shadow.translated(0.012, 0.026));
    }

    // A sticker's outline: the silhouette stroked, then the parts on top.
    painter.setPen(QPen(outline, line * 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(outline);
    painter.drawPath(toIcon.map(silhouette));
    painter.setPen(Qt::NoPen);

    painter.save();
    painter.setTransform(toIcon, true);
    if (detail.shading) {
        QLinearGradient across(0, -half, 0, half);
        across.setColorAt(0, Qt::white);
        across.setColorAt(1, QColor(0xF1, 0xE3, 0xD6));
        painter.setBrush(across);
    } else {
        painter.setBrush(paper);
    }
    painter.drawPath(barrel);
    painter.setBrush(wood);
    painter.drawPath(cone);
    painter.setBrush(graphite);
    painter.drawPath(lead);
    painter.setBrush(metal);
    painter.drawPath(ferrule);
    painter.setBrush(eraser);
    painter.drawPath(cap);
    if (detail.shading) {
        // Rings on the ferrule and a line where the wood meets the barrel.
        painter.setPen(QPen(outline, line * 0.6));
        painter.drawLine(QPointF(coneEnd, -half), QPointF(coneEnd, half));
        const double ring = (ferruleEnd - ferruleStart) / 3;
        for (int i = 1; i < 3; ++i)
            painter.drawLine(QPointF(ferruleStart + ring * i, -half),
                             QPointF(ferruleStart + ring * i, half));
    }
    painter.restore();

    // Beads stand upright whatever the pen's angle: lit from the upper left.
    for (std::size_t i = 0; i < detail.beadAt.size(); ++i) {
        const QPointF centre = toIcon.map(QPointF(detail.beadAt[i], 0));
        const double r = detail.beadRadius;
        const QColor colour = detail.beadColours[i];
        painter.setPen(QPen(outline, line * 2));
        painter.setBrush(outline);
        painter.drawEllipse(centre, r, r);
        painter.setPen(Qt::NoPen);
        if (detail.shading) {
            QRadialGradient body(centre, r, centre + QPointF(-r * 0.35, -r * 0.4));
            body.setColorAt(0, colour.lighter(125));
            body.setColorAt(0.7, colour);
            body.setColorAt(1, colour.darker(115));
            painter.setBrush(body);
        } else {
            painter.setBrush(colour);
        }
        painter.drawEllipse(centre, r, r);
        painter.setBrush(QColor(255, 255, 255, detail.shading ? 210 : 190));
        const QPointF glint = centre + QPointF(-r * 0.38, -r * 0.38);
        painter.drawEllipse(glint, r * 0.28, r * 0.22);
        if (detail.shading) {
            painter.setBrush(QColor(255, 255, 255, 120));
            painter.drawEllipse(centre + QPointF(r * 0.42, r * 0.44), r * 0.1, r * 0.1);
        }
    }
}

// Draws the icon into a `size` × `size` square of the painter.
void paintIcon(QPainter& painter, int size) {
    const Detail detail = detailFor(size);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size, size);
    const double px = 1.0 / size;
    paintBackground(painter, detail, std::max(px, 0.006));
    paintPen(painter, detail, px);
    painter.restore();
}

bool writePng(const QString& root, int size) {
    const QString folder = u"%1/hicolor/%2x%2/apps"_s.arg(root).arg(size);
    QDir().mkpath(folder);
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    paintIcon(painter, size);
    painter.end();
    const QString path = folder + u'/' + iconName + u".png"_s;
    if (image.save(path))
        return true;
    std::fprintf(stderr, "tessaro-icon: could not write %s\n", qPrintable(path));
    return false;
}

bool writeSvg(const QString& root) {
    constexpr int size = 512;
    QBuffer buffer;
    QSvgGenerator generator;
    generator.setOutputDevice(&buffer);
    generator.setSize(QSize(size, size));
    generator.setViewBox(QRect(0, 0, size, size));
    generator.setTitle(u"Tessaro"_s);
    QPainter painter(&generator);
    paintIcon(painter, size);
    painter.end();
    // The generator gives the size in millimetres; icon themes expect pixels.
    QByteArray svg = buffer.data();
    const qsizetype open = svg.indexOf("<svg");
    const qsizetype close = svg.indexOf('>', open);
    QByteArray head = svg.mid(open, close - open);
    static const QRegularExpression millimetres(uR"((width|height)="[0-9.]+mm")"_s);
    head = QString::fromUtf8(head).replace(millimetres, uR"(\1="%1")"_s.arg(size)).toUtf8();
    svg.replace(open, close - open, head);

    const QString folder = root + u"/hicolor/scalable/apps"_s;
    QDir().mkpath(folder);
    QFile file(folder + u'/' + iconName + u".svg"_s);
    if (file.open(QIODevice::WriteOnly) && file.write(svg) == svg.size())
        return true;
    std::fprintf(stderr, "tessaro-icon: could not write %s\n", qPrintable(file.fileName()));
    return false;
}

} // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: tessaro-icon <folder>\n");
        return 2;
    }
    const QString root = QString::fromLocal8Bit(argv[1]);
    bool ok = true;
    for (const int size : pngSizes)
        ok &= writePng(root, size);
    ok &= writeSvg(root);
    return ok ? 0 : 1;
}
