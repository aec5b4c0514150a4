// Two devices edit at random over one shared cloud, with change notices
// arriving at random moments; once they settle, both hold the same document,
// everything not deleted is there and nothing deleted came back. The devices
// hear of each other only through their event loops, as the program does:
// a lost change notice leaves them apart and fails the test.
#include "drawings/drawingfiles.h"
#include "platform/folderkeyvaluestore.h"
#include "platform/rediskeyvaluestore.h"
#include "store/cloudsync.h"
#include "store/penstore.h"
#include "support/files.h"
#include "support/memorypreferences.h"
#include "support/redisserver.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

using namespace tessaro;
using namespace Qt::StringLiterals;

namespace {

struct Device {
    QTemporaryDir data;
    test::MemoryPreferences group;
    std::unique_ptr<KeyValueStore> cloud;
    std::unique_ptr<PenStore> store;
    // Each device's own clock: it follows the shared course of time with a
    // skew of its own, smaller than the time between two operations.
    Date time = 700000000;
    QRandomGenerator skew;
};

// What the devices did, to check the outcome against.
struct Ledger {
    QSet<QString> quotes, deletedQuotes;     // by text
    QSet<QString> pens, removedPens;         // by case key
    QSet<QString> drawings, deletedDrawings; // by id
};

class Harness {
public:
    Harness(quint32 seed, std::function<std::unique_ptr<KeyValueStore>()> makeCloud)
        : m_random(seed) {
        m_cloudDrawings = m_cloud.filePath(u"Documents/Drawings"_s);
        for (Device* device : {&m_a, &m_b}) {
            // The clocks draw from generators of their own, so that however
            // often the event loop consults them, a seed replays the same
            // operations.
            device->skew.seed(seed * 2 + (device == &m_b));
            device->cloud = makeCloud();
            PenStore::Environment environment;
            environment.dataFolder = device->data.path();
            environment.keyValueStore = device->cloud.get();
            environment.groupPreferences = &device->group;
            environment.cloudResolver = [folder = m_cloudDrawings] {
                return std::optional(folder);
            };
            environment.clock = [this, device] { return tick(*device); };
            environment.durability = Durability::unflushed;
            environment.pushDelayMs = 5;
            device->store = std::make_unique<PenStore>(environment);
        }
    }

    void run(int operations) {
        for (int i = 0; i < operations; ++i) {
            Device& device = m_random.bounded(2) ? m_a : m_b;
            m_course += operationGap;
            operate(device, i);
            // Let some of the pending notices through, at random moments.
            if (m_random.bounded(3) == 0)
                QTest::qWait(int(m_random.bounded(12)));
            else
                QCoreApplication::processEvents();
        }
    }

    // Waits, doing nothing but running the event loop, until both devices
    // are quiet and hold the same document.
    bool settle() {
        const auto settled = [this] {
            const bool quiet = std::none_of(m_devices.cbegin(), m_devices.cend(), [](Device* d) {
                return d->store->hasPendingCloudPush() || d->store->isReconcilingDrawings();
            });
            return quiet && m_a.store->currentState() == m_b.store->currentState();
        };
        if (QTest::qWaitFor(settled, 15000))
            return true;
        const AppState a = m_a.store->currentState();
        const AppState b = m_b.store->currentState();
        qWarning() << "equal pen" << (a.pen == b.pen) << "saved" << (a.saved == b.saved) << "quotes"
                   << (a.quotes == b.quotes) << "drawings" << (a.drawings == b.drawings)
                   << "deleted" << (a.deleted == b.deleted) << "pending"
                   << m_a.store->hasPendingCloudPush() << m_b.store->hasPendingCloudPush();
        return false;
    }

    void verify() {
        const AppState state = m_a.store->currentState();
        QCOMPARE(m_b.store->currentState(), state);

        const auto keys = [](const auto& records, const auto& key) {
            QSet<QString> set;
            for (const auto& record : records)
                set.insert(key(record));
            return set;
        };
        QCOMPARE(keys(state.quotes, [](const Quote& q) { return q.text; }),
                 m_ledger.quotes - m_ledger.deletedQuotes);
        QCOMPARE(keys(state.saved, [](const Pen& p) { return p.caseKey(); }),
                 m_ledger.pens - m_ledger.removedPens);
        QCOMPARE(keys(state.drawings, [](const Drawing& d) { return d.id; }),
                 m_ledger.drawings - m_ledger.deletedDrawings);
        // A file may still wait for a pass the watcher has only just asked
        // for; it must go then.
        for (const QString& id : m_ledger.deletedDrawings) {
            const QString name = id + u".pkdrawing"_s;
            for (const QString& folder : {m_a.data.filePath(u"Drawings"_s),
                                          m_b.data.filePath(u"Drawings"_s), m_cloudDrawings})
                QTRY_VERIFY2(!QFile::exists(folder + u'/' + name), qPrintable(name));
        }
    }

private:
    static constexpr Date operationGap = 10;

    Date tick(Device& device) {
        device.time = std::max(device.time + 0.001, m_course + device.skew.bounded(3.0));
        return device.time;
    }

    void operate(Device& device, int step) {
        PenStore& store = *device.store;
        static const QStringList beads{u"cherry"_s, u"star"_s, u"pearl"_s, u"bow"_s, u"letter-L"_s};
        switch (m_random.bounded(16)) {
        case 0:
        case 1:
            store.addBead(beads[m_random.bounded(beads.size())]);
            break;
        case 2:
            store.removeBead(m_random.bounded(4));
            break;
        case 3:
            store.moveBead(m_random.bounded(4), m_random.bounded(3) - 1);
            break;
        case 4:
            store.setBarrel(barrelCatalog()[m_random.bounded(5)].id);
            break;
        case 5:
            store.setType(penTypeCatalog()[m_random.bounded(7)].id);
            break;
        case 6:
            store.setActiveGroup(beadGroups()[m_random.bounded(7)]);
            break;
        case 7:
            store.addBead(u"sky"_s);
            if (store.saveToCase())
                m_ledger.pens.insert(store.saved().first().caseKey());
            break;
        case 8:
            if (!store.saved().isEmpty()) {
                const qsizetype index = m_random.bounded(int(store.saved().size()));
                const bool hadBeads = !store.pen().beads.isEmpty();
                m_ledger.removedPens.insert(store.saved()[index].caseKey());
                store.takeFromCase(index);
                if (hadBeads)
                    m_ledger.pens.insert(store.saved().first().caseKey());
            }
            break;
        case 9:
            if (!store.saved().isEmpty()) {
                const qsizetype index = m_random.bounded(int(store.saved().size()));
                m_ledger.removedPens.insert(store.saved()[index].caseKey());
                store.deleteFromCase(index);
            }
            break;
        case 10:
        case 11: {
            const QString text = u"quote "_s + QString::number(step);
            if (store.addQuote(text, u"src"_s, {}))
                m_ledger.quotes.insert(text);
            break;
        }
        case 12:
            if (!store.quotes().isEmpty()) {
                const Quote quote = store.quotes()[m_random.bounded(int(store.quotes().size()))];
                m_ledger.deletedQuotes.insert(quote.text);
                store.deleteQuote(quote.id);
            }
            break;
        case 13:
        case 14: {
            const QString id = u"page-"_s + QString::number(step);
            const QString folder = device.data.filePath(u"Drawings"_s);
            QDir().mkpath(folder);
            // Whole and dated at once, as a page arrives: the store's worker
            // may list the folder at any moment.
            const QString incoming = folder + u"/.incoming"_s;
            test::writeFile(incoming, "strokes of " + id.toUtf8());
            test::setModified(incoming, unixFromDate(tick(device)));
            QFile::rename(incoming, folder + u'/' + id + u".pkdrawing"_s);
            store.reconcileDrawings();
            m_ledger.drawings.insert(id);
            break;
        }
        case 15:
            if (!store.drawings().isEmpty()) {
                const QString id =
                    store.drawings()[m_random.bounded(int(store.drawings().size()))].id;
                m_ledger.deletedDrawings.insert(id);
                store.deleteDrawing(id);
            }
            break;
        }
    }

    QRandomGenerator m_random;
    // The shared course of time that both devices' clocks follow.
    Date m_course = 700000000;
    QTemporaryDir m_cloud;
    QString m_cloudDrawings;
    Device m_a;
    Device m_b;
    const std::array<Device*, 2> m_devices{&m_a, &m_b};
    Ledger m_ledger;
};

} // namespace

class TestConvergence : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void converges_data() {
        QTest::addColumn<quint32>("seed");
        QTest::addColumn<bool>("overRedis");
        for (quint32 seed = 1; seed <= 10; ++seed)
            QTest::addRow("folder, seed %u", seed) << seed << false;
        for (quint32 seed = 101; seed <= 106; ++seed)
            QTest::addRow("redis, seed %u", seed) << seed << true;
    }

    void converges() {
        QFETCH(quint32, seed);
        QFETCH(bool, overRedis);
        QTemporaryDir cloud;
        test::RedisServer server;
        if (overRedis)
            QVERIFY2(server.start(), "redis-server did not start");
        Harness harness(seed, [&]() -> std::unique_ptr<KeyValueStore> {
            if (overRedis)
                return std::make_unique<RedisKeyValueStore>(server.url());
            return std::make_unique<FolderKeyValueStore>(cloud.filePath(u"KeyValue"_s));
        });
        harness.run(80);
        QVERIFY2(harness.settle(), qPrintable(u"seed %1 did not settle"_s.arg(seed)));
        harness.verify();
    }
};

QTEST_GUILESS_MAIN(TestConvergence)
#include "tst_convergence.moc"
