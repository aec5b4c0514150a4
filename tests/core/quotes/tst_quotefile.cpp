#include "quotes/quotefile.h"

#include <QFile>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <future>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

using namespace tessaro;
using namespace Qt::StringLiterals;

class TestQuoteFile : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

    QString write(const QString& name, const QByteArray& bytes) {
        const QString path = m_dir.filePath(name);
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            qFatal("cannot write %s", qPrintable(path));
        return path;
    }

    static QString messageOf(const std::variant<QList<Quote>, QString>& result) {
        return std::holds_alternative<QString>(result) ? std::get<QString>(result) : QString();
    }

    static QList<Quote> quotesOf(const std::variant<QList<Quote>, QString>& result) {
        return std::holds_alternative<QList<Quote>>(result) ? std::get<QList<Quote>>(result)
                                                            : QList<Quote>();
    }

private Q_SLOTS:
    void sizeLimits() {
        QByteArray exactly(maxImportFileSize, 'a');
        exactly[0] = 'Q';
        const auto atLimit = readQuotesFile(write(u"limit.txt"_s, exactly), 0);
        QCOMPARE(messageOf(atLimit), QString());
        QCOMPARE(quotesOf(atLimit).size(), 1);
        QCOMPARE(quotesOf(atLimit).first().text.size(), 500);

        QCOMPARE(messageOf(readQuotesFile(write(u"over.txt"_s, exactly + 'a'), 0)),
                 u"quotes.importTooBig"_s);
        QCOMPARE(messageOf(readQuotesFile(write(u"empty.txt"_s, {}), 0)), u"quotes.importTooBig"_s);
        QCOMPARE(messageOf(readQuotesFile(m_dir.filePath(u"missing.txt"_s), 0)),
                 u"ios.quotes.importFailed"_s);
        QCOMPARE(messageOf(readQuotesFile(m_dir.path(), 0)), u"ios.quotes.importFailed"_s);
    }

    // A pipe with no writer would block a plain open for ever.
    void namedPipeIsRefused() {
        const QString path = m_dir.filePath(u"pipe"_s);
        const QByteArray name = QFile::encodeName(path);
        QCOMPARE(mkfifo(name.constData(), 0600), 0);
        auto message = std::make_shared<std::promise<QString>>();
        std::future<QString> done = message->get_future();
        std::thread([message, path] {
            message->set_value(messageOf(readQuotesFile(path, 0)));
        }).detach();
        if (done.wait_for(std::chrono::seconds(10)) != std::future_status::ready) {
            // Release the blocked reader before failing.
            const int writer = ::open(name.constData(), O_WRONLY | O_NONBLOCK);
            if (writer >= 0)
                ::close(writer);
            QFAIL("reading a named pipe did not return");
        }
        QCOMPARE(done.get(), u"ios.quotes.importFailed"_s);
    }

    void symbolicLinkToAFileIsRead() {
        const QString target = write(u"target.txt"_s, "Linked quote");
        const QString link = m_dir.filePath(u"link.txt"_s);
        QVERIFY(QFile::link(target, link));
        QCOMPARE(quotesOf(readQuotesFile(link, 0)).size(), 1);
    }

    void encodings_data() {
        QTest::addColumn<QByteArray>("bytes");
        const QString text = u"Ünïcödé ✨\r\n\r\n— 작가"_s;
        auto encode = [&](QStringConverter::Encoding encoding, bool bom) {
            QStringEncoder encoder(encoding, bom ? QStringConverter::Flag::WriteBom
                                                 : QStringConverter::Flag::Default);
            return QByteArray(encoder.encode(text));
        };
        QTest::newRow("UTF-8") << encode(QStringConverter::Utf8, false);
        QTest::newRow("UTF-8 with BOM") << encode(QStringConverter::Utf8, true);
        QTest::newRow("UTF-16 LE with BOM") << encode(QStringConverter::Utf16LE, true);
        QTest::newRow("UTF-16 BE with BOM") << encode(QStringConverter::Utf16BE, true);
        QTest::newRow("UTF-16 LE without BOM") << encode(QStringConverter::Utf16LE, false);
    }

    void encodings() {
        QFETCH(QByteArray, bytes);
        const auto result = readQuotesFile(write(u"text.txt"_s, bytes), 0);
        const QList<Quote> quotes = quotesOf(result);
        QCOMPARE(quotes.size(), 1);
        QCOMPARE(quotes.first().text, u"Ünïcödé ✨"_s);
        QCOMPARE(quotes.first().source, u"작가"_s);
    }

    void binaryIsNotText() {
        QByteArray binary;
        for (int i = 0; i < 4096; ++i)
            binary.append(char(i * 7919 % 256));
        QCOMPARE(messageOf(readQuotesFile(write(u"binary.txt"_s, binary), 0)),
                 u"ios.quotes.importFailed"_s);
        // Odd-length bytes that are not UTF-8 cannot be UTF-16 either.
        QCOMPARE(decodeImportText(QByteArray("\xff\xfe\x41", 3)), std::nullopt);
        // A lone surrogate is not UTF-16.
        QCOMPARE(decodeImportText(QByteArray("\xff\xfe\x00\xd8\x41\x00", 6)), std::nullopt);
    }

    void longLineWithoutBreaks() {
        const QByteArray line(maxImportFileSize, 'x');
        const QList<Quote> quotes = quotesOf(readQuotesFile(write(u"line.txt"_s, line), 0));
        QCOMPARE(quotes.size(), 1);
        QCOMPARE(quotes.first().text.size(), 500);
    }
};

QTEST_GUILESS_MAIN(TestQuoteFile)
#include "tst_quotefile.moc"
