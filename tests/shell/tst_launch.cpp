#include "shell/launch.h"

#include <QTest>

using namespace tessaro;
using namespace Qt::StringLiterals;

namespace {

LaunchRequest opening(const QStringList& links) {
    LaunchRequest request;
    request.kind = LaunchRequest::Kind::open;
    for (const QString& link : links)
        request.links.append(QUrl(link));
    return request;
}

LaunchRequest action(const QString& name) {
    LaunchRequest request;
    request.kind = LaunchRequest::Kind::action;
    request.action = name;
    return request;
}

} // namespace

class TestLaunch : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void commandLine_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<LaunchRequest>("expected");
        LaunchRequest background;
        background.background = true;
        QTest::newRow("nothing") << QStringList{} << true << LaunchRequest{};
        QTest::newRow("service") << QStringList{u"--service"_s} << true << background;
        QTest::newRow("keep link")
            << QStringList{u"tessaro://keep?q=a%20b&src=Web"_s} << true
            << opening({u"tessaro://keep?q=a%20b&src=Web"_s});
        QTest::newRow("two links") << QStringList{u"tessaro://keep?q=a"_s, u"tessaro://keep?q=b"_s}
                                   << true
                                   << opening({u"tessaro://keep?q=a"_s, u"tessaro://keep?q=b"_s});
        QTest::newRow("keep clipboard") << QStringList{u"--keep-clipboard"_s} << true
                                        << action(keepClipboardAction);
        QTest::newRow("unknown option") << QStringList{u"--frobnicate"_s} << false << LaunchRequest{};
        QTest::newRow("no scheme") << QStringList{u"keep"_s} << false << LaunchRequest{};
        QTest::newRow("clipboard and link")
            << QStringList{u"--keep-clipboard"_s, u"tessaro://keep?q=a"_s} << false
            << LaunchRequest{};
    }

    void commandLine() {
        QFETCH(QStringList, arguments);
        QFETCH(bool, valid);
        QFETCH(LaunchRequest, expected);
        QString error;
        const std::optional<LaunchRequest> request = parseLaunch(arguments, &error);
        QCOMPARE(request.has_value(), valid);
        QCOMPARE(error.isEmpty(), valid);
        if (valid)
            QVERIFY(*request == expected);
    }

    // What one start writes to the socket, the other reads back unchanged.
    void socketLineRoundTrips_data() {
        QTest::addColumn<LaunchRequest>("request");
        QTest::newRow("activate") << LaunchRequest{};
        QTest::newRow("links") << opening({u"tessaro://keep?q=caf%C3%A9 au lait&u=https://a.b/c d"_s,
                                           u"tessaro://keep?q=%0Aline"_s});
        QTest::newRow("action") << action(u"keep clipboard\nnow"_s);
    }

    void socketLineRoundTrips() {
        QFETCH(LaunchRequest, request);
        const QByteArray line = encodeLaunch(request);
        QCOMPARE(line.count('\n'), 1);
        const std::optional<LaunchRequest> read = decodeLaunch(line);
        QVERIFY(read);
        QVERIFY(*read == request);
    }

    void socketLineRefusesOthers_data() {
        QTest::addColumn<QByteArray>("line");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("unknown") << QByteArray("quit\n");
        QTest::newRow("open nothing") << QByteArray("open\n");
        QTest::newRow("relative link") << QByteArray("open keep?q=a\n");
        QTest::newRow("activate with more") << QByteArray("activate now\n");
        QTest::newRow("action without name") << QByteArray("action \n");
    }

    void socketLineRefusesOthers() {
        QFETCH(QByteArray, line);
        QVERIFY(!decodeLaunch(line));
    }
};

QTEST_GUILESS_MAIN(TestLaunch)
#include "tst_launch.moc"
