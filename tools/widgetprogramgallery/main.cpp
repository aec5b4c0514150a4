// Renders the widget program's card to PNG files, to look at:
//   tessaro-widget-program-gallery <folder> [scale]
// English and German snapshots, light and dark, with and without quotes and
// a drawing, over a stand-in desktop. Built with the project, never installed.
#include "widget/widgetwindow.h"

#include <QApplication>
#include <QBuffer>
#include <QDir>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QSettings>
#include <QTemporaryDir>

#include <cmath>
#include <cstdio>
#include <numbers>

using namespace tessaro;
using namespace Qt::StringLiterals;

namespace {

// A page from another device: a few strokes on paper, as its thumbnail.
QByteArray doodle() {
    QImage page(320, 448, QImage::Format_RGB32);
    page.fill(QColor(u"#FFFDF9"_s));
    QPainter p(&page);
    p.setRenderHint(QPainter::Antialiasing);
    const auto stroke = [&p](const char16_t* colour, double width) {
        p.setPen(QPen(QColor(QString::fromUtf16(colour)), width, Qt::SolidLine, Qt::RoundCap,
                      Qt::RoundJoin));
        p.setBrush(Qt::NoBrush);
    };
    stroke(u"#F2C14E", 9);
    p.drawEllipse(QPointF(232, 96), 40, 40);
    for (int i = 0; i < 8; ++i) {
        const double a = i * std::numbers::pi / 4;
        p.drawLine(QPointF(232 + 56 * std::cos(a), 96 + 56 * std::sin(a)),
                   QPointF(232 + 72 * std::cos(a), 96 + 72 * std::sin(a)));
    }
    stroke(u"#5FC2A0", 8);
    p.drawLine(QPointF(110, 380), QPointF(104, 236));
    stroke(u"#F4A0B9", 10);
    for (int i = 0; i < 5; ++i) {
        const double a = i * 2 * std::numbers::pi / 5 - std::numbers::pi / 2;
        p.drawEllipse(QPointF(104 + 30 * std::cos(a), 206 + 30 * std::sin(a)), 18, 18);
    }
    stroke(u"#6FB3E0", 7);
    QPainterPath wave(QPointF(30, 410));
    for (int i = 0; i < 4; ++i)
        wave.cubicTo(QPointF(60 + 70 * i, 380), QPointF(80 + 70 * i, 440),
                     QPointF(100 + 70 * i, 410));
    p.drawPath(wave);
    p.end();
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    page.save(&buffer, "png");
    return bytes;
}

struct Content {
    const char* name;
    bool quotes;
    bool drawing;
};

PenSnapshot snapshotFor(const QString& language, const Content& content) {
    PenSnapshot snapshot;
    if (content.quotes || content.drawing) {
        snapshot.beads = {u"cherry"_s,    u"heart"_s,    u"pearl-pink"_s,
                          u"jelly-sky"_s, u"letter-L"_s, u"bear"_s};
        snapshot.barrel = u"sky"_s;
        snapshot.type = u"gel"_s;
        snapshot.ink = u"#B9AEE3"_s;
    }
    if (content.quotes) {
        snapshot.quotes =
            language == u"de"_s
                ? QStringList{u"Jede Perle erzählt eine kleine Geschichte, und zusammen werden sie "
                              u"zu einem Stift, der ganz dir gehört."_s,
                              u"Donaudampfschifffahrtsgesellschaftskapitänsmütze\nund ein Zeilenumbruch"_s,
                              u"Morgen wieder."_s}
                : QStringList{u"Every bead tells a small story, and together they make a pen that "
                              u"is entirely yours, from tip to charm."_s,
                              u"Write it down\nbefore it flies away."_s, u"Tomorrow, again."_s};
    }
    if (content.drawing)
        snapshot.drawingPNG = doodle();
    return snapshot;
}

QPalette desktopPalette(bool dark) {
    QPalette palette;
    palette.setColor(QPalette::Window, dark ? QColor(u"#202124"_s) : QColor(u"#F3F3F3"_s));
    palette.setColor(QPalette::WindowText, dark ? Qt::white : Qt::black);
    return palette;
}

// The card over a plain stand-in for the desktop's wallpaper, so that its
// translucency and shadow show.
QImage onDesktop(WidgetWindow& window, bool dark) {
    const QImage card = window.grab().toImage();
    const double ratio = card.devicePixelRatio();
    const QSize points = window.size() + QSize(48, 48);
    QImage desktop((QSizeF(points) * ratio).toSize(), QImage::Format_ARGB32_Premultiplied);
    desktop.setDevicePixelRatio(ratio);
    QPainter p(&desktop);
    QLinearGradient wallpaper(0, 0, points.width(), points.height());
    wallpaper.setColorAt(0, dark ? QColor(u"#1B2838"_s) : QColor(u"#BFD8E8"_s));
    wallpaper.setColorAt(1, dark ? QColor(u"#3A2946"_s) : QColor(u"#E9D5E4"_s));
    p.fillRect(QRect(QPoint(), points), wallpaper);
    p.drawImage(QPointF(24, 24), card);
    p.end();
    return desktop;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: tessaro-widget-program-gallery <folder> [scale]\n");
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    const QByteArray scale = argc > 2 ? QByteArray(argv[2]) : QByteArray("1");
    qputenv("QT_SCALE_FACTOR", scale);
    QApplication app(argc, argv);
    const QString folder = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(folder);

    const Content contents[] = {{"full", true, true},
                                {"quotes", true, false},
                                {"drawing", false, true},
                                {"empty", false, false}};
    int failures = 0;
    for (const QString& language : {u"en"_s, u"de"_s}) {
        for (const bool dark : {false, true}) {
            QApplication::setPalette(desktopPalette(dark));
            for (const Content& content : contents) {
                QTemporaryDir home;
                const QString group = home.filePath(u"group.conf"_s);
                {
                    QSettings settings(group, QSettings::IniFormat);
                    settings.setValue(u"app.language"_s, language);
                    settings.setValue(snapshotKey, snapshotFor(language, content).toJson());
                }
                WidgetWindow window({group, home.filePath(u"widget.conf"_s), [] { return true; }});
                window.show();
                const QString path = u"%1/widget-%2-%3-%4@%5x.png"_s.arg(
                    folder, language, dark ? u"dark"_s : u"light"_s,
                    QString::fromLatin1(content.name), QString::fromLatin1(scale));
                if (!onDesktop(window, dark).save(path)) {
                    std::fprintf(stderr, "could not write %s\n", qPrintable(path));
                    ++failures;
                }
            }
        }
    }
    return failures == 0 ? 0 : 1;
}
