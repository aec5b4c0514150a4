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
        : nav(new Nav(title, showsClose, new QLabel(u"body"_s))) {
        auto* column = new QVBoxLayout(&dialog);
        column->setContentsMargins(0, 0, 0, 0);
        column->addWidget(nav);
        dialog.show();
    }

    QDialog dialog;
    Nav* nav;
};

} // namespace

class TestNav : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // The close button shows only on a bar that asks for it, and closes
    // the sheet.
    void closeButton_data() {
        QTest::addColumn<QString>("title");
        QTest::addColumn<bool>("showsClose");
        QTest::newRow("empty title") << QString() << true;
        QTest::newRow("title") << u"Quotes"_s << false;
        QTest::newRow("title and close") << u"Quotes"_s << true;
    }

    void closeButton() {
        QFETCH(QString, title);
        QFETCH(bool, showsClose);
        Sheet sheet(title, showsClose);
        auto* close = sheet.nav->findChild<PlainButton*>();
        const bool shown = !title.isEmpty() && showsClose;
        QCOMPARE(close && close->isVisible(), shown);
        if (!shown)
            return;
        QSignalSpy rejected(&sheet.dialog, &QDialog::rejected);
        QTest::mouseClick(close, Qt::LeftButton);
        QCOMPARE(rejected.size(), 1);
        QVERIFY(!sheet.dialog.isVisible());
    }
};

QTEST_MAIN(TestNav)
#include "tst_nav.moc"
