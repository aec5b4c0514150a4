#include "store/statefile.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <cstdio>

using namespace tessaro;
using namespace Qt::StringLiterals;

namespace {

const char* const writerVariable = "TESSARO_STATE_WRITER";

// The document a writer saves in round `n`: its size changes from round to
// round, so a torn write could not pass for a whole one.
AppState round(int n) {
    AppState state;
    for (int i = 0; i < n % 40; ++i)
        state.quotes.append({u"q"_s + QString::number(i),
                             u"round "_s + QString::number(n) + u" quote "_s + QString::number(i),
                             {},
                             {},
                             double(-i)});
    state.updatedAt = n;
    return state;
}

bool isRound(const AppState& state, int n) {
    return state == round(n);
}

// The child: saves round after round, printing each number once it is saved.
int writeForever(const QString& folder) {
    StateFile file(folder + u"/state.json"_s);
    for (int n = 1;; ++n) {
        if (!file.save(round(n)))
            return 1;
        std::printf("%d\n", n);
        std::fflush(stdout);
    }
}

} // namespace

class TestStateFile : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void missingFileGivesTheDefaultDocument() {
        QTemporaryDir folder;
        StateFile file(folder.filePath(u"state.json"_s), Durability::unflushed);
        QCOMPARE(file.load(0), AppState());
        QVERIFY(QDir(folder.path()).isEmpty());
    }

    void savedDocumentsLoadBack() {
        QTemporaryDir folder;
        StateFile file(folder.filePath(u"sub/state.json"_s), Durability::unflushed);
        QVERIFY(file.save(round(7)));
        QVERIFY(isRound(file.load(100), 7));
        // Nothing but the file itself is left behind in the folder.
        QCOMPARE(QDir(folder.filePath(u"sub"_s)).entryList(QDir::Files | QDir::Hidden),
                 QStringList{u"state.json"_s});
    }

    void failedWritesKeepTheOldFile() {
        QTemporaryDir folder;
        StateFile file(folder.filePath(u"state.json"_s), Durability::unflushed);
        QVERIFY(file.save(round(3)));
        QFile::setPermissions(folder.path(), QFile::ReadOwner | QFile::ExeOwner);
        const bool wrote = file.save(round(4));
        QFile::setPermissions(folder.path(),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        if (wrote)
            QSKIP("the folder cannot be made read-only here (running as root)");
        QVERIFY(isRound(file.load(100), 3));
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
            QVERIFY(writer.waitForReadyRead(10000));
            QTest::qWait(int(random->bounded(5, 60)));
            ::kill(pid_t(writer.processId()), SIGKILL);
            QVERIFY(writer.waitForFinished(10000));

            const QList<QByteArray> lines = writer.readAllStandardOutput().split('\n');
            int last = 0;
            for (const QByteArray& line : lines)
                if (!line.isEmpty())
                    last = line.toInt();
            QFile stored(folder.filePath(u"state.json"_s));
            QVERIFY(stored.open(QIODevice::ReadOnly));
            const auto decoded = decodeState(stored.readAll());
            QVERIFY2(decoded, "the file must always hold a whole document");
            QVERIFY(!decoded->dropped);
            const int found = int(decoded->state.updatedAt);
            // The last reported round, or the one whose report the kill cut off.
            QVERIFY2(found == last || found == last + 1,
                     qPrintable(u"found %1 after %2"_s.arg(found).arg(last)));
            QVERIFY(isRound(decoded->state, found));
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
