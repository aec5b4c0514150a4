#include "widget/widgetwindow.h"

#include <QApplication>
#include <QBuffer>
#include <QDir>
#include <QMenu>
#include <QSaveFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace tessaro;
using namespace Qt::StringLiterals;

namespace {

QByteArray png(QSize size, QColor colour = QColor(u"#6FB3E0"_s)) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "png");
    return bytes;
}

// A PNG of exactly `bytes`: readers stop at its end, whatever follows.
QByteArray pngOfSize(qsizetype bytes) {
    return png(QSize(80, 112)).leftJustified(bytes, '\0');
}

} // namespace

class TestWidgetWindow : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_home;
    int m_opened = 0;

    QString groupFile() const { return m_home->filePath(u"config/group.conf"_s); }

    WidgetWindow::Services services(bool canOpen = true) {
        WidgetWindow::Services services{groupFile(), m_home->filePath(u"widget.conf"_s), {}};
        if (canOpen)
            services.openTessaro = [this] { return ++m_opened; };
        return services;
    }

    // Writes the group file as the program does: another process's settings,
    // put in place by replacing the file.
    bool writeGroup(const QVariant& snapshot, const QString& language = u"en"_s) {
        const QString scratch = m_home->filePath(u"scratch.conf"_s);
        QFile::remove(scratch);
        {
            QSettings other(scratch, QSettings::IniFormat);
            other.setValue(u"app.language"_s, language);
            other.setValue(snapshotKey, snapshot);
        }
        QFile written(scratch);
        QDir().mkpath(QFileInfo(groupFile()).absolutePath());
        QSaveFile file(groupFile());
        return written.open(QIODevice::ReadOnly) && file.open(QIODevice::WriteOnly) &&
               file.write(written.readAll()) > 0 && file.commit();
    }

    static bool idle(const QObject& window) {
        const auto timers = window.findChildren<QTimer*>();
        return std::none_of(timers.cbegin(), timers.cend(),
                            [](const QTimer* timer) { return timer->isActive(); });
    }

private Q_SLOTS:
    void init() {
        m_home = std::make_unique<QTemporaryDir>();
        m_opened = 0;
    }

    // The card starts before the program has written anything, shows each
    // snapshot the program writes, and settles without a timer running.
    void showsEachSnapshotWritten() {
        WidgetWindow window(services());
        window.show();
        QCOMPARE(window.snapshot(), PenSnapshot());
        QVERIFY(window.card().quotes.isEmpty());
        QVERIFY(!window.card().hint.isEmpty());

        PenSnapshot full;
        full.beads = {u"cherry"_s, u"heart"_s};
        full.quotes = {u"Keep going"_s, u"Short"_s};
        full.drawingPNG = png(QSize(80, 112));
        QVERIFY(writeGroup(full.toJson()));
        QTRY_COMPARE(window.snapshot(), full);
        QCOMPARE(window.card().quotes.size(), 2);
        QVERIFY(window.showsDrawing());
        QVERIFY(window.card().hint.isEmpty());
        QCOMPARE(window.size(), window.card().size.toSize());

        // Replaced again: the new file is watched as well as the first was.
        PenSnapshot bare;
        bare.type = u"gel"_s;
        QVERIFY(writeGroup(bare.toJson()));
        QTRY_COMPARE(window.snapshot(), bare);
        QVERIFY(!window.showsDrawing());
        QVERIFY(!window.card().hint.isEmpty());
        QTRY_VERIFY(idle(window));
    }

    // Whatever the group file holds, the card shows what it can and the rest
    // as it would for a fresh start. (How a damaged snapshot reads is the
    // snapshot's own test; these are what the window adds.)
    void damageFallsBackToDefaults_data() {
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<QString>("type");
        QTest::addColumn<bool>("drawn");
        const auto withDrawing = [](const QByteArray& drawing) {
            PenSnapshot snapshot;
            snapshot.type = u"brush"_s;
            snapshot.drawingPNG = drawing;
            return QVariant(snapshot.toJson());
        };
        QTest::newRow("a number") << QVariant(7) << u"pencil"_s << false;
        QTest::newRow("drawing not a PNG") << withDrawing("GIF89a") << u"brush"_s << false;
        QTest::newRow("drawing too large to unpack")
            << withDrawing(png(QSize(2500, 2500))) << u"brush"_s << false;
        QTest::newRow("drawing at the limit")
            << withDrawing(pngOfSize(snapshotDrawingBytes)) << u"brush"_s << true;
    }
    void damageFallsBackToDefaults() {
        QFETCH(QVariant, stored);
        QFETCH(QString, type);
        QFETCH(bool, drawn);
        QVERIFY(writeGroup(stored));
        WidgetWindow window(services());
        QCOMPARE(window.snapshot().type, type);
        QCOMPARE(window.showsDrawing(), drawn);
        QCOMPARE(window.card().drawing.isEmpty(), !drawn);
        QVERIFY(!window.grab().isNull());
    }

    void unreadableFileIsAFreshStart() {
        QVERIFY(QDir().mkpath(m_home->filePath(u"config"_s)));
        QSaveFile file(groupFile());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(20 * maxSnapshotBytes, '['));
        QVERIFY(file.commit());
        WidgetWindow window(services());
        QCOMPARE(window.snapshot(), PenSnapshot());
    }

    // Double-click and the menu open Tessaro; a dragged card stays where it
    // was put, for the next start too.
    void openAndDragTheCard() {
        QPoint put;
        {
            WidgetWindow window(services());
            window.show();
            QVERIFY(QTest::qWaitForWindowExposed(&window));
            QTest::mouseDClick(&window, Qt::LeftButton, {}, QPoint(60, 60));
            QCOMPARE(m_opened, 1);
            QContextMenuEvent request(QContextMenuEvent::Mouse, QPoint(60, 60),
                                      window.mapToGlobal(QPoint(60, 60)));
            QApplication::sendEvent(&window, &request);
            auto* menu = window.findChild<QMenu*>();
            QTRY_VERIFY(menu->isVisible());
            QCOMPARE(menu->actions().first()->text(), u"Open Tessaro"_s);
            QTest::keyClick(menu, Qt::Key_Down);
            QTest::keyClick(menu, Qt::Key_Return);
            QCOMPARE(m_opened, 2);

            const QPoint start = window.pos();
            QTest::mousePress(&window, Qt::LeftButton, {}, QPoint(60, 60));
            QTest::mouseMove(&window, QPoint(20, 90));
            QCOMPARE(window.pos(), start + QPoint(-40, 30));
            QTest::mouseRelease(&window, Qt::LeftButton, {}, QPoint(20, 90));
            put = window.pos();
        }
        WidgetWindow again(services(false));
        QCOMPARE(again.pos(), put);
        QVERIFY(!again.findChild<QMenu*>()->actions().first()->isEnabled());
    }
};

QTEST_MAIN(TestWidgetWindow)
#include "tst_widgetwindow.moc"
