#include "redisserver.h"

#include <QDeadlineTimer>
#include <QStandardPaths>

#include <arpa/inet.h>
#include <hiredis/hiredis.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

namespace tessaro::test {

namespace {

constexpr int startTimeoutMs = 5000;

} // namespace

RedisServer::RedisServer() {
    m_process.setProcessChannelMode(QProcess::MergedChannels);
}

RedisServer::~RedisServer() {
    stop();
}

quint16 RedisServer::freePort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    if (fd < 0)
        return 0;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    socklen_t length = sizeof address;
    quint16 port = 0;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0)
        port = ntohs(address.sin_port);
    ::close(fd);
    return port;
}

QUrl RedisServer::url(int db) const {
    QUrl url;
    url.setScheme(QStringLiteral("redis"));
    url.setHost(QStringLiteral("127.0.0.1"));
    url.setPort(m_port);
    url.setPath(QLatin1Char('/') + QString::number(db));
    return url;
}

bool RedisServer::isRunning() const {
    return m_process.state() != QProcess::NotRunning;
}

bool RedisServer::start() {
    if (isRunning())
        return true;
    if (QStandardPaths::findExecutable(QStringLiteral("redis-server")).isEmpty()) {
        m_error = QStringLiteral("redis-server is not installed (Debian package redis-server)");
        return false;
    }
    if (!m_dir.isValid()) {
        m_error = QStringLiteral("no temporary folder for redis-server");
        return false;
    }
    if (m_port != 0)
        return launch();
    // Another program may take the chosen port before the server binds it.
    for (int attempt = 0; attempt < 3; ++attempt) {
        m_port = freePort();
        if (m_port != 0 && launch())
            return true;
    }
    m_port = 0;
    return false;
}

bool RedisServer::launch() {
    m_process.start(QStringLiteral("redis-server"),
                    {QStringLiteral("--save"), QString(), QStringLiteral("--appendonly"),
                     QStringLiteral("no"), QStringLiteral("--bind"), QStringLiteral("127.0.0.1"),
                     QStringLiteral("--protected-mode"), QStringLiteral("yes"),
                     QStringLiteral("--port"), QString::number(m_port), QStringLiteral("--dir"),
                     m_dir.path(), QStringLiteral("--loglevel"), QStringLiteral("warning")});
    if (!m_process.waitForStarted(startTimeoutMs)) {
        m_error = QStringLiteral("redis-server did not start: ") + m_process.errorString();
        return false;
    }
    const QDeadlineTimer deadline(startTimeoutMs);
    while (!deadline.hasExpired()) {
        if (answers())
            return true;
        // Doubles as a short sleep and notices a server that gave up.
        if (m_process.waitForFinished(20)) {
            m_error = QStringLiteral("redis-server exited: ") +
                      QString::fromLocal8Bit(m_process.readAll()).trimmed();
            return false;
        }
    }
    m_error = QStringLiteral("redis-server did not answer on port %1").arg(m_port);
    kill();
    return false;
}

bool RedisServer::answers() const {
    const auto reply = command({"PING"});
    return reply == QByteArray("PONG");
}

void RedisServer::stop() {
    if (!isRunning())
        return;
    m_process.terminate();
    if (!m_process.waitForFinished(startTimeoutMs))
        kill();
}

void RedisServer::kill() {
    if (!isRunning())
        return;
    m_process.kill();
    m_process.waitForFinished(startTimeoutMs);
}

std::optional<QByteArray> RedisServer::command(const QByteArrayList& arguments, int db) const {
    if (m_port == 0 || arguments.isEmpty())
        return std::nullopt;
    const timeval timeout{5, 0};
    redisContext* context = redisConnectWithTimeout("127.0.0.1", m_port, timeout);
    if (!context)
        return std::nullopt;
    std::optional<QByteArray> result;
    if (context->err == 0 && redisSetTimeout(context, timeout) == REDIS_OK) {
        bool selected = true;
        if (db != 0) {
            auto* reply = static_cast<redisReply*>(redisCommand(context, "SELECT %d", db));
            selected = reply && reply->type == REDIS_REPLY_STATUS;
            if (reply)
                freeReplyObject(reply);
        }
        std::vector<const char*> argv;
        std::vector<size_t> lengths;
        for (const QByteArray& argument : arguments) {
            argv.push_back(argument.constData());
            lengths.push_back(size_t(argument.size()));
        }
        auto* reply = selected ? static_cast<redisReply*>(redisCommandArgv(
                                     context, int(argv.size()), argv.data(), lengths.data()))
                               : nullptr;
        if (reply) {
            if (reply->type == REDIS_REPLY_STRING || reply->type == REDIS_REPLY_STATUS)
                result = QByteArray(reply->str, qsizetype(reply->len));
            else if (reply->type == REDIS_REPLY_INTEGER)
                result = QByteArray::number(reply->integer);
            else if (reply->type == REDIS_REPLY_ARRAY)
                result = QByteArray::number(qulonglong(reply->elements));
            freeReplyObject(reply);
        }
    }
    redisFree(context);
    return result;
}

} // namespace tessaro::test
