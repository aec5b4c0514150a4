#include "drawings/drawingcloudwatcher.h"

#include <QDir>
#include <QFile>
#include <QFileSystemWatcher>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace tessaro;
using namespace Qt::StringLiterals;

namespace {

bool touchFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write("x") == 1;
}

} // namespace

class TestDrawingCloudWatcher : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_root;
    std::unique_ptr<DrawingCloudWatcher> m_watcher;
    int m_calls = 0;

    QString folder() const { return m_root->filePath(u"Drawings"_s); }
    QTimer* debounce() const { return m_watcher->findChild<QTimer*>(); }

private slots:
    void init() {
        m_root = std::make_unique<QTemporaryDir>();
        QVERIFY(QDir(m_root->path()).mkdir(u"Drawings"_s));
        m_watcher = std::make_unique<DrawingCloudWatcher>();
        m_calls = 0;
        m_watcher->setOnChange([this] { ++m_calls; });
    }

    void cleanup() { m_watcher.reset(); }

    void staysIdleWithoutAFolder() {
        m_watcher->start(std::nullopt);
        m_watcher->start(QString());
        QVERIFY(!m_watcher->isWatching());
        QCoreApplication::processEvents();
        QCOMPARE(m_calls, 0);
        m_watcher->start(folder());
        QVERIFY(m_watcher->isWatching());
        QTRY_COMPARE(m_calls, 1);
    }

    void firstScanIsReportedOnceFromTheEventLoop() {
        m_watcher->start(folder());
        QCOMPARE(m_calls, 0);
        QTRY_COMPARE(m_calls, 1);
        QVERIFY(!debounce()->isActive());
    }

    void secondStartChangesNothing() {
        m_watcher->start(folder());
        m_watcher->start(m_root->path());
        QTRY_COMPARE(m_calls, 1);
        const auto watchers = m_watcher->findChildren<QFileSystemWatcher*>();
        QCOMPARE(watchers.size(), 1);
        QCOMPARE(watchers.first()->directories(), QStringList({folder()}));
    }

    void burstIsReportedOnceThenIdle() {
        m_watcher->start(folder());
        QTRY_COMPARE(m_calls, 1);
        for (int i = 0; i < 5; ++i)
            QVERIFY(touchFile(folder() + u"/p%1.pkdrawing"_s.arg(i)));
        QVERIFY(QFile::remove(folder() + u"/p0.pkdrawing"_s));
        QTRY_VERIFY(debounce()->isActive());
        QCOMPARE(m_calls, 1);
        QTRY_COMPARE(m_calls, 2);
        QVERIFY(!debounce()->isActive());
    }

    void longBurstIsReportedWhileItLasts() {
        m_watcher->start(folder());
        QTRY_COMPARE(m_calls, 1);
        QElapsedTimer elapsed;
        elapsed.start();
        for (int i = 0; elapsed.elapsed() < DrawingCloudWatcher::maxBurstMs + 500; ++i) {
            QVERIFY(touchFile(folder() + u"/p%1.pkdrawing"_s.arg(i)));
            QTest::qWait(DrawingCloudWatcher::debounceMs / 4);
        }
        QVERIFY(m_calls >= 2);
    }

    void watchesAFolderPutBackUnderItsName() {
        m_watcher->start(folder());
        QTRY_COMPARE(m_calls, 1);
        QVERIFY(QDir(folder()).removeRecursively());
        QVERIFY(QDir(m_root->path()).mkdir(u"Drawings"_s));
        QTRY_COMPARE(m_calls, 2);
        QVERIFY(touchFile(folder() + u"/new.pkdrawing"_s));
        QTRY_COMPARE(m_calls, 3);
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
