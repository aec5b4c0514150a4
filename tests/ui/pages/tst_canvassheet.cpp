#include "l10n/localization.h"
#include "render/pages/pageformat.h"
#include "support/pagebytes.h"
#include "support/scratchstore.h"
#include "support/scriptedservices.h"
#include "ui/common/candybutton.h"
#include "ui/common/ghostbutton.h"
#include "ui/common/plainbutton.h"
#include "ui/pages/canvassheet.h"
#include "ui/pages/pagefiles.h"
#include "ui/pages/pagetile.h"
#include "ui/pages/pageview.h"

#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QTest>

#include <sys/resource.h>

using namespace tessaro;
using namespace tessaro::test;
using namespace Qt::StringLiterals;

namespace {

QByteArray colourImage(const char* format) {
    QImage image(300, 420, QImage::Format_RGB32);
    image.fill(QColor(40, 90, 200));
    return imageBytes(image, format);
}

QByteArray strokes(int count, int points) {
    StrokePage page;
    for (int s = 0; s < count; ++s) {
        PageStroke stroke;
        stroke.width = 4;
        for (int i = 0; i < points; ++i)
            stroke.points.push_back({float(100 + (i % 800)), float(100 + s % 1200), 1});
        page.strokes.push_back(stroke);
    }
    return strokePageJson(page);
}

// Pages by id, as if read from the drawing files.
class FakePageFiles final : public PageFiles {
public:
    QHash<QString, QByteArray> pages;
    bool cloud = true;

    Reader reader(const QString& id) const override {
        std::optional<QByteArray> bytes;
        if (pages.contains(id))
            bytes = pages.value(id);
        return [bytes] { return bytes; };
    }
    bool cloudAvailable() const override { return cloud; }
};

Drawing record(const QString& id, Date updated, QSizeF size = {1000, 1400}) {
    Drawing drawing;
    drawing.id = id;
    drawing.createdAt = updated;
    drawing.updatedAt = updated;
    drawing.pageSize = size;
    return drawing;
}

long peakMegabytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024;
}

// A sheet over a scratch store whose records are `drawings`, newest first.
struct Sheet {
    test::ScratchStore scratch;
    FakePageFiles files;
    ScriptedDialogs dialogs;
    RecordingShareMenu share;
    std::unique_ptr<CanvasSheet> sheet;

    explicit Sheet(const QList<Drawing>& drawings, bool cloud = true) {
        files.cloud = cloud;
        scratch.store.setDrawings(normalizeDrawings(drawings));
        sheet = std::make_unique<CanvasSheet>(scratch.store, CanvasServices{dialogs, share, files});
        sheet->resize(760, 600);
        sheet->show();
    }

    PageTile* tile(const QString& id) const {
        for (PageTile* tile : sheet->tiles())
            if (tile->drawingID() == id && tile->isVisible())
                return tile;
        return nullptr;
    }
    QStringList ids() const {
        QStringList ids;
        for (PageTile* tile : sheet->tiles())
            ids.append(tile->drawingID());
        return ids;
    }
    void pressDelete(const QString& id) const {
        PageTile* shown = tile(id);
        QVERIFY2(shown, qPrintable(id));
        QTest::mouseClick(shown->deleteButton(), Qt::LeftButton);
    }
    PageView* openByClick(const QString& id) const {
        PageTile* shown = tile(id);
        if (!shown)
            return nullptr;
        QTest::mouseClick(shown, Qt::LeftButton, {}, QPoint(30, 30));
        return sheet->pageView();
    }
};

} // namespace

class TestCanvasSheet : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // First, so that the peak memory before it is the baseline: a hostile
    // page must not raise it by more than a page's own picture.
    void hostilePagesShowThePlaceholder_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QSizeF>("size");
        QImage bomb(7000, 7000, QImage::Format_Mono);
        bomb.fill(0);
        const QByteArray bombBytes = imageBytes(bomb, "png");
        QVERIFY(bombBytes.size() <= 40960);
        QTest::newRow("page size 1e308") << strokes(2, 10) << QSizeF(1e308, 1e308);
        QTest::newRow("image bomb") << bombBytes << QSizeF(1000, 1400);
        QTest::newRow("not a page") << QByteArray("hello") << QSizeF(1000, 1400);
    }

    void hostilePagesShowThePlaceholder() {
        QFETCH(QByteArray, bytes);
        QFETCH(QSizeF, size);
        const long before = peakMegabytes();
        Sheet w({record(u"bad"_s, 700000000, size)});
        w.files.pages[u"bad"_s] = bytes;
        PageView* view = w.openByClick(u"bad"_s);
        QVERIFY(view);
        QCOMPARE(w.sheet->openID(), std::optional(u"bad"_s));
        QTRY_VERIFY(!view->isLoading());
        QVERIFY(view->showsPlaceholder());
        QVERIFY(view->image().isNull());
        QVERIFY(!view->saveButton()->isEnabled());
        QVERIFY(!view->shareButton()->isEnabled());
        QVERIFY(!w.scratch.store.drawing(u"bad"_s)->thumbnailPNG);
        QVERIFY2(peakMegabytes() - before < 150,
                 qPrintable(QString::number(peakMegabytes() - before)));
    }

    // Pages arriving from another device join the grid, newest first; a
    // thumbnail in a record shows only when it is within bounds.
    void tilesFollowTheStore() {
        Sheet w({}, false);
        QVERIFY(w.sheet->showsEmptyState());
        QVERIFY(w.sheet->showsCloudHint());
        QImage small(229, 320, QImage::Format_RGB32);
        small.fill(Qt::white);
        QImage bomb(4000, 4000, QImage::Format_Mono);
        bomb.fill(0);
        QList<Drawing> drawings{record(u"a"_s, 700000001), record(u"c"_s, 700000003),
                                record(u"b"_s, 700000002)};
        drawings[0].thumbnailPNG = imageBytes(small, "png");
        drawings[1].thumbnailPNG = imageBytes(bomb, "png");
        w.scratch.store.setDrawings(normalizeDrawings(drawings));
        QCOMPARE(w.ids(), (QStringList{u"c"_s, u"b"_s, u"a"_s}));
        QVERIFY(!w.sheet->showsEmptyState());
        QVERIFY(w.tile(u"a"_s)->showsThumbnail());
        QVERIFY(!w.tile(u"c"_s)->showsThumbnail());
    }

    // A press arms, a press on another tile moves the arm, and the second
    // press on the armed tile deletes.
    void deleteAsksForASecondPress() {
        Sheet w({record(u"a"_s, 700000001), record(u"b"_s, 700000002), record(u"c"_s, 700000003)});
        QVERIFY(!w.sheet->showsCloudHint());
        w.pressDelete(u"a"_s);
        QCOMPARE(w.sheet->armedDelete(), std::optional(u"a"_s));
        w.pressDelete(u"b"_s);
        QCOMPARE(w.sheet->armedDelete(), std::optional(u"b"_s));
        QVERIFY(!w.tile(u"a"_s)->deleteButton()->isArmed());
        QVERIFY(w.tile(u"b"_s)->deleteButton()->isArmed());
        QCOMPARE(w.scratch.store.drawings().size(), 3);

        w.pressDelete(u"b"_s);
        QCOMPARE(w.sheet->armedDelete(), std::nullopt);
        QStringList records;
        for (const Drawing& drawing : w.scratch.store.drawings())
            records.append(drawing.id);
        QCOMPARE(records, (QStringList{u"c"_s, u"a"_s}));
        QTRY_COMPARE(w.ids(), records);
        for (PageTile* tile : w.sheet->tiles())
            QVERIFY(!tile->deleteButton()->isArmed());
        // Deletions are kept, so that other devices learn of them.
        QVERIFY(w.scratch.store.deleted().contains(u"b"_s));
    }

    // Each kind opens at twice the page's size, shares that picture and
    // leaves a thumbnail for its tile. Opened before its file is there, a
    // page shows the placeholder until it is opened again.
    void eachKindOpensAtScaleTwoAndGetsAThumbnail_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("strokes") << strokes(20, 50);
        QTest::newRow("svg")
            << svgRoot + " viewBox=\"0 0 10 14\"><circle cx=\"5\" cy=\"7\" r=\"4\"/></svg>";
        QTest::newRow("png") << colourImage("png");
    }

    void eachKindOpensAtScaleTwoAndGetsAThumbnail() {
        QFETCH(QByteArray, bytes);
        Sheet w({record(u"page"_s, 700000000)});
        PageView* view = w.openByClick(u"page"_s);
        QVERIFY(view);
        QTRY_VERIFY(!view->isLoading());
        QVERIFY(view->showsPlaceholder());
        QTest::mouseClick(view->backButton(), Qt::LeftButton);
        w.files.pages[u"page"_s] = bytes;
        view = w.openByClick(u"page"_s);
        QTRY_VERIFY(!view->isLoading());
        QCOMPARE(view->image().size(), QSize(2000, 2800));
        QVERIFY(!view->showsPlaceholder());
        QVERIFY(view->saveButton()->isEnabled());
        QTest::mouseClick(view->shareButton(), Qt::LeftButton);
        QCOMPARE(w.share.shared.size(), 1);
        QCOMPARE(w.share.shared.first().size(), 1);
        QCOMPARE(w.share.shared.first().first().size(), QSize(2000, 2800));
        const auto thumbnail = w.scratch.store.drawing(u"page"_s)->thumbnailPNG;
        QVERIFY(thumbnail);
        QVERIFY(thumbnail->size() <= 40960);
        // Back on the grid the tile shows it.
        QTest::mouseClick(view->backButton(), Qt::LeftButton);
        QCOMPARE(w.sheet->openID(), std::nullopt);
        QVERIFY(w.tile(u"page"_s)->showsThumbnail());
    }

    // Cancelled, refused, then saved: each says so, and leaves the button
    // ready for the next.
    void saveImageReportsEachOutcome() {
        Sheet w({record(u"page"_s, 700000000)});
        w.files.pages[u"page"_s] = colourImage("png");
        PageView* view = w.openByClick(u"page"_s);
        QTRY_VERIFY(!view->isLoading());
        const QDir folder(w.scratch.folder.path());
        const QList<std::pair<QString, QString>> steps{
            {QString(), QString()},
            {folder.filePath(u"missing/page.png"_s), L(u"ios.wall.failed"_s)},
            {folder.filePath(u"page.png"_s), L(u"ios.wall.saved"_s)}};
        int asked = 0;
        for (const auto& [path, note] : steps) {
            w.dialogs.answer = path.isEmpty() ? std::nullopt : std::optional(path);
            QTest::mouseClick(view->saveButton(), Qt::LeftButton);
            ++asked;
            QTRY_COMPARE(w.dialogs.asked.size(), asked);
            QTRY_VERIFY(!view->isBusy());
            QCOMPARE(view->note(), note);
            QVERIFY(view->saveButton()->isEnabled());
        }
        QCOMPARE(w.dialogs.asked.first(), u"tessaro.png image/png"_s);
        QVERIFY(!QFile::exists(folder.filePath(u"missing/page.png"_s)));
        QCOMPARE(QImageReader(folder.filePath(u"page.png"_s), "png").size(), QSize(2000, 2800));
    }
};

QTEST_MAIN(TestCanvasSheet)
#include "tst_canvassheet.moc"
