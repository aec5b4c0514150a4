#include "platform/atomicfile.h"
#include "support/files.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

using namespace tessaro;
using namespace Qt::StringLiterals;
using test::touchFile;

class TestAtomicFile : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Tests run as root, so permissions cannot make a write fail; things in
    // the way can.
    void failuresSayWhy_data() {
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("reason");
        QTest::newRow("a file where a folder should be")
            << u"file/state.json"_s << u"creating a temporary file: Not a directory"_s;
        QTest::newRow("no such folder")
            << u"missing/state.json"_s << u"creating a temporary file: No such file or directory"_s;
        QTest::newRow("a folder in the way")
            << u"folder"_s << u"replacing the file: Is a directory"_s;
    }
    void failuresSayWhy() {
        QFETCH(QString, target);
        QFETCH(QString, reason);
        QTemporaryDir root;
        QVERIFY(touchFile(root.filePath(u"file"_s)));
        QVERIFY(QDir(root.path()).mkpath(u"folder/inside"_s));
        const WriteResult result = writeFileAtomically(root.filePath(target), "data");
        QVERIFY(!result);
        QCOMPARE(result.errorString(), reason);
        QVERIFY(QFileInfo(root.filePath(u"folder/inside"_s)).isDir());
        QCOMPARE(
            QDir(root.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
            QStringList({u"file"_s, u"folder"_s}));
    }

    void staleTemporariesGo() {
        QTemporaryDir root;
        // Named by mkostemp, as a killed write leaves it.
        QByteArray made = QFile::encodeName(root.filePath(u".ts.state.v1.tmp-XXXXXX"_s));
        const int fd = ::mkstemp(made.data());
        QVERIFY(fd >= 0);
        ::close(fd);
        const QStringList stale{QFileInfo(QFile::decodeName(made)).fileName(),
                                u".p.pkdrawing.tmp-ZZZZZZ"_s};
        const QStringList kept{
            u".state.json.tmp-fresh1"_s, u"state.json.tmp-a1B2c3"_s, u".tmp-a1B2c3"_s,
            u".x.tmp-a1B2c"_s,           u".x.tmp-a1B2c!"_s,         u".syncthing.x.tmp"_s};
        for (const QString& name : stale + kept)
            QVERIFY(touchFile(root.filePath(name), name == kept.first() ? 60 : 11 * 60));
        // Only files: a folder or a link named like a temporary stays.
        QVERIFY(QDir(root.path()).mkdir(u".d.tmp-a1B2c3"_s));
        QVERIFY(QFile::link(root.filePath(u"state.json.tmp-a1B2c3"_s),
                            root.filePath(u".l.tmp-a1B2c3"_s)));

        QCOMPARE(removeStaleTemporaries(root.path()), 2);
        for (const QString& name : stale)
            QVERIFY2(!QFileInfo::exists(root.filePath(name)), qPrintable(name));
        for (const QString& name : kept + QStringList{u".d.tmp-a1B2c3"_s, u".l.tmp-a1B2c3"_s})
            QVERIFY2(QFileInfo(root.filePath(name)).isSymLink() ||
                         QFileInfo::exists(root.filePath(name)),
                     qPrintable(name));
        QCOMPARE(removeStaleTemporaries(root.filePath(u"missing"_s)), 0);
    }
};

QTEST_GUILESS_MAIN(TestAtomicFile)
#include "tst_atomicfile.moc"
