#include "ui/common/nav.h"
#include "ui/common/plainbutton.h"

#include <QDialog>
#include <QLabel>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

using namespace tessaro;
using namespace Qt::StringLiterals;

namespace {

// A sheet as the screens build it: a dialog holding the frame.
struct Sheet {
    Sheet(const QString& title, bool showsClose)
        : content(new QLabel(u"body"_s))
        , nav(new Nav(title, showsClose, content)) {
        auto* column = new QVBoxLayout(&dialog);
        column->setContentsMargins(0, 0, 0, 0);
        column->addWidget(nav);
        dialog.show();
    }

    QDialog dialog;
    QLabel* content;
    Nav* nav;
};

} // namespace

class TestNav : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void bar_data() {
        QTest::addColumn<QString>("title");
        QTest::addColumn<bool>("showsClose");
        QTest::newRow("empty title") << QString() << true;
        QTest::newRow("title") << u"Quotes"_s << false;
        QTest::newRow("title and close") << u"Quotes"_s << true;
    }

    void bar() {
        QFETCH(QString, title);
        QFETCH(bool, showsClose);
        Sheet sheet(title, showsClose);
        const bool bar = !title.isEmpty();
        // Without a bar the content fills the frame; a bar is padded by 10
        // points above and below a 15-point title.
        QCOMPARE(sheet.content->geometry() == sheet.nav->rect(), !bar);
        QCOMPARE(sheet.content->y() >= 2 * 10 + 15, bar);
        auto* close = sheet.nav->findChild<PlainButton*>();
        QCOMPARE(close && close->isVisible(), bar && showsClose);
    }

    void closeRejectsTheDialog() {
        Sheet sheet(u"Quotes"_s, true);
        QSignalSpy rejected(&sheet.dialog, &QDialog::rejected);
        QTest::mouseClick(sheet.nav->findChild<PlainButton*>(), Qt::LeftButton);
        QCOMPARE(rejected.size(), 1);
        QVERIFY(!sheet.dialog.isVisible());
    }
};

QTEST_MAIN(TestNav)
#include "tst_nav.moc"
