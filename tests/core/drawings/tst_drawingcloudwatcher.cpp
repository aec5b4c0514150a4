#include "drawings/drawingcloudwatcher.h"

#include <QDir>
#include <QFile>
#include <QFileSystemWatcher>
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
    QTimer* debounce() const { return m_watcher->findChild<QTimer*>(); }
    bool touch(int i) const {
        QFile file(folder() + u"/p%1.pkdrawing"_s.arg(i));
        return file.open(QIODevice::WriteOnly) && file.write("x") == 1;
    }

private Q_SLOTS:
    void init() {
        m_root = std::make_unique<QTemporaryDir>();
        QVERIFY(QDir(m_root->path()).mkdir(u"Drawings"_s));
        m_watcher = std::make_unique<DrawingCloudWatcher>();
        m_calls = 0;
        m_watcher->setOnChange([this] { ++m_calls; });
    }

    void firstScanIsReportedOnceFromTheEventLoop() {
        m_watcher->start(std::nullopt);
        m_watcher->start(QString());
        QVERIFY(!m_watcher->isWatching());
        m_watcher->start(folder());
        m_watcher->start(m_root->path());
        QCOMPARE(m_calls, 0);
        QTRY_COMPARE(m_calls, 1);
        QVERIFY(!debounce()->isActive());
        QCOMPARE(m_watcher->findChild<QFileSystemWatcher*>()->directories(),
                 QStringList({folder()}));
    }

    void burstIsReportedOnceThenIdle() {
        m_watcher->start(folder());
        QTRY_COMPARE(m_calls, 1);
        for (int i = 0; i < 5; ++i)
            QVERIFY(touch(i));
        QVERIFY(QFile::remove(folder() + u"/p0.pkdrawing"_s));
        QTRY_VERIFY(debounce()->isActive());
        QCOMPARE(m_calls, 1);
        QTRY_COMPARE(m_calls, 2);
        QVERIFY(!debounce()->isActive());
        // A folder put back under its name is watched again.
        QVERIFY(QDir(folder()).removeRecursively() && QDir(m_root->path()).mkdir(u"Drawings"_s));
        QTRY_COMPARE(m_calls, 3);
        QVERIFY(touch(0));
        QTRY_COMPARE(m_calls, 4);
    }

    void longBurstIsReportedWhileItLasts() {
        m_watcher->start(folder());
        QTRY_COMPARE(m_calls, 1);
        QElapsedTimer elapsed;
        elapsed.start();
        for (int i = 0; elapsed.elapsed() < DrawingCloudWatcher::maxBurstMs + 500; ++i) {
            QVERIFY(touch(i));
            QTest::qWait(DrawingCloudWatcher::debounceMs / 4);
        }
        QVERIFY(m_calls >= 2);
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
