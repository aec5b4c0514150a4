#include "platform/rediskeyvaluestore.h"
#include "support/redisserver.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QUuid>

#include <algorithm>
#include <memory>

using namespace tessaro;
using namespace Qt::StringLiterals;
using tessaro::test::RedisServer;

namespace {

// Collects what the store logs while it lives, and keeps it out of the test
// output.
class CloudLog {
public:
    CloudLog() {
        s_types.clear();
        s_texts.clear();
        s_previous = qInstallMessageHandler(&CloudLog::handle);
    }
    ~CloudLog() { qInstallMessageHandler(s_previous); }

    static int warnings() {
        return int(std::count(s_types.cbegin(), s_types.cend(), QtWarningMsg));
    }
    static QString text() { return s_texts.join(u'\n'); }

private:
    static void handle(QtMsgType type, const QMessageLogContext& context, const QString& text) {
        if (qstrcmp(context.category, "tessaro.cloud") == 0) {
            s_types.append(type);
            s_texts.append(text);
        } else if (s_previous) {
            s_previous(type, context, text);
        }
    }

    static inline QtMessageHandler s_previous = nullptr;
    static inline QList<QtMsgType> s_types;
    static inline QStringList s_texts;
};

bool anyTimerActive(const QObject& object) {
    const auto timers = object.findChildren<QTimer*>();
    return std::any_of(timers.cbegin(), timers.cend(), [](QTimer* t) { return t->isActive(); });
}

const QString barrierKey = u"test.barrier"_s;

// Returns once `store` has handled what reached it before: the fetch that
// this starts is answered after every earlier command of the store.
bool settle(const RedisServer& server, RedisKeyValueStore& store, int timeoutMs = 5000) {
    const QByteArray token = QUuid::createUuid().toByteArray();
    store.data(barrierKey);
    if (!server.set(barrierKey.toUtf8(), token) ||
        !server.command({"PUBLISH", RedisKeyValueStore::channelForKey(barrierKey), "test"}))
        return false;
    const bool seen = QTest::qWaitFor([&] { return store.data(barrierKey) == token; }, timeoutMs);
    QCoreApplication::processEvents();
    return seen;
}

QByteArray pattern(qsizetype size) {
    QByteArray bytes(size, Qt::Uninitialized);
    for (qsizetype i = 0; i < size; ++i)
        bytes[i] = char((i * 131 + i / 7) & 0xff);
    return bytes;
}

} // namespace

#define START(server) QVERIFY2((server).start(), qPrintable((server).errorString()))
#define SETTLE(server, store) QVERIFY(settle(server, store))

class TestRedisKeyValueStore : public QObject {
    Q_OBJECT

    std::unique_ptr<RedisServer> m_server;

private slots:
    void init() {
        m_server = std::make_unique<RedisServer>();
        START(*m_server);
    }
    void cleanup() { m_server.reset(); }

    // Two devices on one server.

    void writesReachTheOtherStore() {
        RedisKeyValueStore a(m_server->url());
        RedisKeyValueStore b(m_server->url());
        QSignalSpy bChanges(&b, &KeyValueStore::externalChange);
        QCOMPARE(b.data(u"k"_s), std::nullopt);
        QTRY_VERIFY(a.isOnline() && b.isOnline());

        a.setData(u"k"_s, "from a");
        QCOMPARE(a.data(u"k"_s), QByteArray("from a"));
        QVERIFY(bChanges.wait(5000));
        QCOMPARE(b.data(u"k"_s), QByteArray("from a"));
        QCOMPARE(m_server->get("k"), QByteArray("from a"));

        // And back.
        QSignalSpy aChanges(&a, &KeyValueStore::externalChange);
        b.setData(u"k"_s, "from b");
        QVERIFY(aChanges.wait(5000));
        QCOMPARE(a.data(u"k"_s), QByteArray("from b"));
    }

    void ownWritesRaiseNothing() {
        RedisKeyValueStore a(m_server->url());
        RedisKeyValueStore b(m_server->url());
        b.data(u"k"_s);
        QTRY_VERIFY(a.isOnline() && b.isOnline());
        QSignalSpy aChanges(&a, &KeyValueStore::externalChange);
        QSignalSpy bChanges(&b, &KeyValueStore::externalChange);

        // Pulls that race the writes would otherwise bring back older values.
        for (int i = 0; i < 20; ++i) {
            a.setData(u"k"_s, QByteArray::number(i));
            a.synchronize();
        }
        a.setData(u"k"_s, "last");
        SETTLE(*m_server, a);
        QCOMPARE(aChanges.size(), 1); // the barrier's
        QCOMPARE(a.data(u"k"_s), QByteArray("last"));
        QTRY_COMPARE(b.data(u"k"_s), QByteArray("last"));
        QVERIFY(bChanges.size() >= 1);
        QCOMPARE(m_server->get("k"), QByteArray("last"));
    }

    void valuesAreBinarySafe_data() {
        QTest::addColumn<QByteArray>("value");
        QTest::newRow("NUL bytes") << QByteArray("a\0b\0\0c\r\n$3\r\n", 13);
        QTest::newRow("every byte") << pattern(256);
        QTest::newRow("empty") << QByteArray("");
        QTest::newRow("one megabyte") << pattern(1024 * 1024);
    }
    void valuesAreBinarySafe() {
        QFETCH(QByteArray, value);
        RedisKeyValueStore a(m_server->url());
        RedisKeyValueStore b(m_server->url());
        QSignalSpy bChanges(&b, &KeyValueStore::externalChange);
        b.data(u"blob"_s);
        QTRY_VERIFY(a.isOnline() && b.isOnline());
        a.setData(u"blob"_s, value);
        QVERIFY(bChanges.wait(5000));
        QCOMPARE(b.data(u"blob"_s), value);
        QCOMPARE(m_server->get("blob"), value);
    }

    void databaseNumberKeepsStoresApart() {
        RedisKeyValueStore three(m_server->url(3));
        RedisKeyValueStore zero(m_server->url(0));
        zero.data(u"k"_s);
        QTRY_VERIFY(three.isOnline() && zero.isOnline());
        three.setData(u"k"_s, "in three");
        QTRY_COMPARE(m_server->get("k", 3), QByteArray("in three"));
        SETTLE(*m_server, zero);
        QCOMPARE(m_server->get("k", 0), std::nullopt);
        QCOMPARE(zero.data(u"k"_s), std::nullopt);
    }

    void hostNamesAreResolvedAway() {
        QUrl url = m_server->url();
        url.setHost(u"localhost"_s);
        RedisKeyValueStore store(url);
        QTRY_VERIFY(store.isOnline());
    }

    // Outages.

    void offlineWriteArrivesAfterRestart() {
        RedisKeyValueStore a(m_server->url());
        RedisKeyValueStore b(m_server->url());
        QSignalSpy aChanges(&a, &KeyValueStore::externalChange);
        QSignalSpy bChanges(&b, &KeyValueStore::externalChange);
        b.data(u"k"_s);
        QTRY_VERIFY(a.isOnline() && b.isOnline());

        m_server->stop();
        QTRY_VERIFY(!a.isOnline() && !b.isOnline());
        a.setData(u"k"_s, "written offline");
        QCOMPARE(a.data(u"k"_s), QByteArray("written offline"));
        START(*m_server);

        QTRY_COMPARE(b.data(u"k"_s), QByteArray("written offline"));
        QVERIFY(bChanges.size() >= 1);
        QTRY_COMPARE(m_server->get("k"), QByteArray("written offline"));
        QCOMPARE(aChanges.size(), 0);
        QVERIFY(a.conflictCopies(u"k"_s).isEmpty());
    }

    void changesMadeWhileAwayArePulledOnReconnect() {
        RedisKeyValueStore a(m_server->url());
        QSignalSpy changes(&a, &KeyValueStore::externalChange);
        QTRY_VERIFY(a.isOnline());
        a.setData(u"k"_s, "old");
        SETTLE(*m_server, a);
        changes.clear();

        m_server->kill();
        QTRY_VERIFY(!a.isOnline());
        START(*m_server);
        // Another device writes before this one is back; no notice reaches it.
        QVERIFY(m_server->set("k", "remote"));

        QTRY_VERIFY(changes.size() >= 1);
        QCOMPARE(a.data(u"k"_s), QByteArray("remote"));
        QTRY_VERIFY(a.isOnline());
    }

    void offlineWriteKeepsTheRemoteValueAsConflictCopy() {
        RedisKeyValueStore a(m_server->url());
        QSignalSpy changes(&a, &KeyValueStore::externalChange);
        QTRY_VERIFY(a.isOnline());
        a.setData(u"k"_s, "base");
        SETTLE(*m_server, a);
        changes.clear();

        m_server->stop();
        QTRY_VERIFY(!a.isOnline());
        a.setData(u"k"_s, "mine");
        START(*m_server);
        QVERIFY(m_server->set("k", "theirs"));

        QTRY_COMPARE(changes.size(), 1);
        QCOMPARE(a.data(u"k"_s), QByteArray("mine"));
        const auto copies = a.conflictCopies(u"k"_s);
        QCOMPARE(copies.size(), 1);
        QCOMPARE(copies.first().value, QByteArray("theirs"));
        QTRY_COMPARE(m_server->get("k"), QByteArray("mine"));

        a.removeConflictCopy(u"k"_s, copies.first().name);
        QVERIFY(a.conflictCopies(u"k"_s).isEmpty());
    }

    void firstConnectionDoesNotOverwriteUnreadValue() {
        QVERIFY(m_server->set("k", "only copy"));
        RedisKeyValueStore fresh(m_server->url());
        QSignalSpy changes(&fresh, &KeyValueStore::externalChange);
        fresh.setData(u"k"_s, "default");

        QTRY_COMPARE(changes.size(), 1);
        const auto copies = fresh.conflictCopies(u"k"_s);
        QCOMPARE(copies.size(), 1);
        QCOMPARE(copies.first().value, QByteArray("only copy"));
        QTRY_COMPARE(m_server->get("k"), QByteArray("default"));
    }

    void serverKilledMidWriteIsSurvived() {
        CloudLog log;
        RedisKeyValueStore a(m_server->url());
        QTRY_VERIFY(a.isOnline());
        const QByteArray big = pattern(16 * 1024 * 1024);
        a.setData(u"k"_s, big);
        m_server->kill();
        QTRY_VERIFY(!a.isOnline());
        START(*m_server);
        // The write was not confirmed, so it is sent again.
        QTRY_VERIFY(a.isOnline());
        QTRY_COMPARE(m_server->command({"STRLEN", "k"}), QByteArray::number(big.size()));
        QCOMPARE(CloudLog::warnings(), 1);
    }

    // What the store is handed or sent.

    void unusableAddressesReturnAtOnce_data() {
        QTest::addColumn<QString>("address");
        QTest::newRow("other scheme") << u"http://127.0.0.1:6379/0"_s;
        QTest::newRow("no host") << u"redis://"_s;
        QTest::newRow("word as database") << u"redis://127.0.0.1:6379/abc"_s;
        QTest::newRow("negative database") << u"redis://127.0.0.1:6379/-1"_s;
        QTest::newRow("deeper path") << u"redis://127.0.0.1:6379/1/2"_s;
        QTest::newRow("port out of range") << u"redis://:s3cret@127.0.0.1:99999/0"_s;
        QTest::newRow("signed database") << u"redis://:s3cret@127.0.0.1:6379/+1"_s;
        QTest::newRow("not a URL") << u"::::"_s;
    }
    void unusableAddressesReturnAtOnce() {
        QFETCH(QString, address);
        CloudLog log;
        QElapsedTimer clock;
        clock.start();
        {
            RedisKeyValueStore store{QUrl(address)};
            store.setData(u"k"_s, "kept here");
            QCOMPARE(store.data(u"k"_s), QByteArray("kept here"));
            store.synchronize();
            QVERIFY(!store.isOnline());
            // Nothing to retry.
            QVERIFY(!anyTimerActive(store));
        }
        QVERIFY2(clock.elapsed() < 200, qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(CloudLog::warnings(), 1);
        QVERIFY(!CloudLog::text().contains(u"s3cret"_s));
    }

    void unreachableServerIsRetriedQuietly() {
        CloudLog log;
        QUrl url = m_server->url();
        url.setPort(RedisServer::freePort());
        QElapsedTimer clock;
        clock.start();
        RedisKeyValueStore store(url);
        store.setData(u"k"_s, "kept here");
        QCOMPARE(store.data(u"k"_s), QByteArray("kept here"));
        store.synchronize();
        QVERIFY(clock.elapsed() < 200);

        // Several attempts, one log line.
        QTest::qWait(1000);
        QVERIFY(!store.isOnline());
        QVERIFY(anyTimerActive(store));
        QCOMPARE(CloudLog::warnings(), 1);
    }

    void passwordIsSentButNeverLogged() {
        QVERIFY(m_server->command({"CONFIG", "SET", "requirepass", "s3cret"}));
        CloudLog log;
        QUrl url = m_server->url();
        url.setUserInfo(u":s3cret"_s);
        RedisKeyValueStore allowed(url);
        QTRY_VERIFY(allowed.isOnline());

        url.setUserInfo(u":wrong-s3cret"_s);
        RedisKeyValueStore refused(url);
        QTRY_COMPARE(CloudLog::warnings(), 1);
        QVERIFY(!refused.isOnline());
        QVERIFY2(!CloudLog::text().contains(u"s3cret"_s), qPrintable(CloudLog::text()));
    }

    void oversizedValuesAreRefused() {
        CloudLog log;
        RedisKeyValueStore a(m_server->url());
        RedisKeyValueStore b(m_server->url());
        b.data(u"k"_s);
        QTRY_VERIFY(a.isOnline() && b.isOnline());
        QByteArray huge(RedisKeyValueStore::maxValueBytes + 1, 'x');

        a.setData(u"k"_s, huge);
        QCOMPARE(a.data(u"k"_s), std::nullopt);
        QCOMPARE(CloudLog::warnings(), 1);
        SETTLE(*m_server, a);
        QCOMPARE(m_server->get("k"), std::nullopt);

        // Another program put one there.
        QVERIFY(m_server->set("k", huge));
        huge.clear();
        b.synchronize();
        // 64 MiB take a while to arrive, more so under a sanitizer.
        QVERIFY(settle(*m_server, b, 30'000));
        QCOMPARE(b.data(u"k"_s), std::nullopt);
        QVERIFY(b.isOnline());
        QCOMPARE(CloudLog::warnings(), 2);
    }

    void valueOfTheWrongTypeIsIgnored() {
        CloudLog log;
        RedisKeyValueStore store(m_server->url());
        store.data(u"k"_s);
        QTRY_VERIFY(store.isOnline());
        QVERIFY(m_server->command({"RPUSH", "k", "a list"}));
        store.synchronize();
        SETTLE(*m_server, store);
        QCOMPARE(store.data(u"k"_s), std::nullopt);
        QVERIFY(store.isOnline());
        QCOMPARE(CloudLog::warnings(), 1);
    }

    // Life cycle.

    void idleStoreRunsNoTimer() {
        RedisKeyValueStore store(m_server->url());
        QTRY_VERIFY(store.isOnline());
        store.setData(u"k"_s, "v");
        SETTLE(*m_server, store);
        QVERIFY(!anyTimerActive(store));

        // Nor after an outage, once back.
        m_server->stop();
        QTRY_VERIFY(!store.isOnline());
        START(*m_server);
        QTRY_VERIFY(store.isOnline());
        QVERIFY(!anyTimerActive(store));
    }

    void destructionIsCleanInEveryState() {
        // While connecting.
        delete new RedisKeyValueStore(m_server->url());
        // With commands in flight.
        auto* busy = new RedisKeyValueStore(m_server->url());
        busy->data(u"other"_s);
        QTRY_VERIFY(busy->isOnline());
        busy->setData(u"k"_s, pattern(1024 * 1024));
        busy->synchronize();
        delete busy;
        // While waiting to reconnect.
        auto* waiting = new RedisKeyValueStore(m_server->url());
        QTRY_VERIFY(waiting->isOnline());
        m_server->stop();
        QTRY_VERIFY(!waiting->isOnline());
        delete waiting;
        // While a host name is being looked up.
        delete new RedisKeyValueStore(QUrl(u"redis://localhost:1/0"_s));
        QTest::qWait(100);
    }

    void listenerMayDeleteTheStore() {
        RedisKeyValueStore a(m_server->url());
        auto* b = new RedisKeyValueStore(m_server->url());
        b->data(u"k"_s);
        connect(b, &KeyValueStore::externalChange, this, [&b] {
            delete b;
            b = nullptr;
        });
        QTRY_VERIFY(a.isOnline() && b->isOnline());
        a.setData(u"k"_s, "goodbye");
        QTRY_VERIFY(b == nullptr);
        QTest::qWait(50);
    }
};

QTEST_GUILESS_MAIN(TestRedisKeyValueStore)
#include "tst_rediskeyvaluestore.moc"
