#include "l10n/localization.h"
#include "render/wallpapercanvas.h"
#include "support/files.h"
#include "support/scriptedservices.h"
#include "ui/common/candybutton.h"
#include "ui/common/ghostbutton.h"
#include "ui/wallpaper/wallpaperpreview.h"
#include "ui/wallpaper/wallpapersheet.h"
#include "ui/wallpaper/wallpaperswatch.h"

#include <QImageReader>
#include <QLabel>
#include <QTemporaryDir>
#include <QTest>

using namespace tessaro;
using namespace tessaro::test;
using namespace Qt::StringLiterals;

namespace {

// The sheet with scripted services; notes whether it was busy when the save
// location was asked for.
struct SheetWindow {
    ScriptedDialogs dialogs;
    RecordingShareMenu menu;
    WallpaperSheet sheet{Pen{}, dialogs, menu};
    bool askedWhileBusy = false;

    SheetWindow() {
        dialogs.onAsk = [this] { askedWhileBusy = sheet.isBusy(); };
        sheet.resize(720, 520);
        sheet.show();
        QVERIFY(QTest::qWaitForWindowExposed(&sheet));
    }

    void click(QAbstractButton* button) { QTest::mouseClick(button, Qt::LeftButton); }
    QStringList chosen() const {
        QStringList hexes;
        for (const WallpaperSwatch* swatch : sheet.swatches())
            if (swatch->isSelected())
                hexes.append(swatch->hex());
        return hexes;
    }
};

} // namespace

class TestWallpaperSheet : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void swatchChoosesAndClearsTheStatus() {
        SheetWindow w;
        QCOMPARE(w.chosen(), QStringList{u"#FFF8F0"_s});
        w.click(w.sheet.saveButton());
        QTRY_VERIFY(w.sheet.noteLabel()->isVisible());
        w.click(w.sheet.swatches()[5]);
        QCOMPARE(w.chosen(), QStringList{u"#4A3830"_s});
        QCOMPARE(w.sheet.preview()->canvas().bgHex, u"#4A3830"_s);
        QVERIFY(!w.sheet.noteLabel()->isVisible());
        // A second press keeps the choice.
        w.click(w.sheet.swatches()[5]);
        QCOMPARE(w.chosen(), QStringList{u"#4A3830"_s});
    }

    void saveOutcomes_data() {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QString>("noteKey");
        QTest::newRow("saved") << u"tessaro.png"_s << u"ios.wall.saved"_s;
        QTest::newRow("cancelled") << QString() << u"ios.wall.denied"_s;
        QTest::newRow("unwritable") << u"missing/tessaro.png"_s << u"ios.wall.failed"_s;
    }

    // A file already at the chosen place is replaced whole, or left as it
    // was when nothing is saved.
    void saveOutcomes() {
        QFETCH(QString, answer);
        QFETCH(QString, noteKey);
        QTemporaryDir folder;
        const QString written = folder.filePath(u"tessaro.png"_s);
        QVERIFY(test::writeFile(written, "old"));
        SheetWindow w;
        if (!answer.isEmpty())
            w.dialogs.answer = folder.filePath(answer);
        w.click(w.sheet.swatches()[6]);
        w.click(w.sheet.saveButton());
        // Rendered away from this thread: the window goes on meanwhile, with
        // both buttons waiting.
        QVERIFY(w.sheet.isBusy());
        QVERIFY(!w.sheet.saveButton()->isEnabled() && !w.sheet.shareButton()->isEnabled());
        QVERIFY(w.dialogs.asked.isEmpty());
        QTRY_VERIFY(!w.sheet.isBusy());
        QVERIFY(w.sheet.saveButton()->isEnabled() && w.sheet.shareButton()->isEnabled());
        QCOMPARE(w.dialogs.asked, QStringList{u"tessaro.png image/png"_s});
        QVERIFY(w.askedWhileBusy);
        QCOMPARE(w.sheet.note(), L(noteKey));

        const bool saved = noteKey == u"ios.wall.saved"_s;
        QCOMPARE(test::readFile(written) == "old", !saved);
        if (!saved)
            return;
        QImageReader reader(written);
        QCOMPARE(reader.format(), QByteArray("png"));
        const QImage image = reader.read();
        QCOMPARE(image.size(), w.sheet.exportPixelSize());
        QCOMPARE(image.pixelColor(0, 0), QColor(u"#2B211C"_s));
        QVERIFY(!image.hasAlphaChannel());
    }

    // A sheet closed while its picture is rendered takes no answer; Share
    // hands over one screen-sized picture.
    void closingWhileBusyIsSafe() {
        auto w = std::make_unique<SheetWindow>();
        w->click(w->sheet.saveButton());
        QVERIFY(w->sheet.isBusy());
        w.reset();
        // Pictures are made one after another: once the next sheet has its
        // picture, the closed one's arrived before it, for no one.
        SheetWindow next;
        next.click(next.sheet.shareButton());
        QVERIFY(next.sheet.isBusy());
        QTRY_VERIFY(!next.sheet.isBusy());
        QVERIFY(next.dialogs.asked.isEmpty());
        QCOMPARE(next.menu.shared.size(), 1);
        QCOMPARE(next.menu.shared[0].size(), 1);
        QCOMPARE(next.menu.shared[0][0].size(), next.sheet.exportPixelSize());
        QCOMPARE(next.sheet.note(), std::nullopt);
    }
};

QTEST_MAIN(TestWallpaperSheet)
#include "tst_wallpapersheet.moc"
