#pragma once

#include "keyvaluestore.h"

#include <QHash>
#include <QSet>
#include <QUrl>

#include <memory>

struct redisAsyncContext;
class QTimer;

namespace tessaro {

class RedisQtAdapter;

// Keys as values in a Redis server shared by the user's devices, named by a
// URL "redis://[[user]:password@]host[:port][/db]".
//
// The interface is synchronous and the window must never wait for the
// network, so reads answer from a local copy: the value last fetched from the
// server or last set here. Every key read or written is followed: after each
// (re)connection the store subscribes to change notices first and then fetches
// every followed key, so nothing published while it was away is missed.
// Writes made while away are kept and sent once connected again; when the
// server meanwhile got another device's value, that value is offered as a
// conflict copy before it is overwritten.
class RedisKeyValueStore final : public KeyValueStore {
    Q_OBJECT

public:
    explicit RedisKeyValueStore(const QUrl& url, QObject* parent = nullptr);
    ~RedisKeyValueStore() override;

    std::optional<QByteArray> data(const QString& key) override;
    bool setData(const QString& key, const QByteArray& value) override;
    // Fetches every followed key and sends writes that did not get through.
    // Does nothing while disconnected: a reconnection is already under way.
    void synchronize() override;
    QList<ConflictCopy> conflictCopies(const QString& key) override;
    void removeConflictCopy(const QString& key, const QString& name) override;

    // Subscribed and ready for commands.
    bool isOnline() const { return m_state == State::online; }
    // Sent with every change notice, so that a store can ignore its own.
    QByteArray deviceId() const { return m_deviceId; }

    static QByteArray channelForKey(const QString& key);

    // Values larger than this are neither written nor taken from the server.
    static constexpr qsizetype maxValueBytes = 64 * 1024 * 1024;
    static constexpr int firstRetryMs = 200;
    static constexpr int lastRetryMs = 10'000;
    // A connection that neither succeeds nor fails within this is given up.
    static constexpr int connectTimeoutMs = 10'000;

Q_SIGNALS:
    // The store came online or went offline; isOnline() says which. Raised
    // from the event loop, never from inside the connection's own calls.
    void onlineChanged();

private:
    enum class State { unusable, resolving, connecting, online, failing, waiting };

    struct Entry {
        std::optional<QByteArray> value;
        // What the server held when last seen or written by this store.
        std::optional<QByteArray> server;
        // Raised by every local write; fetches older than it are stale.
        quint64 version = 0;
        // A local write that has not reached the server yet.
        bool unsent = false;
        QList<ConflictCopy> conflicts;
    };
    struct Link {
        RedisKeyValueStore* store = nullptr;
        redisAsyncContext* context = nullptr;
        RedisQtAdapter* adapter = nullptr;
        bool ready = false;
    };
    struct Fetch;
    struct Write;
    struct Batch;
    struct Lookup;

    void connectToServer();
    void hostResolved(const QByteArray& address, const QByteArray& error);
    void openLinks(const QByteArray& address);
    bool openLink(Link& link, const QByteArray& address);
    void linkReady(Link& link);
    void fail(const QByteArray& reason);
    void recover();
    void closeLinks();
    void closeLink(Link& link);

    void fetchAndFlush();
    void fetch(const QString& key, Entry& entry, const std::shared_ptr<Batch>& batch,
               bool beforeWrite);
    void send(const QString& key, Entry& entry);
    void fetchNotified();
    void announceChange();
    void announceOnline();

    bool applyFetch(const Fetch& fetch, const void* reply);
    void noteWritten(const Write& write, const void* reply);
    void noticeReceived(const QByteArray& channel, const QByteArray& message);

    static void onConnected(const redisAsyncContext* context, int status);
    static void onDisconnected(const redisAsyncContext* context, int status);
    static void onAuthReply(redisAsyncContext* context, void* reply, void* privdata);
    static void onSelectReply(redisAsyncContext* context, void* reply, void* privdata);
    static void onSubscriberReply(redisAsyncContext* context, void* reply, void* privdata);
    static void onFetchReply(redisAsyncContext* context, void* reply, void* privdata);
    static void onWriteReply(redisAsyncContext* context, void* reply, void* privdata);
    static Link* liveLink(const redisAsyncContext* context);

    QByteArray m_host;
    int m_port = 0;
    int m_db = 0;
    QByteArray m_user;
    QByteArray m_password;
    QString m_endpoint;
    QByteArray m_deviceId;

    State m_state = State::unusable;
    Link m_command;
    Link m_subscriber;
    QTimer* m_retry = nullptr;
    QTimer* m_connectDeadline = nullptr;
    int m_retryMs = firstRetryMs;
    bool m_outageLogged = false;
    bool m_closing = false;
    bool m_announcePending = false;
    std::shared_ptr<Lookup> m_lookup;
    bool m_lookupRunning = false;

    QHash<QString, Entry> m_entries;
    QSet<QString> m_notified;
    int m_conflictSerial = 0;
};

} // namespace tessaro
