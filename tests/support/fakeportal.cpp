#include "fakeportal.h"

namespace tessaro::test {

using namespace Qt::StringLiterals;

namespace {

const QString service = u"org.freedesktop.portal.Desktop"_s;
const QString path = u"/org/freedesktop/portal/desktop"_s;

QDBusConnection portalBus() {
    return QDBusConnection::connectToBus(QDBusConnection::SessionBus, u"portal"_s);
}

QString settingName(const QString& group, const QString& key) {
    return group + u'\n' + key;
}

} // namespace

FakePortal::FakePortal(bool modern)
    : m_modern(modern) {}

FakePortal::~FakePortal() {
    if (!m_published)
        return;
    QDBusConnection bus = portalBus();
    bus.unregisterObject(path);
    bus.unregisterService(service);
}

bool FakePortal::publish() {
    QDBusConnection bus = portalBus();
    m_published =
        bus.registerService(service) &&
        bus.registerObject(path, this,
                           QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllSignals);
    return m_published;
}

void FakePortal::set(const QString& group, const QString& key, const QVariant& value) {
    m_values.insert(settingName(group, key), value);
}

void FakePortal::change(const QString& group, const QString& key, const QVariant& value) {
    set(group, key, value);
    Q_EMIT SettingChanged(group, key, QDBusVariant(value));
}

QDBusVariant FakePortal::ReadOne(const QString& group, const QString& key,
                                 const QDBusMessage& message) {
    if (!m_modern) {
        // Replying by hand: the returned value is then not sent.
        message.setDelayedReply(true);
        portalBus().send(
            message.createErrorReply(u"org.freedesktop.DBus.Error.UnknownMethod"_s, u"no"_s));
        return {};
    }
    return answer(group, key);
}

QDBusVariant FakePortal::Read(const QString& group, const QString& key) {
    return QDBusVariant(QVariant::fromValue(answer(group, key)));
}

QDBusVariant FakePortal::answer(const QString& group, const QString& key) const {
    return QDBusVariant(m_values.value(settingName(group, key), QVariant::fromValue(0u)));
}

} // namespace tessaro::test
