#include "support/scriptedservices.h"
#include "ui/common/desktophelpers.h"

#include <QApplication>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>

using namespace tessaro;
using namespace tessaro::test;
using namespace Qt::StringLiterals;

namespace {

// Where the share menu is offered from.
enum class From { view, activeWindow, nowhere };

QImage smallImage() {
    QImage image(3, 2, QImage::Format_ARGB32);
    image.fill(QColor(255, 182, 201));
    image.setPixelColor(2, 1, QColor(10, 20, 30, 128));
    return image;
}

} // namespace

class TestDesktopHelpers : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void saveTextFile_data() {
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<SaveOutcome>("outcome");
        QTest::newRow("cancelled") << QString() << SaveOutcome::cancelled;
        // Tests run as root: a folder that is a regular file stops any write.
        QTest::newRow("cannot be written") << u"blocker/quotes.txt"_s << SaveOutcome::failed;
        QTest::newRow("written") << u"quotes.txt"_s << SaveOutcome::saved;
        QTest::newRow("replaced") << u"blocker"_s << SaveOutcome::saved;
    }

    void saveTextFile() {
        QFETCH(QString, chosen);
        QFETCH(SaveOutcome, outcome);
        QTemporaryDir folder;
        QFile blocker(folder.filePath(u"blocker"_s));
        QVERIFY(blocker.open(QIODevice::WriteOnly) && blocker.write("old") == 3);
        blocker.close();
        ScriptedDialogs dialogs;
        if (!chosen.isEmpty())
            dialogs.answer = folder.filePath(chosen);
        const QString text = u"„Grüße“ — 🐝\nzweite Zeile"_s;

        QCOMPARE(tessaro::saveTextFile(u"tessaro-quotes.txt"_s, text, dialogs), outcome);
        QCOMPARE(dialogs.asked, QStringList{u"tessaro-quotes.txt text/plain"_s});
        QFile written(dialogs.answer.value_or(QString()));
        if (outcome == SaveOutcome::saved)
            QVERIFY(written.open(QIODevice::ReadOnly) && written.readAll() == text.toUtf8());
    }

    void shareItems_data() {
        QTest::addColumn<int>("images");
        QTest::addColumn<From>("from");
        QTest::addColumn<bool>("shown");
        QTest::newRow("nothing to share") << 0 << From::view << false;
        QTest::newRow("no window") << 1 << From::nowhere << false;
        QTest::newRow("two images") << 2 << From::view << true;
        QTest::newRow("the active window") << 1 << From::activeWindow << true;
    }

    void shareItems() {
        QFETCH(int, images);
        QFETCH(From, from);
        QFETCH(bool, shown);
        QWidget window;
        window.setGeometry(100, 50, 600, 400);
        auto* inside = new QWidget(&window);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QApplication::setActiveWindow(from == From::activeWindow ? &window : nullptr);
        RecordingShareMenu menu;
        const QList<QImage> items(images, smallImage());

        tessaro::shareItems(items, menu, from == From::view ? inside : nullptr);
        QCOMPARE(menu.shared, shown ? QList<QList<QImage>>{items} : QList<QList<QImage>>{});
        if (!shown)
            return;
        QCOMPARE(menu.from, &window);
        QVERIFY(window.frameGeometry().contains(menu.at));
    }
};

QTEST_MAIN(TestDesktopHelpers)
#include "tst_desktophelpers.moc"
