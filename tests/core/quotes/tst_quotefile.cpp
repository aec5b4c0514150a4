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
    // The quotes sheet's test reads a file of exactly 5 MiB and one that is
    // not text.
    void sizeLimits() {
        const QByteArray exactly(maxImportFileSize, 'a');
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

    void encodings_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("source");
        auto encode = [](const QString& text, QStringConverter::Encoding encoding, bool bom) {
            QStringEncoder encoder(encoding, bom ? QStringConverter::Flag::WriteBom
                                                 : QStringConverter::Flag::Default);
            return QByteArray(encoder.encode(text));
        };
        const QString text = u"Ünïcödé ✨"_s;
        const QString ascii = u"Plain words"_s;
        const struct {
            const char* name;
            QStringConverter::Encoding encoding;
            bool bom;
        } rows[] = {{"UTF-8", QStringConverter::Utf8, false},
                    {"UTF-8 with BOM", QStringConverter::Utf8, true},
                    {"UTF-16 LE with BOM", QStringConverter::Utf16LE, true},
                    {"UTF-16 BE with BOM", QStringConverter::Utf16BE, true},
                    {"UTF-16 LE", QStringConverter::Utf16LE, false},
                    {"UTF-16 BE", QStringConverter::Utf16BE, false}};
        for (const auto& row : rows) {
            QTest::addRow("%s", row.name)
                << encode(text + u"\r\n\r\n— 작가"_s, row.encoding, row.bom) << text << u"작가"_s;
            // ASCII in UTF-16 is also valid UTF-8, but for its NUL bytes.
            QTest::addRow("%s, ASCII only", row.name)
                << encode(ascii + u"\r\n\r\n— Me"_s, row.encoding, row.bom) << ascii << u"Me"_s;
        }
    }

    void encodings() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        QFETCH(QString, source);
        const QList<Quote> quotes = quotesOf(readQuotesFile(write(u"text.txt"_s, bytes), 0));
        QCOMPARE(quotes.size(), 1);
        QCOMPARE(quotes.first().text, text);
        QCOMPARE(quotes.first().source, source);
    }

    // The quotes sheet's test imports binary bytes.
    void notText_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("odd length, not UTF-8") << QByteArray("\xff\xfe\x41", 3);
        QTest::newRow("lone surrogate") << QByteArray("\xff\xfe\x00\xd8\x41\x00", 6);
        QTest::newRow("UTF-8 with a NUL") << QByteArray("Some words\0 and more", 21);
        QTest::newRow("UTF-8 with a NUL, even length") << QByteArray("Some words\0 and more!", 22);
        QTest::newRow("UTF-16 with a NUL") << QByteArray("S\0o\0\0\0m\0e\0", 10);
        QTest::newRow("UTF-16 with a NUL and a BOM") << QByteArray("\xfe\xff\0S\0\0\0o", 8);
    }

    void notText() {
        QFETCH(QByteArray, bytes);
        QCOMPARE(decodeImportText(bytes), std::nullopt);
    }
};

QTEST_GUILESS_MAIN(TestQuoteFile)
#include "tst_quotefile.moc"
