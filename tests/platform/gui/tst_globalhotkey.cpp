#include "platform/gui/globalhotkey.h"

#include <QDBusArgument>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QGuiApplication>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QCoreApplication>

using namespace tessaro;
using namespace Qt::StringLiterals;

struct Shortcut {
    QString id;
    QVariantMap properties;
};
Q_DECLARE_METATYPE(Shortcut)

QDBusArgument& operator<<(QDBusArgument& argument, const Shortcut& shortcut) {
    argument.beginStructure();
    argument << shortcut.id << shortcut.properties;
    argument.endStructure();
    return argument;
}

const QDBusArgument& operator>>(const QDBusArgument& argument, Shortcut& shortcut) {
    argument.beginStructure();
    argument >> shortcut.id >> shortcut.properties;
    argument.endStructure();
    return argument;
}

namespace {

const QString portalPath = u"/org/freedesktop/portal/desktop"_s;

// The desktop portal's GlobalShortcuts on the private session bus, from a
// connection of its own as the portal's process would: each call answers
// through a Response signal on its request's path, as the real one does.
class FakeShortcutsPortal : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.portal.GlobalShortcuts")

public:
    QDBusConnection bus = QDBusConnection::connectToBus(QDBusConnection::SessionBus, u"portal"_s);
    // What the user answers to the binding: 0 grants it, 1 refuses.
    uint bindAnswer = 0;
    QStringList boundTriggers;

    bool publish() {
        qDBusRegisterMetaType<Shortcut>();
        qDBusRegisterMetaType<QList<Shortcut>>();
        return bus.registerService(u"org.freedesktop.portal.Desktop"_s)
               && bus.registerObject(portalPath, this, QDBusConnection::ExportAllSlots);
    }
    void press(const QString& id) {
        QDBusMessage signal = QDBusMessage::createSignal(
            portalPath, u"org.freedesktop.portal.GlobalShortcuts"_s, u"Activated"_s);
        signal << QVariant::fromValue(QDBusObjectPath(session)) << id << qulonglong(1)
               << QVariantMap();
        bus.send(signal);
    }

Q_SIGNALS:
    // The test's own ear on the bus: an Activated signal reached it.
    void heard();

public Q_SLOTS:
    QDBusObjectPath CreateSession(const QVariantMap& options, const QDBusMessage& message) {
        return respond(message, options, 0, {{u"session_handle"_s, session}});
    }
    QDBusObjectPath BindShortcuts(const QDBusObjectPath&, const QList<Shortcut>& shortcuts,
                                  const QString&, const QVariantMap& options,
                                  const QDBusMessage& message) {
        for (const Shortcut& shortcut : shortcuts)
            boundTriggers.append(shortcut.id + u' '
                                 + shortcut.properties.value(u"preferred_trigger"_s).toString());
        return respond(message, options, bindAnswer, {});
    }

private:
    QDBusObjectPath respond(const QDBusMessage& message, const QVariantMap& options, uint code,
                            const QVariantMap& results) {
        QString sender = message.service().mid(1);
        sender.replace(u'.', u'_');
        const QString request = u"%1/request/%2/%3"_s.arg(
            portalPath, sender, options.value(u"handle_token"_s).toString());
        QTimer::singleShot(0, this, [this, request, code, results] {
            QDBusMessage response = QDBusMessage::createSignal(
                request, u"org.freedesktop.portal.Request"_s, u"Response"_s);
            response << code << results;
            bus.send(response);
        });
        return QDBusObjectPath(request);
    }

public:
    const QString session = portalPath + u"/session/1/tessaro"_s;
};

} // namespace

class TestGlobalHotKey : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Without a portal (and without X11 here) there is no hot key.
    void noneWithoutPortal() {
        QVERIFY(!GlobalHotKey::ctrlAlt('K', u"Show"_s));
        QVERIFY(!GlobalHotKey::fromPortal(QDBusConnection::sessionBus(), 'K', u"Show"_s));
    }

    void portalBindsAndPresses_data() {
        QTest::addColumn<uint>("answer");
        QTest::addColumn<int>("presses");
        QTest::newRow("granted") << 0u << 1;
        QTest::newRow("refused") << 1u << 0;
    }

    // The binding asks for Ctrl+Alt+K; only its own shortcut, once bound,
    // counts as a press.
    void portalBindsAndPresses() {
        QFETCH(uint, answer);
        QFETCH(int, presses);
        FakeShortcutsPortal portal;
        portal.bindAnswer = answer;
        QVERIFY(portal.publish());
        auto hotKey = GlobalHotKey::fromPortal(QDBusConnection::sessionBus(), 'K', u"Show"_s);
        QVERIFY(hotKey);
        QSignalSpy pressed(hotKey.get(), &GlobalHotKey::pressed);
        QTRY_COMPARE(portal.boundTriggers, QStringList{u"bring-forward CTRL+ALT+k"_s});
        // The answer to the binding travels before the presses, on the same
        // connection; so does the listener below, which tells when both
        // presses have been heard.
        QSignalSpy heard(&portal, &FakeShortcutsPortal::heard);
        QVERIFY(QDBusConnection::sessionBus().connect(
            QString(), portalPath, u"org.freedesktop.portal.GlobalShortcuts"_s, u"Activated"_s,
            &portal, SIGNAL(heard())));
        portal.press(u"something-else"_s);
        portal.press(u"bring-forward"_s);
        QTRY_COMPARE(heard.count(), 2);
        // The press itself is handled in the next turn.
        QCoreApplication::processEvents();
        QCOMPARE(pressed.count(), presses);
        portal.bus.unregisterObject(portalPath);
        portal.bus.unregisterService(u"org.freedesktop.portal.Desktop"_s);
    }
};

QTEST_MAIN(TestGlobalHotKey)
#include "tst_globalhotkey.moc"
