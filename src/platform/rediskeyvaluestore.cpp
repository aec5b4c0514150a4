#include "rediskeyvaluestore.h"

#include "cloudlog.h"
#include "redisqtadapter.h"

#include <QTimer>
#include <QUuid>

#include <algorithm>
#include <arpa/inet.h>
#include <hiredis/async.h>
#include <hiredis/hiredis.h>
#include <mutex>
#include <netdb.h>
#include <sys/socket.h>
#include <system_error>
#include <thread>
#include <utility>

namespace tessaro {

namespace {

const QByteArray channelPrefix = QByteArrayLiteral("tessaro.kv.");
const QByteArray channelPattern = QByteArrayLiteral("tessaro.kv.*");

bool isNumericHost(const QByteArray& host) {
    in6_addr address;
    return inet_pton(AF_INET, host.constData(), &address) == 1 ||
           inet_pton(AF_INET6, host.constData(), &address) == 1;
}

struct Resolved {
    QByteArray address;
    QByteArray error;
};

// Blocking, so it runs on a worker thread. IPv4 is preferred, as hiredis
// itself does.
Resolved resolveHost(const QByteArray& host) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    const int status = getaddrinfo(host.constData(), nullptr, &hints, &found);
    if (status != 0)
        return {{}, QByteArray(gai_strerror(status))};
    const addrinfo* chosen = nullptr;
    for (const addrinfo* entry = found; entry && !chosen; entry = entry->ai_next)
        if (entry->ai_family == AF_INET)
            chosen = entry;
    for (const addrinfo* entry = found; entry && !chosen; entry = entry->ai_next)
        if (entry->ai_family == AF_INET6)
            chosen = entry;
    char text[INET6_ADDRSTRLEN] = {};
    bool ok = false;
    if (chosen && chosen->ai_family == AF_INET)
        ok = inet_ntop(AF_INET, &reinterpret_cast<const sockaddr_in*>(chosen->ai_addr)->sin_addr,
                       text, sizeof text);
    else if (chosen)
        ok = inet_ntop(AF_INET6, &reinterpret_cast<const sockaddr_in6*>(chosen->ai_addr)->sin6_addr,
                       text, sizeof text);
    freeaddrinfo(found);
    if (!ok)
        return {{}, QByteArrayLiteral("no usable address")};
    return {QByteArray(text), {}};
}

QByteArray errorText(const redisAsyncContext* context, const char* fallback) {
    const QByteArray text(context->c.errstr);
    return text.isEmpty() ? QByteArray(fallback) : text;
}

QByteArray replyText(const redisReply* reply) {
    if (reply->type == REDIS_REPLY_ERROR || reply->type == REDIS_REPLY_STATUS ||
        reply->type == REDIS_REPLY_STRING)
        return QByteArray(reply->str, qsizetype(reply->len));
    return QByteArrayLiteral("an unexpected reply");
}

bool isString(const redisReply* reply) {
    return reply && reply->type == REDIS_REPLY_STRING;
}

} // namespace

// A fetch of one key, in flight on the command connection.
struct RedisKeyValueStore::Fetch {
    QString key;
    quint64 version = 0;
    // Set when this store's unsent write of the key follows the fetch: the
    // reply then shows what the write is about to replace.
    std::optional<QByteArray> pendingValue;
    std::shared_ptr<Batch> batch;
};

struct RedisKeyValueStore::Write {
    RedisKeyValueStore* store = nullptr;
    QString key;
    quint64 version = 0;
    QByteArray value;
};

// Fetches sent together; their changes are announced once.
struct RedisKeyValueStore::Batch {
    RedisKeyValueStore* store = nullptr;
    int outstanding = 0;
    bool changed = false;
};

// Shared with the name-lookup thread, which may outlive the store.
struct RedisKeyValueStore::Lookup {
    std::mutex mutex;
    RedisKeyValueStore* owner = nullptr;
};

RedisKeyValueStore::RedisKeyValueStore(const QUrl& url, QObject* parent)
    : KeyValueStore(parent)
    , m_deviceId(QUuid::createUuid().toByteArray(QUuid::WithoutBraces))
    , m_retry(new QTimer(this))
    , m_connectDeadline(new QTimer(this))
    , m_lookup(std::make_shared<Lookup>()) {
    m_command.store = this;
    m_subscriber.store = this;
    m_lookup->owner = this;
    m_retry->setObjectName(QStringLiteral("retry"));
    m_retry->setSingleShot(true);
    connect(m_retry, &QTimer::timeout, this, &RedisKeyValueStore::connectToServer);
    m_connectDeadline->setSingleShot(true);
    m_connectDeadline->setInterval(connectTimeoutMs);
    connect(m_connectDeadline, &QTimer::timeout, this,
            [this] { fail(QByteArrayLiteral("no answer in time")); });

    QString problem;
    bool dbOk = true;
    const QString path = url.path();
    if (path.size() > 1) {
        const QString digits = path.mid(1);
        dbOk = std::all_of(digits.cbegin(), digits.cend(),
                           [](QChar c) { return c >= u'0' && c <= u'9'; });
        m_db = dbOk ? digits.toInt(&dbOk) : 0;
    }
    // QUrl's own error text quotes the whole address, password included.
    if (!url.isValid())
        problem = QStringLiteral("it cannot be parsed");
    else if (url.scheme() != QLatin1String("redis"))
        problem = QStringLiteral("the scheme is not redis");
    else if (url.host().isEmpty())
        problem = QStringLiteral("there is no host");
    else if (url.port(6379) <= 0)
        problem = QStringLiteral("the port is not usable");
    else if (!path.isEmpty() && (!path.startsWith(QLatin1Char('/')) || !dbOk))
        problem = QStringLiteral("the path is not a database number");
    if (!problem.isEmpty()) {
        qCWarning(lcCloud).noquote()
            << "not a usable Redis address:" << url.toDisplayString(QUrl::RemoveUserInfo) << "—"
            << problem;
        return;
    }
    m_host = url.host(QUrl::FullyEncoded).toLatin1();
    m_port = url.port(6379);
    m_user = url.userName(QUrl::FullyDecoded).toUtf8();
    m_password = url.password(QUrl::FullyDecoded).toUtf8();
    const QString host = QString::fromLatin1(m_host);
    m_endpoint =
        (host.contains(QLatin1Char(':')) ? QLatin1Char('[') + host + QLatin1Char(']') : host) +
        QLatin1Char(':') + QString::number(m_port);
    connectToServer();
}

RedisKeyValueStore::~RedisKeyValueStore() {
    m_closing = true;
    {
        const std::lock_guard lock(m_lookup->mutex);
        m_lookup->owner = nullptr;
    }
    closeLinks();
}

QByteArray RedisKeyValueStore::channelForKey(const QString& key) {
    return channelPrefix + key.toUtf8();
}

std::optional<QByteArray> RedisKeyValueStore::data(const QString& key) {
    auto it = m_entries.find(key);
    if (it == m_entries.end()) {
        it = m_entries.insert(key, Entry{});
        if (m_state == State::online) {
            auto batch = std::make_shared<Batch>();
            batch->store = this;
            fetch(key, *it, batch, false);
        }
    }
    return it->value;
}

bool RedisKeyValueStore::setData(const QString& key, const QByteArray& value) {
    if (value.size() > maxValueBytes) {
        qCWarning(lcCloud).noquote() << "value for" << key << "not stored:" << value.size()
                                     << "bytes is over the limit of" << maxValueBytes;
        return false;
    }
    Entry& entry = m_entries[key];
    // Writing what the server is known to hold would only make every other
    // device fetch it again.
    if (!entry.unsent && entry.value == value && entry.server == value)
        return true;
    entry.value = value;
    ++entry.version;
    entry.unsent = true;
    if (m_state == State::online)
        send(key, entry);
    return true;
}

void RedisKeyValueStore::synchronize() {
    if (m_state == State::online)
        fetchAndFlush();
}

QList<KeyValueStore::ConflictCopy> RedisKeyValueStore::conflictCopies(const QString& key) {
    const auto it = m_entries.constFind(key);
    return it == m_entries.cend() ? QList<ConflictCopy>() : it->conflicts;
}

void RedisKeyValueStore::removeConflictCopy(const QString& key, const QString& name) {
    const auto it = m_entries.find(key);
    if (it != m_entries.end())
        it->conflicts.removeIf([&](const ConflictCopy& copy) { return copy.name == name; });
}

void RedisKeyValueStore::connectToServer() {
    if (m_closing || m_host.isEmpty())
        return;
    m_connectDeadline->start();
    if (isNumericHost(m_host))
        return openLinks(m_host);
    m_state = State::resolving;
    // A lookup still running from an earlier attempt will answer this one.
    if (m_lookupRunning)
        return;
    m_lookupRunning = true;
    try {
        std::thread([lookup = m_lookup, host = m_host] {
            const Resolved resolved = resolveHost(host);
            const std::lock_guard lock(lookup->mutex);
            if (RedisKeyValueStore* owner = lookup->owner)
                QMetaObject::invokeMethod(
                    owner,
                    [owner, resolved] { owner->hostResolved(resolved.address, resolved.error); },
                    Qt::QueuedConnection);
        }).detach();
    } catch (const std::system_error&) {
        m_lookupRunning = false;
        fail(QByteArrayLiteral("cannot start the name lookup"));
    }
}

void RedisKeyValueStore::hostResolved(const QByteArray& address, const QByteArray& error) {
    m_lookupRunning = false;
    if (m_state != State::resolving)
        return;
    if (address.isEmpty())
        return fail("cannot resolve the host: " + error);
    openLinks(address);
}

void RedisKeyValueStore::openLinks(const QByteArray& address) {
    m_state = State::connecting;
    if (!openLink(m_command, address) || !openLink(m_subscriber, address))
        return;
    // Queued until the connections are up. The database selection and the
    // subscriber's confirmation mark them ready.
    if (!m_password.isEmpty()) {
        for (Link* link : {&m_command, &m_subscriber}) {
            const int status =
                m_user.isEmpty()
                    ? redisAsyncCommand(link->context, &onAuthReply, nullptr, "AUTH %b",
                                        m_password.constData(), size_t(m_password.size()))
                    : redisAsyncCommand(link->context, &onAuthReply, nullptr, "AUTH %b %b",
                                        m_user.constData(), size_t(m_user.size()),
                                        m_password.constData(), size_t(m_password.size()));
            if (status != REDIS_OK)
                return fail(QByteArrayLiteral("cannot send commands"));
        }
    }
    if (redisAsyncCommand(m_command.context, &onSelectReply, nullptr, "SELECT %d", m_db) !=
            REDIS_OK ||
        redisAsyncCommand(m_subscriber.context, &onSubscriberReply, nullptr, "PSUBSCRIBE %b",
                          channelPattern.constData(), size_t(channelPattern.size())) != REDIS_OK)
        fail(QByteArrayLiteral("cannot send commands"));
}

bool RedisKeyValueStore::openLink(Link& link, const QByteArray& address) {
    redisAsyncContext* context = redisAsyncConnect(address.constData(), m_port);
    if (!context) {
        fail(QByteArrayLiteral("out of memory"));
        return false;
    }
    if (context->err) {
        const QByteArray reason = errorText(context, "cannot connect");
        redisAsyncFree(context);
        fail(reason);
        return false;
    }
    auto* adapter = new RedisQtAdapter(this);
    if (!adapter->attach(context)) {
        redisAsyncFree(context);
        delete adapter;
        fail(QByteArrayLiteral("cannot watch the connection"));
        return false;
    }
    context->data = &link;
    link.context = context;
    link.adapter = adapter;
    link.ready = false;
    redisAsyncSetConnectCallback(context, &onConnected);
    redisAsyncSetDisconnectCallback(context, &onDisconnected);
    // Notices a server that vanished without closing the connection. Not
    // essential, and hiredis marks the whole context failed when it is refused.
    if (redisEnableKeepAlive(&context->c) != REDIS_OK) {
        context->c.err = 0;
        context->c.errstr[0] = '\0';
    }
    return true;
}

void RedisKeyValueStore::linkReady(Link& link) {
    link.ready = true;
    if (m_state != State::connecting || !m_command.ready || !m_subscriber.ready)
        return;
    m_state = State::online;
    announceOnline();
    m_connectDeadline->stop();
    m_retryMs = firstRetryMs;
    if (m_outageLogged) {
        qCInfo(lcCloud).noquote() << "Redis at" << m_endpoint << "is reachable again";
        m_outageLogged = false;
    }
    // Subscribed first, so whatever changes from now on is announced; what
    // changed before is fetched now.
    fetchAndFlush();
}

void RedisKeyValueStore::fail(const QByteArray& reason) {
    if (m_closing || m_state == State::unusable || m_state == State::failing ||
        m_state == State::waiting)
        return;
    if (!m_outageLogged) {
        qCWarning(lcCloud).noquote()
            << "Redis at" << m_endpoint << "is not reachable:" << QString::fromUtf8(reason)
            << "— retrying in the background";
        m_outageLogged = true;
    }
    if (m_state == State::online)
        announceOnline();
    m_state = State::failing;
    m_connectDeadline->stop();
    // Not from inside a hiredis callback: contexts are freed from the event loop.
    QMetaObject::invokeMethod(this, &RedisKeyValueStore::recover, Qt::QueuedConnection);
}

void RedisKeyValueStore::announceOnline() {
    // Queued: a listener may delete the store, which it cannot do from
    // inside a hiredis callback.
    QMetaObject::invokeMethod(
        this, [this] { Q_EMIT onlineChanged(); }, Qt::QueuedConnection);
}

void RedisKeyValueStore::recover() {
    if (m_state != State::failing)
        return;
    closeLinks();
    m_state = State::waiting;
    m_retry->start(m_retryMs);
    m_retryMs = std::min(m_retryMs * 2, lastRetryMs);
}

void RedisKeyValueStore::closeLinks() {
    closeLink(m_command);
    closeLink(m_subscriber);
}

void RedisKeyValueStore::closeLink(Link& link) {
    link.ready = false;
    if (redisAsyncContext* context = std::exchange(link.context, nullptr)) {
        // Freeing runs the pending callbacks with no reply; they must not take
        // this link for a live one.
        context->data = nullptr;
        redisAsyncFree(context);
    }
    if (link.adapter)
        std::exchange(link.adapter, nullptr)->deleteLater();
}

void RedisKeyValueStore::fetchAndFlush() {
    auto batch = std::make_shared<Batch>();
    batch->store = this;
    // Fetches go first: the server's value is seen before an unsent write
    // replaces it.
    for (auto it = m_entries.begin(); it != m_entries.end(); ++it)
        fetch(it.key(), *it, batch, it->unsent);
    for (auto it = m_entries.begin(); it != m_entries.end() && m_state == State::online; ++it)
        if (it->unsent)
            send(it.key(), *it);
}

void RedisKeyValueStore::fetch(const QString& key, Entry& entry,
                               const std::shared_ptr<Batch>& batch, bool beforeWrite) {
    if (m_state != State::online)
        return;
    auto* request = new Fetch{key, entry.version, beforeWrite ? entry.value : std::nullopt, batch};
    const QByteArray name = key.toUtf8();
    ++batch->outstanding;
    if (redisAsyncCommand(m_command.context, &onFetchReply, request, "GET %b", name.constData(),
                          size_t(name.size())) != REDIS_OK) {
        --batch->outstanding;
        delete request;
        fail(QByteArrayLiteral("cannot send commands"));
    }
}

void RedisKeyValueStore::send(const QString& key, Entry& entry) {
    if (m_state != State::online || !entry.value)
        return;
    auto* request = new Write{this, key, entry.version, *entry.value};
    const QByteArray name = key.toUtf8();
    const QByteArray channel = channelForKey(key);
    if (redisAsyncCommand(m_command.context, &onWriteReply, request, "SET %b %b", name.constData(),
                          size_t(name.size()), request->value.constData(),
                          size_t(request->value.size())) != REDIS_OK) {
        delete request;
        return fail(QByteArrayLiteral("cannot send commands"));
    }
    entry.unsent = false;
    // The notice carries the device id, so that this store can ignore its echo.
    redisAsyncCommand(m_command.context, nullptr, nullptr, "PUBLISH %b %b", channel.constData(),
                      size_t(channel.size()), m_deviceId.constData(), size_t(m_deviceId.size()));
}

void RedisKeyValueStore::noticeReceived(const QByteArray& channel, const QByteArray& message) {
    if (m_state != State::online || message == m_deviceId || !channel.startsWith(channelPrefix))
        return;
    const QString key = QString::fromUtf8(channel.mid(channelPrefix.size()));
    if (!m_entries.contains(key))
        return;
    // Notices that arrive together are fetched together.
    if (m_notified.isEmpty())
        QMetaObject::invokeMethod(this, &RedisKeyValueStore::fetchNotified, Qt::QueuedConnection);
    m_notified.insert(key);
}

void RedisKeyValueStore::fetchNotified() {
    const QSet<QString> keys = std::exchange(m_notified, {});
    if (m_state != State::online)
        return;
    auto batch = std::make_shared<Batch>();
    batch->store = this;
    for (const QString& key : keys) {
        const auto it = m_entries.find(key);
        if (it != m_entries.end())
            fetch(key, *it, batch, false);
    }
}

void RedisKeyValueStore::announceChange() {
    if (m_announcePending)
        return;
    m_announcePending = true;
    // Listeners run from the event loop, never inside a hiredis callback, so
    // they may even delete this store.
    QMetaObject::invokeMethod(
        this,
        [this] {
            m_announcePending = false;
            Q_EMIT externalChange();
        },
        Qt::QueuedConnection);
}

bool RedisKeyValueStore::applyFetch(const Fetch& fetch, const void* replyData) {
    const auto* reply = static_cast<const redisReply*>(replyData);
    const auto it = m_entries.find(fetch.key);
    if (!reply || it == m_entries.end())
        return false;
    Entry& entry = *it;
    // A local write made after the fetch was sent lands after it.
    const bool stale = !fetch.pendingValue && entry.version != fetch.version;
    switch (reply->type) {
    case REDIS_REPLY_NIL:
        // The server holds nothing (it may have lost its data): keep what is
        // known here, and let the next write put it back.
        if (!stale && !fetch.pendingValue)
            entry.server.reset();
        return false;
    case REDIS_REPLY_STRING:
        if (reply->len > size_t(maxValueBytes)) {
            qCWarning(lcCloud).noquote() << "value for" << fetch.key << "ignored:" << reply->len
                                         << "bytes is over the limit of" << maxValueBytes;
            return false;
        }
        break;
    default:
        qCWarning(lcCloud).noquote()
            << "cannot read" << fetch.key << "from Redis:" << QString::fromUtf8(replyText(reply));
        return false;
    }
    QByteArray value(reply->str, qsizetype(reply->len));
    if (fetch.pendingValue) {
        // Another device wrote while this one was away. Its value is offered
        // as a conflict copy before the unsent write replaces it.
        if (value == *fetch.pendingValue || value == entry.server)
            return false;
        for (const ConflictCopy& copy : std::as_const(entry.conflicts))
            if (copy.value == value)
                return false;
        qCInfo(lcCloud).noquote() << "another device changed" << fetch.key
                                  << "while this one was offline; kept as a conflict copy";
        entry.conflicts.append(
            {QStringLiteral("redis-conflict-%1").arg(++m_conflictSerial), std::move(value)});
        return true;
    }
    if (stale)
        return false;
    entry.server = value;
    if (entry.value == value)
        return false;
    entry.value = std::move(value);
    // A write that the server refused is superseded by the newer value.
    entry.unsent = false;
    return true;
}

void RedisKeyValueStore::noteWritten(const Write& write, const void* replyData) {
    const auto* reply = static_cast<const redisReply*>(replyData);
    const auto it = m_entries.find(write.key);
    if (it == m_entries.end())
        return;
    if (reply && reply->type == REDIS_REPLY_STATUS) {
        it->server = write.value;
        return;
    }
    if (reply)
        qCWarning(lcCloud).noquote()
            << "Redis did not store" << write.key << "—" << QString::fromUtf8(replyText(reply));
    // Not known to be stored: sent again with the next synchronisation or
    // connection, unless a newer write replaced it.
    if (it->version == write.version)
        it->unsent = true;
}

RedisKeyValueStore::Link* RedisKeyValueStore::liveLink(const redisAsyncContext* context) {
    auto* link = static_cast<Link*>(context->data);
    if (!link || link->context != context || link->store->m_closing)
        return nullptr;
    return link;
}

void RedisKeyValueStore::onConnected(const redisAsyncContext* context, int status) {
    Link* link = liveLink(context);
    if (!link || status == REDIS_OK)
        return;
    // hiredis frees the context when this returns.
    link->context = nullptr;
    link->ready = false;
    if (link->adapter)
        std::exchange(link->adapter, nullptr)->deleteLater();
    link->store->fail(errorText(context, "cannot connect"));
}

void RedisKeyValueStore::onDisconnected(const redisAsyncContext* context, int status) {
    Q_UNUSED(status);
    Link* link = liveLink(context);
    if (!link)
        return;
    link->context = nullptr;
    link->ready = false;
    if (link->adapter)
        std::exchange(link->adapter, nullptr)->deleteLater();
    link->store->fail(errorText(context, "the connection was closed"));
}

void RedisKeyValueStore::onAuthReply(redisAsyncContext* context, void* replyData, void*) {
    const auto* reply = static_cast<const redisReply*>(replyData);
    Link* link = liveLink(context);
    if (link && reply && reply->type == REDIS_REPLY_ERROR)
        link->store->fail("authentication refused: " + replyText(reply));
}

void RedisKeyValueStore::onSelectReply(redisAsyncContext* context, void* replyData, void*) {
    const auto* reply = static_cast<const redisReply*>(replyData);
    Link* link = liveLink(context);
    if (!link || !reply)
        return;
    if (reply->type == REDIS_REPLY_STATUS)
        link->store->linkReady(*link);
    else
        link->store->fail("cannot select the database: " + replyText(reply));
}

void RedisKeyValueStore::onSubscriberReply(redisAsyncContext* context, void* replyData, void*) {
    const auto* reply = static_cast<const redisReply*>(replyData);
    Link* link = liveLink(context);
    if (!link || !reply)
        return;
    if (reply->type == REDIS_REPLY_ERROR)
        return link->store->fail("cannot subscribe: " + replyText(reply));
    if (reply->type != REDIS_REPLY_ARRAY || reply->elements < 3 || !isString(reply->element[0]))
        return;
    const QByteArray kind(reply->element[0]->str, qsizetype(reply->element[0]->len));
    if (kind.compare("psubscribe", Qt::CaseInsensitive) == 0) {
        if (!link->ready)
            link->store->linkReady(*link);
    } else if (kind.compare("pmessage", Qt::CaseInsensitive) == 0 && reply->elements >= 4 &&
               isString(reply->element[2]) && isString(reply->element[3])) {
        link->store->noticeReceived(
            QByteArray(reply->element[2]->str, qsizetype(reply->element[2]->len)),
            QByteArray(reply->element[3]->str, qsizetype(reply->element[3]->len)));
    }
}

void RedisKeyValueStore::onFetchReply(redisAsyncContext*, void* reply, void* privdata) {
    const std::unique_ptr<Fetch> request(static_cast<Fetch*>(privdata));
    Batch& batch = *request->batch;
    if (batch.store->m_closing)
        return;
    if (batch.store->applyFetch(*request, reply))
        batch.changed = true;
    if (--batch.outstanding == 0 && batch.changed)
        batch.store->announceChange();
}

void RedisKeyValueStore::onWriteReply(redisAsyncContext*, void* reply, void* privdata) {
    const std::unique_ptr<Write> request(static_cast<Write*>(privdata));
    if (!request->store->m_closing)
        request->store->noteWritten(*request, reply);
}

} // namespace tessaro
