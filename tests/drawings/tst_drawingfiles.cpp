#include "drawings/drawingfiles.h"

#include <QDir>
#include <QFile>
#include <QSemaphore>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QThreadPool>

#include <atomic>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace tessaro;
using namespace Qt::StringLiterals;

namespace {

constexpr qint64 t0 = 1'700'000'000;

bool put(const QString& path, const QByteArray& bytes, qint64 unixSeconds) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        return false;
    file.close();
    const timespec times[2] = {{0, UTIME_OMIT}, {time_t(unixSeconds), 250'000'000}};
    return ::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0) == 0;
}

QByteArray contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

// Nanoseconds, or -1 when nothing is there.
qint64 modifiedNs(const QString& path) {
    struct stat status {};
    if (::lstat(QFile::encodeName(path).constData(), &status) != 0)
        return -1;
    return qint64(status.st_mtim.tv_sec) * 1'000'000'000 + status.st_mtim.tv_nsec;
}

bool exists(const QString& path) {
    return modifiedNs(path) >= 0;
}

} // namespace

class TestDrawingFiles : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_root;
    QString m_local;
    QString m_cloud;

    QString local(const QString& name) const { return m_local + u'/' + name; }
    QString cloud(const QString& name) const { return m_cloud + u'/' + name; }
    QString outside(const QString& name) const { return m_root->filePath(name); }

private slots:
    void init() {
        m_root = std::make_unique<QTemporaryDir>();
        QVERIFY(m_root->isValid());
        m_local = m_root->filePath(u"data/Drawings"_s);
        m_cloud = m_root->filePath(u"cloud/Documents/Drawings"_s);
    }

    // Listing

    void listsPagesAndPlaceholdersOnly() {
        DrawingFiles files(m_local, m_cloud);
        QVERIFY(QDir(m_local).exists() && QDir(m_cloud).exists());
        for (const QString& name :
             {u"x.pkdrawing"_s, u".y.pkdrawing.icloud"_s, u"notes.txt"_s, u".pkdrawing"_s,
              u"a b.pkdrawing"_s, u"x.sync-conflict-20240501-101500-ABCDEFG.pkdrawing"_s,
              u"z (conflicted copy 2024-05-01 101500).pkdrawing"_s, u"w.pkdrawing.partial"_s,
              u".syncthing.v.pkdrawing.tmp"_s, u".u.pkdrawing.tmp-abc123"_s, u".icloud"_s})
            QVERIFY(put(local(name), "s", t0));
        QCOMPARE(files.listIDs(m_local), QStringList({u"x"_s, u"y"_s}));
        QCOMPARE(files.listIDs(outside(u"missing"_s)), QStringList());
    }

    void unrecordedIDsJoinBothFolders() {
        DrawingFiles files(m_local, m_cloud);
        QVERIFY(put(local(u"b.pkdrawing"_s), "b", t0));
        QVERIFY(put(local(u"a.pkdrawing"_s), "a", t0));
        QVERIFY(put(cloud(u"b.pkdrawing"_s), "b", t0));
        QVERIFY(put(cloud(u"c.pkdrawing"_s), "c", t0));
        QVERIFY(put(cloud(u".d.pkdrawing.icloud"_s), "", t0));
        QCOMPARE(files.unrecordedIDs({u"b"_s}), QStringList({u"a"_s, u"c"_s, u"d"_s}));
        QCOMPARE(DrawingFiles(m_local, std::nullopt).unrecordedIDs({}),
                 QStringList({u"a"_s, u"b"_s}));
    }

    void modifiedPrefersTheLocalFile() {
        DrawingFiles files(m_local, m_cloud);
        QVERIFY(put(local(u"a.pkdrawing"_s), "a", t0));
        QVERIFY(put(cloud(u"a.pkdrawing"_s), "a", t0 + 50));
        QVERIFY(put(cloud(u"b.pkdrawing"_s), "b", t0 + 60));
        QCOMPARE(files.modified(u"a"_s), dateFromUnix(double(t0) + 0.25));
        QCOMPARE(files.modified(u"b"_s), dateFromUnix(double(t0 + 60) + 0.25));
        QCOMPARE(files.modified(u"c"_s), std::nullopt);
    }

    // Mirroring

    void equalDatesCopyNothing() {
        DrawingFiles files(m_local, m_cloud);
        QVERIFY(put(local(u"a.pkdrawing"_s), "mine", t0));
        QVERIFY(put(cloud(u"a.pkdrawing"_s), "theirs", t0));
        QCOMPARE(files.sync(), QStringList());
        QCOMPARE(files.push(u"a"_s), false);
        QCOMPARE(files.pull(u"a"_s), false);
        QCOMPARE(contents(local(u"a.pkdrawing"_s)), "mine");
        QCOMPARE(contents(cloud(u"a.pkdrawing"_s)), "theirs");
    }

    void newerWinsBothWays() {
        DrawingFiles files(m_local, m_cloud);
        QVERIFY(put(local(u"a.pkdrawing"_s), "a new", t0 + 10));
        QVERIFY(put(cloud(u"a.pkdrawing"_s), "a old", t0));
        QVERIFY(put(local(u"b.pkdrawing"_s), "b old", t0));
        QVERIFY(put(cloud(u"b.pkdrawing"_s), "b new", t0 + 10));
        QVERIFY(put(local(u"c.pkdrawing"_s), "c", t0));
        QVERIFY(put(cloud(u"d.pkdrawing"_s), "d", t0));
        QCOMPARE(files.sync(), QStringList({u"a"_s, u"b"_s, u"c"_s, u"d"_s}));
        for (const char* id : {"a", "b", "c", "d"}) {
            const QString name = QLatin1StringView(id) + u".pkdrawing"_s;
            QCOMPARE(contents(local(name)), contents(cloud(name)));
            QCOMPARE(modifiedNs(local(name)), modifiedNs(cloud(name)));
        }
        QCOMPARE(contents(local(u"b.pkdrawing"_s)), "b new");
        QCOMPARE(contents(cloud(u"a.pkdrawing"_s)), "a new");
        QCOMPARE(modifiedNs(cloud(u"a.pkdrawing"_s)), (t0 + 10) * 1'000'000'000 + 250'000'000);
        QCOMPARE(files.sync(), QStringList());
    }

    void singleCopiesNeedACloudFolder() {
        DrawingFiles files(m_local, std::nullopt);
        QVERIFY(put(local(u"a.pkdrawing"_s), "a", t0));
        QCOMPARE(files.push(u"a"_s), false);
        QCOMPARE(files.pull(u"a"_s), false);
        QCOMPARE(files.sync(), QStringList());
        QCOMPARE(files.read(u"b"_s), std::nullopt);
    }

    void pushAndPullCopyOnlyNewer() {
        DrawingFiles files(m_local, m_cloud);
        QCOMPARE(files.push(u"a"_s), false);
        QVERIFY(put(local(u"a.pkdrawing"_s), "a", t0));
        QVERIFY(files.push(u"a"_s));
        QCOMPARE(files.push(u"a"_s), false);
        QVERIFY(put(cloud(u"a.pkdrawing"_s), "a2", t0 + 1));
        QVERIFY(files.pull(u"a"_s));
        QCOMPARE(contents(local(u"a.pkdrawing"_s)), "a2");
        QVERIFY(put(cloud(u".p.pkdrawing.icloud"_s), "", t0));
        QCOMPARE(files.pull(u"p"_s), false);
    }

    void readFallsBackToTheCloudAndKeepsACopy() {
        DrawingFiles files(m_local, m_cloud);
        QVERIFY(put(local(u"a.pkdrawing"_s), "local", t0));
        QVERIFY(put(cloud(u"a.pkdrawing"_s), "cloud", t0 + 5));
        QCOMPARE(files.read(u"a"_s), QByteArray("local"));
        QVERIFY(put(cloud(u"b.pkdrawing"_s), "cloud b", t0));
        QCOMPARE(files.read(u"b"_s), QByteArray("cloud b"));
        QCOMPARE(contents(local(u"b.pkdrawing"_s)), "cloud b");
        QCOMPARE(modifiedNs(local(u"b.pkdrawing"_s)), modifiedNs(cloud(u"b.pkdrawing"_s)));
        QVERIFY(put(cloud(u".c.pkdrawing.icloud"_s), "", t0));
        QCOMPARE(files.read(u"c"_s), std::nullopt);
        QVERIFY(!exists(local(u"c.pkdrawing"_s)));
    }

    void removeClearsBothFolders() {
        DrawingFiles files(m_local, m_cloud);
        QVERIFY(put(local(u"a.pkdrawing"_s), "a", t0));
        QVERIFY(put(cloud(u"a.pkdrawing"_s), "a", t0));
        QVERIFY(put(cloud(u"a.sync-conflict-20240501-101500-ABCDEFG.pkdrawing"_s), "a", t0));
        files.remove(u"a"_s);
        files.remove(u"missing"_s);
        QCOMPARE(QDir(m_local).entryList(QDir::Files | QDir::Hidden), QStringList());
        QCOMPARE(QDir(m_cloud).entryList(QDir::Files | QDir::Hidden), QStringList());
    }

    // A deleted page must not come back from the other folder.

    void deletedPagesAreRemovedNotMirrored() {
        DrawingFiles files(m_local, m_cloud);
        QVERIFY(put(local(u"a.pkdrawing"_s), "a", t0));
        QVERIFY(put(cloud(u"b.pkdrawing"_s), "b", t0));
        QVERIFY(put(local(u"c.pkdrawing"_s), "c", t0 + 1));
        QVERIFY(put(cloud(u"c.pkdrawing"_s), "c", t0));
        QVERIFY(put(cloud(u"c (conflicted copy 2024-05-01 101500).pkdrawing"_s), "c", t0 + 2));
        QVERIFY(put(local(u"keep.pkdrawing"_s), "k", t0));
        QCOMPARE(files.sync({u"a"_s, u"b"_s, u"c"_s, u"never"_s}),
                 QStringList({u"a"_s, u"b"_s, u"c"_s, u"keep"_s}));
        QCOMPARE(QDir(m_local).entryList(QDir::Files | QDir::Hidden),
                 QStringList({u"keep.pkdrawing"_s}));
        QCOMPARE(QDir(m_cloud).entryList(QDir::Files | QDir::Hidden),
                 QStringList({u"keep.pkdrawing"_s}));
    }

    // Conflict copies left by sync engines

    void conflictCopyFoldsIntoThePage_data() {
        QTest::addColumn<bool>("inCloud");
        QTest::addColumn<QString>("copyName");
        QTest::addColumn<qint64>("pageTime");
        QTest::addColumn<QByteArray>("expected");
        const QString syncthing = u"p.sync-conflict-20240501-101500-ABCDEFG.pkdrawing"_s;
        const QString nextcloud = u"p (conflicted copy 2024-05-01 101500).pkdrawing"_s;
        QTest::newRow("newer copy wins") << true << syncthing << t0 << QByteArray("copy");
        QTest::newRow("newer page stays") << true << syncthing << t0 + 20 << QByteArray("page");
        QTest::newRow("equal dates keep page")
            << true << nextcloud << t0 + 10 << QByteArray("page");
        QTest::newRow("copy without page") << true << nextcloud << qint64(0) << QByteArray("copy");
        QTest::newRow("in the local folder") << false << syncthing << t0 << QByteArray("copy");
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
        QCOMPARE(files.listIDs(folder), pageTime ? QStringList({u"p"_s}) : QStringList());
        files.sync();
        QVERIFY(!exists(folder + u'/' + copyName));
        QCOMPARE(contents(local(u"p.pkdrawing"_s)), expected);
        QCOMPARE(contents(cloud(u"p.pkdrawing"_s)), expected);
        QCOMPARE(files.sync(), QStringList());
    }

    void unreadableCopyIsLeft() {
        DrawingFiles files(m_local, m_cloud);
        QVERIFY(put(cloud(u"p.pkdrawing"_s), "page", t0));
        const QString copy = cloud(u"p.sync-conflict-20240501-101500-ABCDEFG.pkdrawing"_s);
        QVERIFY(put(copy, "", t0 + 10));
        QVERIFY(QFile::resize(copy, DrawingFiles::maxFileBytes + 1));
        files.sync();
        QVERIFY(exists(copy));
        QCOMPARE(contents(cloud(u"p.pkdrawing"_s)), "page");
    }

    // Hostile names and files

    void invalidIDsDoNothing_data() {
        QTest::addColumn<QString>("id");
        QTest::newRow("parent") << u"../x"_s;
        QTest::newRow("grandparent") << u"../../x"_s;
        QTest::newRow("slash") << u"a/b"_s;
        QTest::newRow("empty") << QString();
        QTest::newRow("dot") << u"x.y"_s;
        QTest::newRow("too long") << QString(41, u'x');
    }

    void invalidIDsDoNothing() {
        QFETCH(QString, id);
        DrawingFiles files(m_local, m_cloud);
        const QString target = outside(u"x.pkdrawing"_s);
        QVERIFY(put(target, "outside", t0 + 100));
        QVERIFY(put(outside(u"data/x.pkdrawing"_s), "outside", t0 + 100));
        QVERIFY(put(outside(u"cloud/Documents/x.pkdrawing"_s), "outside", t0 + 100));
        QCOMPARE(files.read(id), std::nullopt);
        QCOMPARE(files.modified(id), std::nullopt);
        QCOMPARE(files.push(id), false);
        QCOMPARE(files.pull(id), false);
        files.remove(id);
        QCOMPARE(files.sync({id}), QStringList());
        QCOMPARE(contents(target), "outside");
        QCOMPARE(contents(outside(u"data/x.pkdrawing"_s)), "outside");
        QCOMPARE(QDir(m_cloud).entryList(QDir::Files | QDir::Hidden), QStringList());
        QVERIFY(!isValidDrawingID(id));
    }

    void specialFilesAreLeftAlone() {
        DrawingFiles files(m_local, m_cloud);
        const QString secret = outside(u"secret"_s);
        QVERIFY(put(secret, "secret", t0 + 100));
        const qint64 secretTime = modifiedNs(secret);
        for (const QString& folder : {m_local, m_cloud}) {
            QVERIFY(QFile::link(secret, folder + u"/evil.pkdrawing"_s));
            QVERIFY(QDir(folder).mkdir(u"d.pkdrawing"_s));
            QCOMPARE(::mkfifo(QFile::encodeName(folder + u"/p.pkdrawing"_s).constData(), 0600), 0);
        }
        QVERIFY(put(local(u"n.pkdrawing"_s), "n", t0));
        QVERIFY(QFile::link(secret, cloud(u"n.pkdrawing"_s)));
        QVERIFY(put(cloud(u"m.pkdrawing"_s), "cloud m", t0));
        QVERIFY(QFile::link(secret, local(u"m.pkdrawing"_s)));

        const QStringList special{u"evil"_s, u"d"_s, u"p"_s};
        QCOMPARE(files.listIDs(m_cloud), QStringList({u"m"_s}));
        QCOMPARE(files.unrecordedIDs({}), QStringList({u"m"_s, u"n"_s}));
        QTest::ignoreMessage(QtCriticalMsg, "could not mirror n up to the cloud folder");
        QCOMPARE(files.sync(), QStringList());
        QTest::ignoreMessage(QtCriticalMsg, "could not mirror n up to the cloud folder");
        QCOMPARE(files.push(u"n"_s), false);
        QCOMPARE(files.pull(u"m"_s), false);
        QCOMPARE(files.read(u"evil"_s), std::nullopt);
        QCOMPARE(files.read(u"p"_s), std::nullopt);
        QCOMPARE(files.read(u"m"_s), QByteArray("cloud m"));
        for (const QString& id : special)
            files.remove(id);
        QTest::ignoreMessage(QtCriticalMsg, "could not mirror n up to the cloud folder");
        QCOMPARE(files.sync(QSet<QString>(special.cbegin(), special.cend())), QStringList());

        for (const QString& folder : {m_local, m_cloud}) {
            QCOMPARE(QFile::symLinkTarget(folder + u"/evil.pkdrawing"_s), secret);
            QVERIFY(QFileInfo(folder + u"/d.pkdrawing"_s).isDir());
            QVERIFY(QFileInfo(folder + u"/p.pkdrawing"_s).exists());
        }
        QCOMPARE(QFile::symLinkTarget(cloud(u"n.pkdrawing"_s)), secret);
        QCOMPARE(QFile::symLinkTarget(local(u"m.pkdrawing"_s)), secret);
        QCOMPARE(contents(secret), "secret");
        QCOMPARE(modifiedNs(secret), secretTime);
    }

    void oversizedFilesAreNotPages() {
        DrawingFiles files(m_local, m_cloud);
        QVERIFY(put(local(u"big.pkdrawing"_s), "", t0));
        QVERIFY(QFile::resize(local(u"big.pkdrawing"_s), DrawingFiles::maxFileBytes + 1));
        QCOMPARE(files.listIDs(m_local), QStringList());
        QCOMPARE(files.sync(), QStringList());
        QCOMPARE(files.read(u"big"_s), std::nullopt);
        QVERIFY(!exists(cloud(u"big.pkdrawing"_s)));
    }

    // Finding the cloud folder

    void resolveCloudAnswersOnTheMainThread() {
        std::atomic<int> calls = 0;
        std::atomic<QThread*> resolverThread = nullptr;
        const QString path = outside(u"found/Documents/Drawings"_s);
        DrawingFiles files(m_local, std::nullopt, [&]() -> std::optional<QString> {
            ++calls;
            resolverThread = QThread::currentThread();
            return path;
        });
        std::optional<bool> answer;
        QThread* answerThread = nullptr;
        files.resolveCloud([&](bool available) {
            answer = available;
            answerThread = QThread::currentThread();
        });
        QTRY_VERIFY(answer);
        QCOMPARE(*answer, true);
        QCOMPARE(answerThread, QThread::currentThread());
        QVERIFY(resolverThread.load() != QThread::currentThread());
        QCOMPARE(files.cloudDir(), path);
        QVERIFY(QDir(path).exists());

        answer.reset();
        files.resolveCloud([&](bool available) { answer = available; });
        QCOMPARE(answer, true);
        QCOMPARE(calls.load(), 1);
    }

    void resolveCloudReportsNoFolder_data() {
        QTest::addColumn<bool>("hasResolver");
        QTest::addColumn<QString>("found");
        QTest::newRow("no resolver") << false << QString();
        QTest::newRow("nothing found") << true << QString();
        QTest::newRow("cannot be made") << true << u"file/Drawings"_s;
    }

    void resolveCloudReportsNoFolder() {
        QFETCH(bool, hasResolver);
        QFETCH(QString, found);
        QVERIFY(put(outside(u"file"_s), "", t0));
        DrawingFiles::CloudResolver resolver;
        if (hasResolver) {
            resolver = [found, this]() -> std::optional<QString> {
                if (found.isEmpty())
                    return std::nullopt;
                return outside(found);
            };
        }
        DrawingFiles files(m_local, std::nullopt, resolver);
        std::optional<bool> answer;
        files.resolveCloud([&](bool available) { answer = available; });
        QTRY_VERIFY(answer);
        QCOMPARE(*answer, false);
        QCOMPARE(files.cloudDir(), std::nullopt);
    }

    void resolveCloudAfterDestructionDoesNothing() {
        QSemaphore release;
        bool called = false;
        {
            DrawingFiles files(m_local, std::nullopt, [&]() -> std::optional<QString> {
                release.acquire();
                return m_cloud;
            });
            files.resolveCloud([&](bool) { called = true; });
        }
        release.release();
        QThreadPool::globalInstance()->waitForDone();
        QCoreApplication::processEvents();
        QVERIFY(!called);
    }
};

QTEST_GUILESS_MAIN(TestDrawingFiles)
#include "tst_drawingfiles.moc"
