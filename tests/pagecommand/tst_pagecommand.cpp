#include "drawings/drawing.h"
#include "pagecommand/pagecommand.h"
#include "support/files.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace tessaro;
using namespace Qt::StringLiterals;

namespace {

QString write(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes) {
    const QString path = dir.filePath(name);
    return test::writeFile(path, bytes) ? path : QString();
}

const QByteArray svg = "<svg xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"0 0 10 10\">"
                       "<circle cx=\"5\" cy=\"5\" r=\"4\"/></svg>";

} // namespace

class TestPageCommand : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void makesAPageInBothFolders_data() {
        QTest::addColumn<bool>("cloud");
        QTest::newRow("with the cloud folder") << true;
        QTest::newRow("without") << false;
    }

    void makesAPageInBothFolders() {
        QFETCH(bool, cloud);
        QTemporaryDir dir;
        // The kind comes from the content: the name says nothing.
        const QString source = write(dir, u"drawing.txt"_s, svg);
        const QString local = dir.filePath(u"data/Drawings"_s);
        const QString cloudDir = dir.filePath(u"cloud/Documents/Drawings"_s);
        const MadePage made =
            makePage(source, local, cloud ? std::optional(cloudDir) : std::nullopt);
        QCOMPARE(made.error, QString());
        QVERIFY(isValidDrawingID(made.id));
        QCOMPARE(test::readFile(local + u'/' + made.id + u".pkdrawing"_s), svg);
        QCOMPARE(QFile::exists(cloudDir + u'/' + made.id + u".pkdrawing"_s), cloud);
        if (cloud)
            QCOMPARE(test::readFile(cloudDir + u'/' + made.id + u".pkdrawing"_s), svg);
    }

    void refusesWhatIsNoPage_data() {
        QTest::addColumn<QByteArray>("bytes"); // empty: no file at all
        QTest::newRow("text") << QByteArray("a shopping list");
        QTest::newRow("missing file") << QByteArray();
    }

    void refusesWhatIsNoPage() {
        QFETCH(QByteArray, bytes);
        QTemporaryDir dir;
        const QString source =
            bytes.isEmpty() ? dir.filePath(u"absent.svg"_s) : write(dir, u"file.svg"_s, bytes);
        const QString local = dir.filePath(u"Drawings"_s);
        const MadePage made = makePage(source, local, std::nullopt);
        QVERIFY(made.id.isEmpty());
        QVERIFY(made.error.contains(source));
        QVERIFY(QDir(local).entryList(QDir::Files).isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestPageCommand)
#include "tst_pagecommand.moc"
