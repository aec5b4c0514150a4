#include "platform/widgets/clipboard.h"
#include "platform/widgets/sharemenu.h"

#include <QDateTime>
#include <QDir>
#include <QImage>
#include <QMenu>
#include <QTemporaryDir>
#include <QTest>

using namespace tessaro;
using namespace Qt::StringLiterals;

namespace {

class NoClipboard final : public Clipboard {
public:
    std::optional<QString> text() const override { return std::nullopt; }
    void setText(const QString&) override {}
    void setImage(const QImage&) override {}
};

const ShareTexts texts{u"Copy"_s, u"Open"_s, u"Mail"_s};

QImage picture(QColor colour) {
    QImage image(4, 3, QImage::Format_ARGB32);
    image.fill(colour);
    return image;
}

} // namespace

class TestShareMenu : public QObject {
    Q_OBJECT

    // Only a stand-in xdg-email is on PATH; it writes its arguments, one a
    // line, beside itself.
    QTemporaryDir m_programs;
    const QString m_arguments = m_programs.filePath(u"xdg-email.args"_s);

private Q_SLOTS:
    void initTestCase() {
        QFile script(m_programs.filePath(u"xdg-email"_s));
        QVERIFY(script.open(QIODevice::WriteOnly));
        script.write(
            "#!/bin/sh\nprintf '%s\\n' \"$@\" > \"$0.tmp\" && /bin/mv \"$0.tmp\" \"$0.args\"\n");
        QVERIFY(script.setPermissions(script.permissions() | QFile::ExeOwner));
    }

    void offersWhatTheDesktopCanDo_data() {
        QTest::addColumn<int>("images");
        QTest::addColumn<bool>("mailProgram");
        QTest::addColumn<QStringList>("entries");
        QTest::newRow("one picture") << 1 << true << QStringList{u"Copy"_s, u"Open"_s, u"Mail"_s};
        // The clipboard holds only one picture.
        QTest::newRow("two pictures") << 2 << true << QStringList{u"Open"_s, u"Mail"_s};
        QTest::newRow("no mail program") << 1 << false << QStringList{u"Copy"_s, u"Open"_s};
        QTest::newRow("nothing") << 0 << true << QStringList{};
    }

    void offersWhatTheDesktopCanDo() {
        QFETCH(int, images);
        QFETCH(bool, mailProgram);
        QFETCH(QStringList, entries);
        qputenv("PATH", QFile::encodeName(mailProgram ? m_programs.path() : u"/nonexistent"_s));
        NoClipboard clipboard;
        QtShareMenu share(clipboard);
        QWidget window;
        window.show();
        share.share(QList<QImage>(images, picture(Qt::red)), texts, &window, QPoint(50, 50));
        QStringList shown;
        if (auto* menu = window.findChild<QMenu*>())
            for (const QAction* action : menu->actions())
                shown.append(action->text());
        QCOMPARE(shown, entries);
    }

    // The mail program gets every picture as a PNG file; files left from
    // earlier days go.
    void attachesPngFilesToAMail() {
        qputenv("PATH", QFile::encodeName(m_programs.path()));
        QTemporaryDir folder;
        QFile old(folder.filePath(u"old.png"_s));
        QVERIFY(old.open(QIODevice::WriteOnly));
        QVERIFY(old.setFileTime(QDateTime::currentDateTime().addDays(-2),
                                QFileDevice::FileModificationTime));
        NoClipboard clipboard;
        QtShareMenu share(clipboard, folder.path());
        QWidget window;
        window.show();
        const QList<QImage> pictures{picture(Qt::red), picture(Qt::green)};
        share.share(pictures, texts, &window, QPoint(50, 50));
        window.findChild<QMenu*>()->actions().constLast()->trigger();

        QTRY_VERIFY(QFile::exists(m_arguments));
        QFile arguments(m_arguments);
        QVERIFY(arguments.open(QIODevice::ReadOnly));
        const QStringList lines = QString::fromUtf8(arguments.readAll()).trimmed().split(u'\n');
        QCOMPARE(lines.size(), 4);
        for (int i = 0; i < 2; ++i) {
            QCOMPARE(lines[2 * i], u"--attach"_s);
            QCOMPARE(QFileInfo(lines[2 * i + 1]).dir(), QDir(folder.path()));
            QCOMPARE(QImage(lines[2 * i + 1]).convertToFormat(QImage::Format_ARGB32), pictures[i]);
        }
        QVERIFY(!old.exists());
    }
};

QTEST_MAIN(TestShareMenu)
#include "tst_sharemenu.moc"
