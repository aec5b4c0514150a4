#include "store/statefile.h"
#include "store/statewriter.h"
#include "support/files.h"
#include "support/logcapture.h"

#include <QDir>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <cstdio>
#include <sys/resource.h>

using namespace tessaro;
using namespace Qt::StringLiterals;
using test::readFile;

namespace {

const char* const writerVariable = "TESSARO_STATE_WRITER";

// The document a writer saves in round `n`: its size changes from round to
// round, so a torn write could not pass for a whole one.
AppState round(int n) {
    AppState state;
    for (int i = 0; i < n % 40; ++i)
        state.quotes.append(
            {u"q%1"_s.arg(i), u"round %1 quote %2"_s.arg(n).arg(i), {}, {}, double(-i)});
    state.updatedAt = n;
    return state;
}

// The child: hands round after round to the writer, printing each number
// once a flush has put it on disk.
int writeForever(const QString& folder) {
    StateWriter writer(StateFile(folder + u"/state.json"_s));
    for (int n = 1;; ++n) {
        writer.submit(round(n));
        if (n % 3 == 0) // rounds in between may be skipped, never torn
            continue;
        if (!writer.flush())
            return 1;
        std::printf("%d\n", n);
        std::fflush(stdout);
    }
}

// Files larger than `bytes` cannot be written while it lives; unlike file
// permissions, root is held to it too.
struct FileSizeLimit {
    rlimit old{};
    explicit FileSizeLimit(rlim_t bytes) {
        std::signal(SIGXFSZ, SIG_IGN);
        ::getrlimit(RLIMIT_FSIZE, &old);
        rlimit limit = old;
        limit.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() { ::setrlimit(RLIMIT_FSIZE, &old); }
};

} // namespace

class TestStateFile : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // A file that was not read whole is replaced only once its original is
    // safe under another name. A failed write keeps the old file; neither a
    // load, a save nor a failed save leaves anything else in the folder.
    void filesNotReadWholeAreNotReplacedUntilKept_data() {
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<QString>("reason");
        QTest::newRow("unreadable") << QByteArray("{\"quotes\": [ not JSON") << u"unreadable"_s;
        QTest::newRow("damaged") << QByteArray("{\"quotes\":[{\"id\":5}],\"updatedAt\":3}")
                                 << u"damaged"_s;
    }

    void filesNotReadWholeAreNotReplacedUntilKept() {
        QFETCH(QByteArray, stored);
        QFETCH(QString, reason);
        QTemporaryDir root;
        const QDir folder(root.filePath(u"sub"_s));
        const QString path = folder.filePath(u"state.json"_s);
        bool roomForACopy = false;
        StateFile file(path, Durability::unflushed, [&](const QString& from, const QString& to) {
            return roomForACopy && StateFile::linkOrCopy(from, to);
        });
        QCOMPARE(file.load(0), AppState()); // nothing there yet, and nothing made
        QVERIFY(QDir(root.path()).isEmpty());
        QVERIFY(test::writeFile(path, stored));
        const test::LogCapture log("tessaro.store", false);
        file.load(100);
        // The copier failed without a reason: none older is blamed.
        QVERIFY(log.contains(u"could be kept (reason unknown)"_s));
        QVERIFY(!file.save(round(5)));
        QVERIFY(!file.save(round(6)));
        QCOMPARE(readFile(path), stored);

        roomForACopy = true;
        QVERIFY(file.save(round(7)));
        QCOMPARE(file.load(200), round(7));
        const QStringList aside = folder.entryList({u"state.json."_s + reason + u"-*"_s});
        QCOMPARE(aside.size(), 1);
        QCOMPARE(readFile(folder.filePath(aside.first())), stored);
        {
            const FileSizeLimit limit(64);
            QVERIFY(!file.save(round(39)));
        }
        QCOMPARE(file.load(300), round(7));
        QCOMPARE(folder.entryList(QDir::Files | QDir::Hidden),
                 (QStringList{u"state.json"_s, aside.first()}));
    }

    void aKilledWriterLeavesAWholeDocument() {
        QTemporaryDir folder;
        auto* random = QRandomGenerator::global();
        for (int attempt = 0; attempt < 12; ++attempt) {
            QProcess writer;
            QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
            environment.insert(QString::fromLatin1(writerVariable), folder.path());
            writer.setProcessEnvironment(environment);
            writer.start(QCoreApplication::applicationFilePath(), {});
            QVERIFY(writer.waitForStarted());
            // Let it save a few rounds, then kill it wherever it is.
            const int rounds = int(random->bounded(1, 40));
            QByteArray reported;
            while (reported.count('\n') < rounds && writer.waitForReadyRead(10000))
                reported += writer.readAllStandardOutput();
            ::kill(pid_t(writer.processId()), SIGKILL);
            QVERIFY(writer.waitForFinished(10000));

            reported += writer.readAllStandardOutput();
            const QList<QByteArray> lines = reported.trimmed().split('\n');
            const int last = lines.constLast().toInt();
            const auto decoded = decodeState(readFile(folder.filePath(u"state.json"_s)));
            QVERIFY2(decoded, "the file must always hold a whole document");
            QVERIFY(!decoded->dropped);
            const int found = int(decoded->state.updatedAt);
            // The last reported round, or one handed over after it.
            QVERIFY2(found >= last && found <= last + 3,
                     qPrintable(u"found %1 after %2"_s.arg(found).arg(last)));
            QCOMPARE(decoded->state, round(found));
        }
    }
};

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsSet(writerVariable))
        return writeForever(qEnvironmentVariable(writerVariable));
    QCoreApplication app(argc, argv);
    TestStateFile test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_statefile.moc"
