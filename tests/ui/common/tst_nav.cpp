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
    // The close button shows only on a titled bar that asks for it, and
    // closes the sheet.
    void closeButton() {
        for (const auto& [title, showsClose] : {std::pair(QString(), true), {u"Quotes"_s, false}}) {
            Sheet sheet(title, showsClose);
            auto* close = sheet.nav->findChild<PlainButton*>();
            QVERIFY2(!close || !close->isVisible(), qPrintable(title));
        }
        Sheet sheet(u"Quotes"_s, true);
        auto* close = sheet.nav->findChild<PlainButton*>();
        QVERIFY(close && close->isVisible());
        QSignalSpy rejected(&sheet.dialog, &QDialog::rejected);
        QTest::mouseClick(close, Qt::LeftButton);
        QCOMPARE(rejected.size(), 1);
        QVERIFY(!sheet.dialog.isVisible());
    }
};

QTEST_MAIN(TestNav)
#include "tst_nav.moc"
