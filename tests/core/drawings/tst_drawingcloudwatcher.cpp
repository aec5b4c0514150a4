#include "drawings/drawingcloudwatcher.h"
#include "support/files.h"
#include "support/logcapture.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace tessaro;
using namespace Qt::StringLiterals;

class TestDrawingCloudWatcher : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_root;
    std::unique_ptr<DrawingCloudWatcher> m_watcher;
    int m_calls = 0;

    QString folder() const { return m_root->filePath(u"Drawings"_s); }

private Q_SLOTS:
    void init() {
        m_root = std::make_unique<QTemporaryDir>();
        QVERIFY(QDir(m_root->path()).mkdir(u"Drawings"_s));
        m_watcher = std::make_unique<DrawingCloudWatcher>();
        m_calls = 0;
        m_watcher->setOnChange([this] { ++m_calls; });
    }

    // A folder removed and put back (a sync engine re-creating it, a user
    // restoring it) is heard again, with nothing else happening meanwhile.
    void folderPutBackIsWatchedAgain_data() {
        QTest::addColumn<bool>("parentToo");
        QTest::newRow("folder") << false;
        QTest::newRow("folder and the one above") << true;
    }
    void folderPutBackIsWatchedAgain() {
        QFETCH(bool, parentToo);
        test::LogCapture log("tessaro.drawings");
        const QString removed = parentToo ? m_root->filePath(u"up"_s) : folder();
        QVERIFY(QDir(m_root->path()).mkpath(u"up/Drawings"_s));
        const QString watched = parentToo ? m_root->filePath(u"up/Drawings"_s) : folder();
        m_watcher->setRetryInterval(20);
        m_watcher->start(watched);
        QTRY_COMPARE(m_calls, 1);
        QVERIFY(QDir(removed).removeRecursively());
        QTRY_VERIFY(log.contains(u"is gone"_s));
        QTRY_VERIFY(!m_watcher->findChild<QTimer*>(u"debounce"_s)->isActive());
        const int before = m_calls;
        QVERIFY(QDir().mkpath(watched));
        QTRY_COMPARE(m_calls, before + 1);
        QVERIFY(log.contains(u"is back"_s));
        const auto timers = m_watcher->findChildren<QTimer*>();
        QTRY_VERIFY(
            std::none_of(timers.cbegin(), timers.cend(), [](QTimer* t) { return t->isActive(); }));
        QVERIFY(test::writeFile(watched + u"/later.pkdrawing"_s));
        QTRY_COMPARE(m_calls, before + 2);
    }

    // A burst of changes is reported once, after it. A sync engine's long
    // transfer does not hold every page back until it ends: each check below
    // writes a page, so that burst never pauses.
    void burstsAreReportedOnceButNotHeldBack() {
        m_watcher->start(folder());
        QTRY_COMPARE(m_calls, 1);
        for (int i = 0; i < 5; ++i)
            QVERIFY(test::writeFile(folder() + u"/p%1.pkdrawing"_s.arg(i)));
        QTRY_COMPARE(m_calls, 2);
        QTRY_VERIFY(!m_watcher->findChild<QTimer*>(u"debounce"_s)->isActive());
        QCOMPARE(m_calls, 2);
        int i = 0;
        QTRY_VERIFY_WITH_TIMEOUT(
            test::writeFile(folder() + u"/long%1.pkdrawing"_s.arg(++i)) && m_calls >= 3,
            DrawingCloudWatcher::maxBurstMs + 2000);
    }

    void destroyedWatcherNeverCallsBack() {
        m_watcher->start(folder());
        m_watcher.reset();
        QCoreApplication::processEvents();
        QCOMPARE(m_calls, 0);
    }
};

QTEST_GUILESS_MAIN(TestDrawingCloudWatcher)
#include "tst_drawingcloudwatcher.moc"
