// The desktop portal's GlobalShortcuts: a session is created, the shortcut
// bound in it, and its Activated signal is the press. Each step answers
// through a Request object's Response signal, which is listened to before
// the call so that no answer slips by.
#include "globalhotkey.h"

#include <QDBusArgument>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QLoggingCategory>
#include <QUuid>

namespace tessaro {

using namespace Qt::StringLiterals;

namespace {

Q_LOGGING_CATEGORY(portalLog, "tessaro.hotkey")

const QString portalService = u"org.freedesktop.portal.Desktop"_s;
const QString portalPath = u"/org/freedesktop/portal/desktop"_s;
const QString shortcutsInterface = u"org.freedesktop.portal.GlobalShortcuts"_s;
const QString requestInterface = u"org.freedesktop.portal.Request"_s;
const QString shortcutId = u"bring-forward"_s;

struct PortalShortcut {
    QString id;
    QVariantMap properties;
};

QDBusArgument& operator<<(QDBusArgument& argument, const PortalShortcut& shortcut) {
    argument.beginStructure();
    argument << shortcut.id << shortcut.properties;
    argument.endStructure();
    return argument;
}

const QDBusArgument& operator>>(const QDBusArgument& argument, PortalShortcut& shortcut) {
    argument.beginStructure();
    argument >> shortcut.id >> shortcut.properties;
    argument.endStructure();
    return argument;
}

} // namespace

} // namespace tessaro

Q_DECLARE_METATYPE(tessaro::PortalShortcut)

namespace tessaro {

namespace {

class PortalHotKey final : public GlobalHotKey {
    Q_OBJECT

public:
    PortalHotKey(const QDBusConnection& bus, const QString& trigger, const QString& description)
        : m_bus(bus)
        , m_trigger(trigger)
        , m_description(description) {
        // The slot's argument types must be known before it is connected.
        qRegisterMetaType<QDBusObjectPath>();
        qDBusRegisterMetaType<PortalShortcut>();
        qDBusRegisterMetaType<QList<PortalShortcut>>();
        // Heard from any sender: the session's path, which only the portal
        // and this program know, tells ours apart.
        m_bus.connect(QString(), portalPath, shortcutsInterface, u"Activated"_s, this,
                      SLOT(activated(QDBusObjectPath, QString, qulonglong, QVariantMap)));
        createSession();
    }

private Q_SLOTS:
    void activated(const QDBusObjectPath& session, const QString& id, qulonglong,
                   const QVariantMap&) {
        if (m_bound && session.path() == m_session && id == shortcutId)
            QMetaObject::invokeMethod(this, &GlobalHotKey::pressed, Qt::QueuedConnection);
    }

    void responded(uint code, const QVariantMap& results) {
        m_bus.disconnect(portalService, m_request, requestInterface, u"Response"_s, this,
                         SLOT(responded(uint, QVariantMap)));
        if (code != 0) {
            // The user or the desktop said no: no shortcut, and nothing to say.
            qCInfo(portalLog, "the desktop did not grant the shortcut (answer %u)", code);
            m_session.clear();
            return;
        }
        if (!m_bound && m_session.isEmpty()) {
            m_session = results.value(u"session_handle"_s).toString();
            if (!m_session.isEmpty())
                bindShortcut();
        } else if (!m_session.isEmpty()) {
            m_bound = true;
        }
    }

private:
    // The path a request will have, known before the call so that its
    // answer can be listened for first.
    QString requestPath(const QString& token) const {
        QString sender = m_bus.baseService();
        sender.remove(0, 1).replace(u'.', u'_');
        return u"/org/freedesktop/portal/desktop/request/%1/%2"_s.arg(sender, token);
    }

    QString listenForResponse() {
        const QString token = u"tessaro_"_s + QUuid::createUuid().toString(QUuid::Id128);
        m_request = requestPath(token);
        m_bus.connect(portalService, m_request, requestInterface, u"Response"_s, this,
                      SLOT(responded(uint, QVariantMap)));
        return token;
    }

    void send(QDBusMessage call) {
        auto* watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(call), this);
        connect(watcher, &QDBusPendingCallWatcher::finished, this, [](QDBusPendingCallWatcher* done) {
            if (done->isError())
                qCInfo(portalLog, "the desktop offers no global shortcuts: %s",
                       qPrintable(done->error().message()));
            done->deleteLater();
        });
    }

    void createSession() {
        QDBusMessage call = QDBusMessage::createMethodCall(portalService, portalPath,
                                                           shortcutsInterface, u"CreateSession"_s);
        const QString token = listenForResponse();
        call << QVariantMap{{u"handle_token"_s, token},
                            {u"session_handle_token"_s, u"tessaro"_s}};
        send(call);
    }

    void bindShortcut() {
        QDBusMessage call = QDBusMessage::createMethodCall(portalService, portalPath,
                                                           shortcutsInterface, u"BindShortcuts"_s);
        const QList<PortalShortcut> shortcuts{
            {shortcutId, {{u"description"_s, m_description}, {u"preferred_trigger"_s, m_trigger}}}};
        const QString token = listenForResponse();
        call << QVariant::fromValue(QDBusObjectPath(m_session))
             << QVariant::fromValue(shortcuts) << QString()
             << QVariantMap{{u"handle_token"_s, token}};
        send(call);
    }

    QDBusConnection m_bus;
    QString m_trigger;
    QString m_description;
    QString m_request;
    QString m_session;
    bool m_bound = false;
};

} // namespace

std::unique_ptr<GlobalHotKey> GlobalHotKey::fromPortal(const QDBusConnection& bus, char letter,
                                                       const QString& description) {
    if (letter < 'A' || letter > 'Z' || !bus.isConnected() || !bus.interface()
        || !bus.interface()->isServiceRegistered(portalService))
        return nullptr;
    // The shortcut as the desktop's shortcut settings write it.
    const QString trigger = u"CTRL+ALT+"_s + QChar(u'a' + (letter - 'A'));
    return std::make_unique<PortalHotKey>(bus, trigger, description);
}

} // namespace tessaro

#include "portalhotkey.moc"
