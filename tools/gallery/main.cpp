// Renders every picture of the render library to PNG files, to look at:
//   tessaro-gallery <folder>
// Built with the project, never installed.
#include "model/catalog.h"
#include "model/pen.h"
#include "render/charmpainter.h"
#include "render/penlayout.h"
#include "render/penpainter.h"
#include "render/penpalette.h"
#include "render/wallpapercanvas.h"

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <cstdio>

using namespace tessaro;
using namespace Qt::StringLiterals;

namespace {

constexpr double ratio = 2;

QImage canvas(QSizeF points, bool dark) {
    QImage image(int(points.width() * ratio), int(points.height() * ratio),
                 QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    const RGB background = penPalette(dark)[4];
    image.fill(QColor::fromRgb(int(background.r), int(background.g), int(background.b)));
    return image;
}

bool save(const QImage& image, const QString& path) {
    if (image.save(path))
        return true;
    std::fprintf(stderr, "could not write %s\n", qPrintable(path));
    return false;
}

QList<BeadSpec> mixedBeads() {
    QList<BeadSpec> beads;
    for (const char16_t* id :
         {u"cherry", u"heart", u"pearl-pink", u"jelly-sky", u"letter-L", u"bear"})
        beads.append(*beadById(id));
    return beads;
}

void beadSheets(const QString& folder) {
    for (const double size : {34.0, 118.0}) {
        const int columns = 12;
        const int rows = int((beadCatalog().size() + columns - 1) / columns);
        QImage image = canvas(QSizeF(columns * size, rows * size), false);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        for (qsizetype i = 0; i < beadCatalog().size(); ++i) {
            painter.save();
            painter.translate(double(i % columns) * size, double(i / columns) * size);
            paintBeadIcon(painter, QSizeF(size, size), beadCatalog()[i], ratio);
            painter.restore();
        }
        painter.end();
        save(image, folder + u"/beads-%1.png"_s.arg(int(size)));
    }
}

void penTypes(const QString& folder) {
    for (const bool dark : {false, true}) {
        for (const bool withBeads : {false, true}) {
            const QSizeF row(700, 110);
            QImage image = canvas(QSizeF(row.width(), row.height() * 7), dark);
            QPainter painter(&image);
            painter.setRenderHint(QPainter::Antialiasing);
            for (qsizetype i = 0; i < penTypeCatalog().size(); ++i) {
                Pen pen;
                pen.type = penTypeCatalog()[i].id;
                pen.ink = inksFor(penTypeCatalog()[i]).value(1);
                pen.barrel = barrelCatalog()[i % barrelCatalog().size()].id;
                if (withBeads)
                    for (const BeadSpec& bead : mixedBeads())
                        pen.beads.append(bead.id);
                painter.save();
                painter.translate(0, double(i) * row.height());
                paintPenArtwork(painter, row, pen, dark, 0.0, false, ratio);
                painter.restore();
            }
            painter.end();
            save(image, folder + u"/types-%1-%2.png"_s.arg(withBeads ? u"beads"_s : u"bare"_s,
                                                           dark ? u"dark"_s : u"light"_s));
        }
    }
}

void charms(const QString& folder) {
    for (const bool dark : {false, true}) {
        QImage image = canvas(QSizeF(5 * 120, 120), dark);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        for (qsizetype i = 0; i < charmKinds().size(); ++i) {
            painter.save();
            painter.translate(double(i) * 120, 0);
            paintCharmIcon(painter, QSizeF(120, 120), charmKinds()[i], dark, ratio);
            painter.restore();
        }
        painter.end();
        save(image, folder + u"/charms-%1.png"_s.arg(dark ? u"dark"_s : u"light"_s));
    }
}

void stages(const QString& folder) {
    for (const double width : {559.0, 700.0}) {
        const StageFit fit = fitStage(width);
        QImage image = canvas(QSizeF(width, fit.height), false);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.save();
        fit.layout.apply(painter);
        DrawPenOptions options;
        options.beads = mixedBeads();
        options.type = PenType::gel;
        options.angle = fit.layout.angle;
        options.selected = 1;
        options.pixelScale = pixelScale(fit.layout.scale, ratio);
        drawPen(painter, options);
        painter.restore();
        drawCharm(painter, charmAnchor(fit.layout), fit.layout.scale, 0, u"bunny"_s,
                  penPalette(false), options.pixelScale);
        painter.end();
        save(image, folder + u"/stage-%1.png"_s.arg(int(width)));
    }
}

void wallpapers(const QString& folder) {
    const QStringList backgrounds{u"#FFF8F0"_s, u"#FFE9F0"_s, u"#EAF3FA"_s, u"#EAF6EF"_s,
                                  u"#FFF3D6"_s, u"#4A3830"_s, u"#2B211C"_s};
    WallpaperCanvas wallpaper;
    for (const BeadSpec& bead : mixedBeads())
        wallpaper.pen.beads.append(bead.id);
    wallpaper.pen.charm = u"bear"_s;
    for (const QString& background : backgrounds) {
        wallpaper.bgHex = background;
        if (const auto image = renderWallpaper(wallpaper, 1280, 800, 1))
            save(*image, folder + u"/wallpaper-%1.png"_s.arg(background.mid(1)));
    }
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: tessaro-gallery <folder>\n");
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    if (!QDir().mkpath(folder)) {
        std::fprintf(stderr, "could not make %s\n", argv[1]);
        return 1;
    }
    beadSheets(folder);
    penTypes(folder);
    charms(folder);
    stages(folder);
    wallpapers(folder);
    return 0;
}
