#include "ui/common/tstexteditor.h"

#include <QSignalSpy>
#include <QTest>

using namespace tessaro;
using namespace Qt::StringLiterals;

class TestTSTextEditor : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Setting the value from outside replaces the text; the same text leaves
    // the cursor where it is.
    void settingTheValue_data() {
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("after");
        QTest::addColumn<int>("cursor");
        QTest::newRow("same text") << u"To be or not"_s << u"To be or not"_s << 3;
        QTest::newRow("other text") << u"To be or not"_s << u"Carpe diem"_s << 10;
        QTest::newRow("lines") << u"a"_s << u"one\ntwo"_s << 7;
    }

    void settingTheValue() {
        QFETCH(QString, before);
        QFETCH(QString, after);
        QFETCH(int, cursor);
        TSTextEditor editor;
        editor.setText(before);
        QTextCursor moved = editor.textCursor();
        moved.setPosition(3 < before.size() ? 3 : 0);
        editor.setTextCursor(moved);
        QSignalSpy changed(&editor, &TSTextEditor::textChanged);
        editor.setText(after);
        QCOMPARE(editor.toPlainText(), after);
        QCOMPARE(editor.textCursor().position(), cursor);
        QCOMPARE(changed.isEmpty(), before == after);
    }
};

QTEST_MAIN(TestTSTextEditor)
#include "tst_tstexteditor.moc"
