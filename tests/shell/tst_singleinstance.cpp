#include "shell/applicationservice.h"
#include "shell/singleinstance.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

using namespace tessaro;
using namespace Qt::StringLiterals;

namespace {

// No session bus: the lock file and the local socket stand in.
QDBusConnection noBus() { return QDBusConnection(u"none"_s); }

LaunchRequest keepLink(const QString& link) {
    LaunchRequest request;
    request.kind = LaunchRequest::Kind::open;
    request.links.append(QUrl(link));
    return request;
}

} // namespace

class TestSingleInstance : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // The first start serves; a later one, from another thread as from
    // another process, hands its link over and hears that it arrived.
    void laterStartHandsItsRequestOver() {
        QTemporaryDir runtime;
        ApplicationService firstService;
        SingleInstance first(firstService, noBus(), runtime.path());
        QString error;
        QCOMPARE(first.start({}, &error), SingleInstance::Role::first);
        QSignalSpy requested(&firstService, &ApplicationService::requested);

        const LaunchRequest link = keepLink(u"tessaro://keep?q=from%20later"_s);
        SingleInstance::Role role = SingleInstance::Role::failed;
        std::unique_ptr<QThread> later(QThread::create([&runtime, &role, link] {
            ApplicationService service;
            SingleInstance instance(service, noBus(), runtime.path());
            QString laterError;
            role = instance.start(link, &laterError);
        }));
        later->start();
        QTRY_VERIFY(later->isFinished());
        QCOMPARE(role, SingleInstance::Role::forwarded);
        QCOMPARE(requested.count(), 1);
        QVERIFY(requested.first().first().value<LaunchRequest>() == link);
    }

    // A lock left by a process that is gone does not keep Tessaro from
    // starting.
    void staleLockIsTakenOver() {
        QTemporaryDir runtime;
        QFile lock(QDir(runtime.path()).filePath(serviceName + u".lock"_s));
        QVERIFY(lock.open(QIODevice::WriteOnly));
        lock.write("999999999\ntessaro\n" + QSysInfo::machineHostName().toUtf8() + '\n');
        lock.close();
        ApplicationService service;
        SingleInstance instance(service, noBus(), runtime.path());
        QString error;
        QCOMPARE(instance.start({}, &error), SingleInstance::Role::first);
    }
};

QTEST_GUILESS_MAIN(TestSingleInstance)
#include "tst_singleinstance.moc"
