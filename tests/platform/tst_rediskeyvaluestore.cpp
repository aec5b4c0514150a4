#include "platform/rediskeyvaluestore.h"
#include "support/logcapture.h"
#include "support/redisserver.h"

#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QUuid>

#include <algorithm>

using namespace tessaro;
using namespace Qt::StringLiterals;
using tessaro::test::RedisServer;

namespace {

// The store's warnings, kept out of the test output.
struct CloudWarnings : test::LogCapture {
    CloudWarnings()
        : LogCapture("tessaro.cloud", false) {}
    qsizetype size() const { return messages(QtWarningMsg).size(); }
    QString text() const { return messages(QtWarningMsg).join(u' '); }
};

bool anyTimerActive(const QObject& object) {
    const auto timers = object.findChildren<QTimer*>();
    return std::any_of(timers.cbegin(), timers.cend(), [](QTimer* t) { return t->isActive(); });
}

// Returns once `store` has handled what reached it before: the fetch that
// this starts is answered after every earlier command of the store. The
// barrier's value is only ever fetched by its notice, so no fetch left over
// from an earlier barrier can answer for this one. The first time, the
// barrier is made known to the store without a notice: its first fetch is
// sent after the value is set, since writes wait for the event loop.
bool settle(const RedisServer& server, RedisKeyValueStore& store, int timeoutMs = 5000) {
    const QString barrier = u"test.barrier"_s;
    const char* const known = "test.barrierKnown";
    if (!store.property(known).toBool()) {
        if (!server.set(barrier.toUtf8(), "known"))
            return false;
        store.data(barrier);
        if (!QTest::qWaitFor([&] { return store.data(barrier) == "known"; }, timeoutMs))
            return false;
        store.setProperty(known, true);
    }
    const QByteArray token = QUuid::createUuid().toByteArray();
    if (!server.set(barrier.toUtf8(), token) ||
        !server.command({"PUBLISH", RedisKeyValueStore::channelForKey(barrier), "test"}))
        return false;
    const bool seen = QTest::qWaitFor([&] { return store.data(barrier) == token; }, timeoutMs);
    QCoreApplication::processEvents();
    return seen;
}

int getsServed(const RedisServer& server) {
    const QString info = QString::fromLatin1(server.command({"INFO", "commandstats"}).value_or(""));
    return QRegularExpression(u"cmdstat_get:calls=(\\d+)"_s).match(info).captured(1).toInt();
}

} // namespace

#define START(server) QVERIFY2((server).start(), qPrintable((server).errorString()))
#define SETTLE(store) QVERIFY(settle(m_server, store))

class TestRedisKeyValueStore : public QObject {
    Q_OBJECT

    RedisServer m_server;

private Q_SLOTS:
    // One server for all tests; one that a test left down or locked is replaced.
    void init() {
        if (!m_server.command({"FLUSHALL"})) {
            m_server.stop();
            START(m_server);
        }
    }

    void writesReachTheOtherStore_data() {
        QTest::addColumn<QByteArray>("value");
        QTest::addColumn<int>("database");
        QTest::newRow("text") << QByteArray("from a") << 0;
        QTest::newRow("NUL and protocol bytes") << QByteArray("a\0b\0\0c\r\n$3\r\n\xff", 13) << 0;
        QTest::newRow("empty") << QByteArray("") << 0;
        QTest::newRow("one megabyte") << QUuid::createUuid().toRfc4122().repeated(64 * 1024) << 0;
        QTest::newRow("another database") << QByteArray("in three") << 3;
    }
    void writesReachTheOtherStore() {
        QFETCH(QByteArray, value);
        QFETCH(int, database);
        RedisKeyValueStore a(m_server.url(database));
        // By host name, which is looked up away from the caller.
        RedisKeyValueStore b(
            QUrl(m_server.url(database).toString().replace(u"127.0.0.1"_s, u"localhost"_s)));
        QSignalSpy bChanges(&b, &KeyValueStore::externalChange);
        QCOMPARE(b.data(u"k"_s), std::nullopt);
        QTRY_VERIFY(a.isOnline() && b.isOnline());
        a.setData(u"k"_s, value);
        QCOMPARE(a.data(u"k"_s), value);
        QVERIFY(bChanges.wait(5000));
        QCOMPARE(b.data(u"k"_s), value);
        QCOMPARE(m_server.get("k", database), value);
        if (database != 0)
            QCOMPARE(m_server.get("k"), std::nullopt);
    }

    // Across an outage: "k" written on both sides, "n" only here, "p" only by
    // another device, which writes before this store is back; "f" is first
    // written here while away, over a value this store never read; "big" was
    // on its way when the server was killed. The settings hear of each coming
    // and going once, after the fact, and the log tells of the outage once.
    void outageLosesNoWrite() {
        CloudWarnings warnings;
        RedisKeyValueStore a(m_server.url());
        QSignalSpy changes(&a, &KeyValueStore::externalChange);
        QList<bool> seen;
        connect(&a, &RedisKeyValueStore::onlineChanged, &a, [&] { seen.append(a.isOnline()); });
        const auto copies = [&a](const QString& key) {
            QByteArrayList values;
            for (const auto& copy : a.conflictCopies(key))
                values.append(copy.value);
            return values;
        };
        QTRY_VERIFY(a.isOnline());
        for (const QString& key : {u"k"_s, u"n"_s, u"p"_s})
            a.setData(key, "base");
        SETTLE(a);
        changes.clear();

        const QByteArray big(16 * 1024 * 1024, 'x');
        a.setData(u"big"_s, big);
        m_server.kill();
        QTRY_VERIFY(!a.isOnline());
        for (const QString& key : {u"k"_s, u"n"_s, u"f"_s})
            a.setData(key, "mine");
        START(m_server);
        for (const char* key : {"k", "p", "f"})
            QVERIFY(m_server.set(key, "theirs"));
        QVERIFY(m_server.set("n", "base"));

        QTRY_COMPARE(changes.size(), 1);
        QCOMPARE(a.data(u"p"_s), QByteArray("theirs"));
        QCOMPARE(a.data(u"k"_s), QByteArray("mine"));
        QCOMPARE(copies(u"k"_s), QByteArrayList{"theirs"});
        QCOMPARE(copies(u"f"_s), QByteArrayList{"theirs"});
        QCOMPARE(copies(u"n"_s), QByteArrayList());
        for (const char* key : {"k", "n", "f"})
            QTRY_COMPARE(m_server.get(key), QByteArray("mine"));
        QTRY_COMPARE(m_server.command({"STRLEN", "big"}), QByteArray::number(big.size()));
        QCOMPARE(warnings.size(), 1);
        a.removeConflictCopy(u"k"_s, a.conflictCopies(u"k"_s).first().name);
        QCOMPARE(copies(u"k"_s), QByteArrayList());
        QVERIFY(a.isOnline() && !anyTimerActive(a));
        QCOMPARE(seen, (QList<bool>{true, false, true}));
    }

    void unusableServersKeepValuesLocal_data() {
        QTest::addColumn<QString>("address");
        QTest::addColumn<bool>("retried");
        QTest::newRow("nobody listening")
            << u"redis://:s3cret@127.0.0.1:%1/0"_s.arg(RedisServer::freePort()) << true;
        QTest::newRow("other scheme") << u"http://127.0.0.1:6379/0"_s << false;
        QTest::newRow("no host") << u"redis://"_s << false;
        QTest::newRow("port out of range") << u"redis://:s3cret@127.0.0.1:99999/0"_s << false;
        QTest::newRow("signed database") << u"redis://:s3cret@127.0.0.1:6379/+1"_s << false;
        QTest::newRow("not a URL") << u"::::"_s << false;
        QTest::newRow("wrong password") << QString() << true;
    }
    void unusableServersKeepValuesLocal() {
        QFETCH(QString, address);
        QFETCH(bool, retried);
        CloudWarnings warnings;
        QUrl url(address);
        if (address.isEmpty()) {
            // The password is sent when given, and a wrong one is refused.
            QVERIFY(m_server.command({"CONFIG", "SET", "requirepass", "s3cret"}));
            url = m_server.url();
            url.setUserInfo(u":s3cret"_s);
            RedisKeyValueStore allowed(url);
            QTRY_VERIFY(allowed.isOnline());
            url.setUserInfo(u":wrong-s3cret"_s);
        }
        RedisKeyValueStore store{url};
        store.setData(u"k"_s, "kept here");
        store.synchronize();
        // Three attempts (200, then 400 ms apart), one warning.
        if (retried)
            QTRY_VERIFY(store.findChild<QTimer*>(u"retry"_s)->interval() >= 800);
        QCOMPARE(store.data(u"k"_s), QByteArray("kept here"));
        QVERIFY(!store.isOnline());
        QCOMPARE(anyTimerActive(store), retried);
        QCOMPARE(warnings.size(), 1);
        QVERIFY2(!warnings.text().contains(u"s3cret"_s), qPrintable(warnings.text()));
    }

    void unusableValuesAreNeitherSentNorTakenOwnWritesComeBackAsNothing() {
        CloudWarnings warnings;
        RedisKeyValueStore store(m_server.url());
        store.data(u"huge"_s);
        store.data(u"list"_s);
        QTRY_VERIFY(store.isOnline());
        store.setData(u"big"_s, QByteArray(RedisKeyValueStore::maxValueBytes + 1, 'x'));
        QCOMPARE(store.data(u"big"_s), std::nullopt);
        // Made by the server, so that the test does not send 64 MiB itself.
        const QByteArray limit = QByteArray::number(RedisKeyValueStore::maxValueBytes);
        QVERIFY(m_server.command({"SETRANGE", "huge", limit, "x"}));
        QVERIFY(m_server.command({"RPUSH", "list", "a list"}));
        store.synchronize();
        // 64 MiB take a while to arrive, more so under a sanitizer.
        QVERIFY(settle(m_server, store, 30'000));
        QCOMPARE(m_server.get("big"), std::nullopt);
        QCOMPARE(store.data(u"huge"_s), std::nullopt);
        QCOMPARE(store.data(u"list"_s), std::nullopt);
        QVERIFY(store.isOnline());
        QCOMPARE(warnings.size(), 3);

        // Own writes come back as nothing.
        QVERIFY(m_server.command({"DEL", "huge", "list"}));
        QSignalSpy changes(&store, &KeyValueStore::externalChange);
        QVERIFY(m_server.command({"CONFIG", "RESETSTAT"}));
        store.setData(u"k"_s, "first");
        SETTLE(store);
        QCOMPARE(getsServed(m_server), 1); // the barrier's: the own notice fetched nothing

        // Fetches that race the writes would otherwise bring back older values.
        for (int i = 0; i < 20; ++i) {
            store.setData(u"k"_s, QByteArray::number(i));
            store.synchronize();
        }
        store.setData(u"k"_s, "last");
        SETTLE(store);
        QCOMPARE(changes.size(), 2); // the barriers'
        QCOMPARE(store.data(u"k"_s), QByteArray("last"));
        QCOMPARE(m_server.get("k"), QByteArray("last"));
    }

    // A store may be deleted in every state, even by a listener of its own
    // change.
    void destructionIsCleanInEveryState() {
        delete new RedisKeyValueStore(m_server.url()); // while connecting
        auto* a = new RedisKeyValueStore(m_server.url());
        auto* b = new RedisKeyValueStore(m_server.url());
        b->data(u"k"_s);
        connect(b, &KeyValueStore::externalChange, this, [&b] {
            delete b;
            b = nullptr;
        });
        QTRY_VERIFY(a->isOnline() && b->isOnline());
        a->setData(u"k"_s, "goodbye");
        QTRY_VERIFY(b == nullptr);
        a->setData(u"k"_s, QByteArray(1024 * 1024, 'x'));
        a->synchronize();
        delete a; // with commands in flight
        auto* waiting = new RedisKeyValueStore(m_server.url());
        QTRY_VERIFY(waiting->isOnline());
        m_server.stop();
        QTRY_VERIFY(!waiting->isOnline());
        delete waiting; // while waiting to reconnect
        delete new RedisKeyValueStore(QUrl(u"redis://localhost:1/0"_s)); // while looking up
        QTest::qWait(100);
    }
};

QTEST_GUILESS_MAIN(TestRedisKeyValueStore)
#include "tst_rediskeyvaluestore.moc"
