#include "drawings/drawing.h"
#include "drawings/drawingfiles.h"
#include "support/files.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QScopeGuard>
#include <QSemaphore>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QThreadPool>

#include <atomic>
#include <sys/stat.h>

using namespace tessaro;
using namespace Qt::StringLiterals;
using test::readFile;

namespace {

constexpr qint64 t0 = 1'700'000'000;
const QString syncthingCopy = u"p.sync-conflict-20240501-101500-ABCDEFG.pkdrawing"_s;
const QString nextcloudCopy = u"p (conflicted copy 2024-05-01 101500).pkdrawing"_s;

// Dated a quarter second past `seconds`, so that lost nanoseconds show.
bool put(const QString& path, const QByteArray& bytes, qint64 seconds = t0) {
    return test::writeFile(path, bytes) && test::setModified(path, double(seconds) + 0.25);
}

qint64 modifiedNs(const QString& path) {
    struct stat status {};
    if (::lstat(QFile::encodeName(path).constData(), &status) != 0)
        return -1;
    return qint64(status.st_mtim.tv_sec) * 1'000'000'000 + status.st_mtim.tv_nsec;
}

QStringList ids(const char* spaced) {
    return QString::fromLatin1(spaced).split(u' ', Qt::SkipEmptyParts);
}

QStringList entries(const QString& folder) {
    return QDir(folder).entryList(QDir::Files | QDir::Hidden);
}

} // namespace

class TestDrawingFiles : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_root;
    QString m_local;
    QString m_cloud;

    QString local(QStringView id) const { return m_local + u'/' + id.toString() + u".pkdrawing"_s; }
    QString cloud(QStringView id) const { return m_cloud + u'/' + id.toString() + u".pkdrawing"_s; }
    QString outside(const QString& name) const { return m_root->filePath(name); }

private Q_SLOTS:
    void init() {
        m_root = std::make_unique<QTemporaryDir>();
        QVERIFY(m_root->isValid());
        m_local = m_root->filePath(u"data/Drawings"_s);
        m_cloud = m_root->filePath(u"cloud/Documents/Drawings"_s);
    }

    void listsPagesAndPlaceholdersOnly() {
        DrawingFiles files(m_local, m_cloud);
        // An empty name would put pages at the root of the file system.
        DrawingFiles noCloud(m_local, QString());
        QCOMPARE(noCloud.cloudDir(), std::nullopt);
        QVERIFY(put(local(u"x"), "s"));
        QVERIFY(!noCloud.push(u"x"_s) && !noCloud.pull(u"x"_s));
        QCOMPARE(noCloud.sync(), QStringList());
        for (const QString& name :
             {u"x.pkdrawing"_s, u".y.pkdrawing.icloud"_s, u"notes.txt"_s, u".pkdrawing"_s,
              u"a b.pkdrawing"_s, syncthingCopy, nextcloudCopy, u"w.pkdrawing.partial"_s,
              u".syncthing.v.pkdrawing.tmp"_s, u".u.pkdrawing.tmp-abc123"_s, u".icloud"_s})
            QVERIFY(put(m_local + u'/' + name, "s"));
        QCOMPARE(files.listIDs(m_local), ids("x y"));
        QCOMPARE(files.listIDs(outside(u"missing"_s)), QStringList());
        QVERIFY(put(cloud(u"x"), "x") && put(cloud(u"c"), "c"));
        QVERIFY(put(m_cloud + u"/.d.pkdrawing.icloud"_s, ""));
        QCOMPARE(files.unrecordedIDs({u"x"_s}), ids("c d y"));
    }

    void localFileIsPreferredAndNewerFilesAreCopiedAcross() {
        DrawingFiles files(m_local, m_cloud);
        QVERIFY(put(local(u"a"), "local") && put(cloud(u"a"), "cloud", t0 + 5));
        QVERIFY(put(cloud(u"b"), "cloud b", t0 + 60));
        QVERIFY(put(m_cloud + u"/.c.pkdrawing.icloud"_s, ""));
        QVERIFY(put(local(u"e"), "") && put(cloud(u"e"), "cloud e"));
        QCOMPARE(files.modified(u"a"_s), dateFromUnix(double(t0) + 0.25));
        QCOMPARE(files.modified(u"b"_s), dateFromUnix(double(t0 + 60) + 0.25));
        QCOMPARE(files.read(u"a"_s), QByteArray("local"));
        QCOMPARE(files.read(u"b"_s), QByteArray("cloud b"));
        QCOMPARE(modifiedNs(local(u"b")), modifiedNs(cloud(u"b")));
        QCOMPARE(files.read(u"c"_s), std::nullopt);
        QVERIFY(!QFileInfo::exists(local(u"c")));
        // An empty local file is no page: the cloud's is read and kept.
        QCOMPARE(files.read(u"e"_s), QByteArray("cloud e"));
        QCOMPARE(readFile(local(u"e")), "cloud e");

        QVERIFY(put(local(u"up"), "up new", t0 + 10) && put(cloud(u"up"), "up old"));
        QVERIFY(put(local(u"down"), "down old") && put(cloud(u"down"), "down new", t0 + 10));
        QVERIFY(put(local(u"mine"), "m") && put(cloud(u"theirs"), "t"));
        QVERIFY(put(local(u"tie"), "mine") && put(cloud(u"tie"), "theirs"));
        QVERIFY(files.push(u"up"_s) && files.pull(u"down"_s));
        QVERIFY(!files.push(u"up"_s) && !files.pull(u"up"_s) && !files.push(u"tie"_s));
        QCOMPARE(files.sync(), ids("a mine theirs"));
        QCOMPARE(readFile(local(u"a")), "cloud");
        QCOMPARE(readFile(cloud(u"up")), "up new");
        QCOMPARE(modifiedNs(cloud(u"up")), (t0 + 10) * 1'000'000'000 + 250'000'000);
        QCOMPARE(readFile(local(u"down")), "down new");
        QCOMPARE(readFile(cloud(u"mine")) + readFile(local(u"theirs")), "mt");
        // Equal dates: neither side wins.
        QCOMPARE(readFile(local(u"tie")) + readFile(cloud(u"tie")), "minetheirs");
        QCOMPARE(files.sync(), QStringList());
    }

    // A failed or unfinished transfer elsewhere leaves a newer empty file;
    // it must not wipe the page on every device.
    void emptyFileNeverReplacesAPage_data() {
        QTest::addColumn<QString>("how");
        QTest::addColumn<bool>("emptyInCloud");
        QTest::newRow("sync down") << u"sync"_s << true;
        QTest::newRow("sync up") << u"sync"_s << false;
        QTest::newRow("pull") << u"pull"_s << true;
        QTest::newRow("push") << u"push"_s << false;
        QTest::newRow("conflict copy") << u"copy"_s << true;
    }
    void emptyFileNeverReplacesAPage() {
        QFETCH(QString, how);
        QFETCH(bool, emptyInCloud);
        DrawingFiles files(m_local, m_cloud);
        const QString full = emptyInCloud ? local(u"p") : cloud(u"p");
        const QString empty = emptyInCloud ? cloud(u"p") : local(u"p");
        QVERIFY(put(full, "strokes"));
        if (how == u"copy"_s)
            QVERIFY(put(cloud(u"p"), "strokes") &&
                    put(m_cloud + u'/' + syncthingCopy, "", t0 + 10));
        else
            QVERIFY(put(empty, "", t0 + 10));
        if (how == u"pull"_s)
            QVERIFY(!files.pull(u"p"_s));
        else if (how == u"push"_s)
            QVERIFY(!files.push(u"p"_s));
        else
            files.sync();
        QCOMPARE(readFile(full), "strokes");
        if (how != u"pull"_s && how != u"push"_s) {
            // The page is mirrored over the empty file, whatever the dates.
            QCOMPARE(readFile(local(u"p")), "strokes");
            QCOMPARE(readFile(cloud(u"p")), "strokes");
        }
    }

    void deletedPagesAreRemovedNotMirrored() {
        DrawingFiles files(m_local, m_cloud);
        QVERIFY(put(local(u"a"), "a") && put(cloud(u"b"), "b"));
        QVERIFY(put(local(u"p"), "p", t0 + 1) && put(cloud(u"p"), "p"));
        QVERIFY(put(m_cloud + u'/' + nextcloudCopy, "p", t0 + 2));
        QVERIFY(put(local(u"r"), "r") && put(cloud(u"r"), "r"));
        QVERIFY(put(m_cloud + u'/' + QString(syncthingCopy).replace(0, 1, u'r'), "r"));
        QVERIFY(put(local(u"keep"), "k"));
        // What copies killed halfway left, long ago, goes too.
        for (const QString& folder : {m_local, m_cloud})
            QVERIFY(put(folder + u"/.k.pkdrawing.tmp-AbC123"_s, "", t0));
        files.remove(u"r"_s);
        QCOMPARE(files.sync({u"a"_s, u"b"_s, u"p"_s, u"never"_s}), ids("a b keep p"));
        QCOMPARE(entries(m_local), ids("keep.pkdrawing"));
        QCOMPARE(entries(m_cloud), ids("keep.pkdrawing"));
    }

    void conflictCopyFoldsIntoThePage_data() {
        QTest::addColumn<bool>("inCloud");
        QTest::addColumn<QString>("copyName");
        QTest::addColumn<qint64>("pageTime");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("newer copy wins") << true << syncthingCopy << t0 << QByteArray("copy");
        QTest::newRow("newer page stays") << true << syncthingCopy << t0 + 20 << QByteArray("page");
        QTest::newRow("equal dates keep page")
            << true << nextcloudCopy << t0 + 10 << QByteArray("page");
        QTest::newRow("copy without page")
            << true << nextcloudCopy << qint64(0) << QByteArray("copy");
        QTest::newRow("in the local folder") << false << syncthingCopy << t0 << QByteArray("copy");
    }
    void conflictCopyFoldsIntoThePage() {
        QFETCH(bool, inCloud);
        QFETCH(QString, copyName);
        QFETCH(qint64, pageTime);
        QFETCH(QByteArray, expected);
        DrawingFiles files(m_local, m_cloud);
        const QString folder = inCloud ? m_cloud : m_local;
        if (pageTime)
            QVERIFY(put(folder + u"/p.pkdrawing"_s, "page", pageTime));
        QVERIFY(put(folder + u'/' + copyName, "copy", t0 + 10));
        files.sync();
        QVERIFY(!QFileInfo::exists(folder + u'/' + copyName));
        QCOMPARE(readFile(local(u"p")), expected);
        QCOMPARE(readFile(cloud(u"p")), expected);
    }

    void invalidIDsTouchNothing_data() {
        QTest::addColumn<QString>("id");
        QTest::newRow("parent") << u"../x"_s;
        QTest::newRow("slash") << u"a/b"_s;
        QTest::newRow("empty") << QString();
        QTest::newRow("dot") << u"x.y"_s;
        QTest::newRow("too long") << QString(41, u'x');
    }
    void invalidIDsTouchNothing() {
        QFETCH(QString, id);
        DrawingFiles files(m_local, m_cloud);
        const QStringList targets{outside(u"x.pkdrawing"_s), outside(u"data/x.pkdrawing"_s),
                                  outside(u"cloud/Documents/x.pkdrawing"_s)};
        for (const QString& target : targets)
            QVERIFY(put(target, "outside", t0 + 100));
        QVERIFY(!isValidDrawingID(id));
        QCOMPARE(files.read(id), std::nullopt);
        QCOMPARE(files.modified(id), std::nullopt);
        QVERIFY(!files.push(id) && !files.pull(id));
        files.remove(id);
        QCOMPARE(files.sync({id}), QStringList());
        for (const QString& target : targets)
            QCOMPARE(readFile(target), "outside");
        QCOMPARE(entries(m_cloud), QStringList());
    }

    // Links, folders, pipes and oversized files named like pages or conflict
    // copies are neither followed, nor replaced, nor taken for pages; a push
    // that meets one says so.
    void nonPagesAreLeftAlone() {
        DrawingFiles files(m_local, m_cloud);
        const QString secret = outside(u"secret"_s);
        QVERIFY(put(secret, "secret", t0 + 100));
        for (const QString& folder : {m_local, m_cloud}) {
            QVERIFY(QFile::link(secret, folder + u"/evil.pkdrawing"_s));
            QVERIFY(QDir(folder).mkdir(u"d.pkdrawing"_s));
            QCOMPARE(::mkfifo(QFile::encodeName(folder + u"/p.pkdrawing"_s).constData(), 0600), 0);
        }
        QVERIFY(put(local(u"n"), "n") && QFile::link(secret, cloud(u"n")));
        QVERIFY(put(cloud(u"m"), "cloud m") && QFile::link(secret, local(u"m")));
        const QString bigCopy = m_cloud + u"/m.sync-conflict-20240501-101500-ABCDEFG.pkdrawing"_s;
        for (const QString& big : {local(u"big"), bigCopy})
            QVERIFY(put(big, "", t0 + 10) && QFile::resize(big, DrawingFiles::maxFileBytes + 1));
        const QStringList special = ids("evil d p big");

        QCOMPARE(files.unrecordedIDs({}), ids("m n"));
        for (int i = 0; i < 3; ++i)
            QTest::ignoreMessage(
                QtCriticalMsg,
                "could not mirror n up to the cloud folder: a symbolic link is in the way");
        QCOMPARE(files.sync(), QStringList());
        QVERIFY(!files.push(u"n"_s) && !files.pull(u"m"_s));
        for (const QString& id : special)
            QCOMPARE(files.read(id), std::nullopt);
        QCOMPARE(files.read(u"m"_s), QByteArray("cloud m"));
        for (const QString& id : special)
            files.remove(id);
        QCOMPARE(files.sync(QSet<QString>(special.cbegin(), special.cend())), QStringList());

        for (const QString& folder : {m_local, m_cloud}) {
            QCOMPARE(QFile::symLinkTarget(folder + u"/evil.pkdrawing"_s), secret);
            QVERIFY(QFileInfo(folder + u"/d.pkdrawing"_s).isDir());
            QVERIFY(QFileInfo::exists(folder + u"/p.pkdrawing"_s));
        }
        QCOMPARE(QFile::symLinkTarget(cloud(u"n")), secret);
        QCOMPARE(QFile::symLinkTarget(local(u"m")), secret);
        QVERIFY(!QFileInfo::exists(cloud(u"big")) && QFileInfo::exists(bigCopy));
        QCOMPARE(readFile(secret), "secret");
        QCOMPARE(modifiedNs(secret), (t0 + 100) * 1'000'000'000 + 250'000'000);
    }

    // The store's pass: the copies run on a worker while the main thread
    // carries on; the request and the outcome stay on the main thread; asks
    // made during a pass make one more pass, never a parallel one.
    void backgroundPassesRunOneAtATime() {
        DrawingFiles files(m_local, m_cloud);
        QVERIFY(put(local(u"a"), "a", t0 + 10) && put(cloud(u"a"), "old"));
        QVERIFY(put(cloud(u"b"), "b", t0 + 20) && put(local(u"known"), "k"));
        QSet<QThread*> threads;
        int requests = 0;
        QList<DrawingFiles::SyncOutcome> outcomes;
        const auto request = [&] {
            threads.insert(QThread::currentThread());
            ++requests;
            return DrawingFiles::SyncRequest{{}, {u"known"_s}};
        };
        const auto completion = [&](const DrawingFiles::SyncOutcome& outcome) {
            threads.insert(QThread::currentThread());
            outcomes.append(outcome);
        };
        for (int i = 0; i < 3; ++i)
            files.syncInBackground(request, completion);
        QCOMPARE(requests, 1);
        QVERIFY(files.isSyncing());
        // The main thread is held here, running no events: only a worker
        // can do the copy.
        QDeadlineTimer deadline(5000);
        while (readFile(cloud(u"a")) != "a" && !deadline.hasExpired())
            QThread::yieldCurrentThread();
        QCOMPARE(readFile(cloud(u"a")), "a");
        QTRY_VERIFY(!files.isSyncing());
        QCOMPARE(threads, QSet<QThread*>{QThread::currentThread()});
        QCOMPARE(requests, 2);
        QCOMPARE(outcomes.size(), 2);
        QCOMPARE(outcomes[0].changed, ids("a b known"));
        const QList<DrawingFiles::UnrecordedPage> unrecorded{
            {u"a"_s, dateFromUnix(double(t0 + 10) + 0.25)},
            {u"b"_s, dateFromUnix(double(t0 + 20) + 0.25)}};
        QCOMPARE(outcomes[0].unrecorded, unrecorded);
        QCOMPARE(outcomes[1].changed, QStringList());
        QCOMPARE(outcomes[1].unrecorded, unrecorded);
    }

    void resolveCloudAnswersOnTheMainThread_data() {
        QTest::addColumn<bool>("hasResolver");
        QTest::addColumn<QString>("found");
        QTest::newRow("found") << true << u"found/Drawings"_s;
        QTest::newRow("no resolver") << false << QString();
        QTest::newRow("nothing found") << true << QString();
        QTest::newRow("cannot be made") << true << u"file/Drawings"_s;
    }
    void resolveCloudAnswersOnTheMainThread() {
        QFETCH(bool, hasResolver);
        QFETCH(QString, found);
        QVERIFY(put(outside(u"file"_s), ""));
        const bool available = found.startsWith(u"found");
        std::atomic<QThread*> resolverThread = nullptr;
        DrawingFiles::CloudResolver resolver;
        if (hasResolver)
            resolver = [&, this]() -> std::optional<QString> {
                resolverThread = QThread::currentThread();
                return found.isEmpty() ? std::nullopt : std::optional(outside(found));
            };
        DrawingFiles files(m_local, std::nullopt, resolver);
        QList<bool> answers;
        QThread* answerThread = nullptr;
        for (int i = 0; i < 2; ++i)
            files.resolveCloud([&](bool ok) {
                answers.append(ok);
                answerThread = QThread::currentThread();
            });
        QTRY_COMPARE(answers, QList<bool>({available, available}));
        QCOMPARE(answerThread, QThread::currentThread());
        QVERIFY(resolverThread.load() != QThread::currentThread());
        QCOMPARE(files.cloudDir(), available ? std::optional(outside(found)) : std::nullopt);
    }

    // The lookup may hang on a dead network mount: it must hold back
    // neither the painting on the global pool nor the end of the files
    // object, and neither it nor a pass calls back once that is gone.
    void destroyedFilesNeverCallBack() {
        QThreadPool* shared = QThreadPool::globalInstance();
        const int threads = shared->maxThreadCount();
        shared->setMaxThreadCount(1);
        auto release = std::make_shared<QSemaphore>();
        QSemaphore lookupEnded;
        // Released once the lookup thread drops its copy of the resolver.
        std::shared_ptr<void> lastUse(nullptr, [&](void*) { lookupEnded.release(); });
        const auto cleanup = qScopeGuard([&] {
            release->release();
            shared->setMaxThreadCount(threads);
        });
        int calls = 0;
        {
            DrawingFiles files(m_local, m_cloud);
            QVERIFY(put(local(u"a"), "a"));
            files.syncInBackground({}, [&](const DrawingFiles::SyncOutcome&) { ++calls; });
        }
        {
            DrawingFiles waiting(
                m_local, std::nullopt,
                [release, lastUse = std::move(lastUse)]() -> std::optional<QString> {
                    release->acquire();
                    return std::nullopt;
                });
            waiting.resolveCloud([&](bool) { ++calls; });
            std::atomic<bool> painted = false;
            shared->start([&] { painted = true; });
            QTRY_VERIFY(painted);
        }
        release->release();
        QVERIFY(lookupEnded.tryAcquire(1, 5000));
        QCoreApplication::processEvents();
        QCOMPARE(calls, 0);
    }
};

QTEST_GUILESS_MAIN(TestDrawingFiles)
#include "tst_drawingfiles.moc"
