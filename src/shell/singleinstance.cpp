#include "singleinstance.h"

#include "applicationservice.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusReply>
#include <QDeadlineTimer>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QThread>

namespace tessaro {

using namespace Qt::StringLiterals;

namespace {

constexpr int callTimeoutMs = 5000;

QDBusMessage forwardingCall(const LaunchRequest& request) {
    const QString interface = u"org.freedesktop.Application"_s;
    switch (request.kind) {
    case LaunchRequest::Kind::open: {
        QStringList uris;
        for (const QUrl& link : request.links)
            uris.append(QString::fromUtf8(link.toEncoded()));
        QDBusMessage call =
            QDBusMessage::createMethodCall(serviceName, serviceObjectPath, interface, u"Open"_s);
        call << uris << QVariantMap();
        return call;
    }
    case LaunchRequest::Kind::action: {
        QDBusMessage call = QDBusMessage::createMethodCall(serviceName, serviceObjectPath,
                                                           interface, u"ActivateAction"_s);
        call << request.action << QVariantList() << QVariantMap();
        return call;
    }
    case LaunchRequest::Kind::activate:
        break;
    }
    QDBusMessage call =
        QDBusMessage::createMethodCall(serviceName, serviceObjectPath, interface, u"Activate"_s);
    call << QVariantMap();
    return call;
}

} // namespace

SingleInstance::SingleInstance(ApplicationService& service, const QDBusConnection& bus,
                               const QString& runtimeFolder, QObject* parent)
    : QObject(parent)
    , m_service(service)
    , m_bus(bus)
    , m_runtimeFolder(runtimeFolder) {}

SingleInstance::~SingleInstance() = default;

SingleInstance::Role SingleInstance::start(const LaunchRequest& request, QString* error) {
    if (m_bus.isConnected() && m_bus.interface()) {
        const Role role = startOnBus(request, error);
        if (role != Role::first)
            return role;
    }
    // The lock as well, even with the bus: a start without one (from a
    // terminal over ssh, say) must find this Tessaro too, never a second
    // writer of the same files.
    return startLocally(request, error);
}

SingleInstance::Role SingleInstance::startOnBus(const LaunchRequest& request, QString* error) {
    // The objects answer before the name is taken: the bus hands a call to
    // a program it started the moment it owns the name.
    if (!m_bus.registerObject(serviceObjectPath, &m_service, QDBusConnection::ExportAdaptors)) {
        *error = u"cannot offer %1 on the session bus"_s.arg(serviceObjectPath);
        return Role::failed;
    }
    // The owner may end between our try and our call; then try once more.
    for (int attempt = 0; attempt < 2; ++attempt) {
        const QDBusReply<QDBusConnectionInterface::RegisterServiceReply> claimed =
            m_bus.interface()->registerService(serviceName,
                                               QDBusConnectionInterface::DontQueueService,
                                               QDBusConnectionInterface::DontAllowReplacement);
        if (!claimed.isValid()) {
            *error = claimed.error().message();
            return Role::failed;
        }
        if (claimed.value() == QDBusConnectionInterface::ServiceRegistered)
            return Role::first;
        const QDBusMessage reply = m_bus.call(forwardingCall(request), QDBus::Block, callTimeoutMs);
        if (reply.type() == QDBusMessage::ReplyMessage)
            return Role::forwarded;
        *error = reply.errorMessage();
        if (reply.errorName() != u"org.freedesktop.DBus.Error.ServiceUnknown"_s
            && reply.errorName() != u"org.freedesktop.DBus.Error.NameHasNoOwner"_s)
            return Role::failed;
    }
    return Role::failed;
}

SingleInstance::Role SingleInstance::startLocally(const LaunchRequest& request, QString* error) {
    if (!QDir().mkpath(m_runtimeFolder)) {
        *error = u"cannot create %1"_s.arg(m_runtimeFolder);
        return Role::failed;
    }
    const QString base = QDir(m_runtimeFolder).filePath(serviceName);
    const QString socketPath = base + u".socket"_s;
    // The owner may still be starting its server: a short while to answer.
    const QDeadlineTimer deadline(3000);
    while (true) {
        auto lock = std::make_unique<QLockFile>(base + u".lock"_s);
        // A lock lives as long as its owner, never aged out.
        lock->setStaleLockTime(0);
        if (lock->tryLock(0)) {
            QLocalServer::removeServer(socketPath);
            auto* server = new QLocalServer(this);
            server->setSocketOptions(QLocalServer::UserAccessOption);
            if (!server->listen(socketPath)) {
                *error = server->errorString();
                delete server;
                return Role::failed;
            }
            connect(server, &QLocalServer::newConnection, this, &SingleInstance::serveConnection);
            m_lock = std::move(lock);
            m_server = server;
            return Role::first;
        }
        if (lock->error() != QLockFile::LockFailedError) {
            *error = u"cannot lock %1"_s.arg(base + u".lock"_s);
            return Role::failed;
        }
        QLocalSocket socket;
        socket.connectToServer(socketPath);
        if (socket.waitForConnected(1000)) {
            socket.write(encodeLaunch(request));
            if (socket.waitForBytesWritten(1000) && socket.waitForReadyRead(callTimeoutMs)
                && socket.readLine().trimmed() == "ok")
                return Role::forwarded;
            *error = u"the running Tessaro did not answer"_s;
            return Role::failed;
        }
        if (deadline.hasExpired()) {
            *error = u"the running Tessaro did not answer"_s;
            return Role::failed;
        }
        QThread::msleep(50);
    }
}

void SingleInstance::serveConnection() {
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            if (!socket->canReadLine()) {
                // A line longer than any request is not one.
                if (socket->bytesAvailable() > 64 * 1024)
                    socket->abort();
                return;
            }
            const std::optional<LaunchRequest> request = decodeLaunch(socket->readLine());
            socket->write(request ? "ok\n" : "error\n");
            socket->disconnectFromServer();
            if (request)
                m_service.deliver(*request);
        });
    }
}

} // namespace tessaro
