#include "l10n/localization.h"
#include "support/files.h"
#include "support/languages.h"
#include "support/manualtimers.h"
#include "support/scratchstore.h"
#include "support/scriptedservices.h"
#include "ui/common/candybutton.h"
#include "ui/common/ghostbutton.h"
#include "ui/common/toasts.h"
#include "ui/common/tstexteditor.h"
#include "ui/quotes/quotecard.h"
#include "ui/quotes/quotecardbuttons.h"
#include "ui/quotes/quotecomposer.h"
#include "ui/quotes/quotelist.h"
#include "ui/quotes/quotessheet.h"

#include <QAccessible>
#include <QLabel>
#include <QLineEdit>
#include <QSemaphore>
#include <QTest>
#include <QThread>
#include <QTimer>

using namespace tessaro;
using namespace tessaro::test;
using namespace std::chrono_literals;
using namespace Qt::StringLiterals;

namespace {

// The sheet over a scratch store, in English, with every service scripted.
struct SheetWindow {
    InstalledLanguage language;
    ScratchStore scratch;
    ScriptedDialogs files;
    ScriptedClipboard clipboard;
    RecordingUrls urls;
    ManualTimers timers;
    QTemporaryDir folder;
    std::unique_ptr<QuotesSheet> sheet;

    explicit SheetWindow(QuotesSheetServices::ImportReader reader = readQuotesFile) {
        language.manager.setCode(u"en"_s);
        sheet = std::make_unique<QuotesSheet>(
            scratch.store, QuotesSheetServices{files, clipboard, urls, &timers, std::move(reader)});
        sheet->resize(720, 900);
        sheet->show();
    }

    QuoteComposer* composer() const { return sheet->composer(); }
    std::optional<QString> toast() const { return sheet->toasts().text(); }
    PenStore& store() { return scratch.store; }

    // The cards, once all are built and laid out.
    QList<QuoteCard*> cards() const {
        const auto shown = [this] {
            if (sheet->list()->isFilling())
                return false;
            const QList<QuoteCard*> cards = sheet->list()->cards();
            return std::all_of(cards.cbegin(), cards.cend(),
                               [](const QuoteCard* card) { return card->isVisible(); });
        };
        if (!QTest::qWaitFor(shown))
            return {};
        return sheet->list()->cards();
    }

    void type(QWidget* field, const QString& text) const {
        const QStringList lines = text.split(u'\n');
        for (qsizetype i = 0; i < lines.size(); ++i) {
            if (i > 0)
                QTest::keyClick(field, Qt::Key_Return);
            QTest::keyClicks(field, lines[i]);
        }
    }

    QString writeFile(const QByteArray& bytes) const {
        const QString path = folder.filePath(u"import.txt"_s);
        return test::writeFile(path, bytes) ? path : QString();
    }

    void import(const QString& path) {
        if (!path.isEmpty())
            files.openAnswer = path;
        QTest::mouseClick(sheet->importButton(), Qt::LeftButton);
        QTRY_VERIFY(!sheet->isImporting());
    }
};

// A drag with the left button across `widget`, in a few steps.
void drag(QWidget* widget, QPoint from, QPoint by) {
    QTest::mousePress(widget, Qt::LeftButton, {}, from);
    constexpr int steps = 5;
    for (int i = 1; i <= steps; ++i)
        QTest::mouseMove(widget, from + by * i / steps);
    QTest::mouseRelease(widget, Qt::LeftButton, {}, from + by);
}

// Swipes `card` open and waits until it settles there.
bool swipeOpen(QuoteCard* card) {
    drag(card, QPoint(400, 20), QPoint(-80, 0));
    return QTest::qWaitFor([card] { return card->offset() == -104.0; });
}

QString imported(int count) {
    return fillPlaceholders(L(u"ios.quotes.imported"_s), {{u"n"_s, QString::number(count)}});
}

} // namespace

class TestQuotesSheet : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Keep needs text that is not only spaces; Paste adds the clipboard's
    // text on a line of its own. Kept: the quote is in the store, the draft
    // empties, the focus leaves the fields and a toast says so. The same
    // again is refused silently.
    void keepAndPaste() {
        SheetWindow w;
        QuoteComposer* composer = w.composer();
        QVERIFY(w.sheet->showsEmptyState());
        w.type(composer->editor(), u"  \n   \n "_s);
        QVERIFY(!composer->keepButton()->isEnabled());
        QTest::mouseClick(composer->keepButton(), Qt::LeftButton);
        QVERIFY(w.store().quotes().isEmpty());

        w.type(composer->editor(), u"Stay curious."_s);
        QVERIFY(composer->keepButton()->isEnabled());
        w.clipboard.content = u"Always."_s;
        QTest::mouseClick(composer->pasteButton(), Qt::LeftButton);
        QCOMPARE(composer->draft(), u"  \n   \n Stay curious.\nAlways."_s);
        w.type(composer->sourceField(), u"Ada"_s);
        QTest::mouseClick(composer->keepButton(), Qt::LeftButton);
        QCOMPARE(w.store().quotes().size(), 1);
        QCOMPARE(w.store().quotes()[0].text, u"Stay curious.\nAlways."_s);
        QCOMPARE(w.store().quotes()[0].source, u"Ada"_s);
        QCOMPARE(composer->draft(), QString());
        QVERIFY(!composer->editor()->hasFocus() && !composer->sourceField()->hasFocus());
        QCOMPARE(w.toast(), L(u"quotes.saved"_s));
        QCOMPARE(w.cards().size(), 1);
        w.timers.advance(2400ms);
        QCOMPARE(w.toast(), std::nullopt);

        // Pasted into an empty draft, then Ctrl+Return, which keeps as the
        // button does.
        w.clipboard.content = u"Stay curious.\nAlways."_s;
        QTest::mouseClick(composer->pasteButton(), Qt::LeftButton);
        QCOMPARE(composer->draft(), u"Stay curious.\nAlways."_s);
        QTest::keyClick(composer->editor(), Qt::Key_Return, Qt::ControlModifier);
        QCOMPARE(w.store().quotes().size(), 1);
        QCOMPARE(composer->draft(), u"Stay curious.\nAlways."_s);
        QCOMPARE(w.toast(), std::nullopt);
    }

    // The face follows a horizontal drag once it has gone 12 points, and
    // settles open past half the 104-point reveal.
    void swipeSnapsAtHalfTheReveal_data() {
        QTest::addColumn<QPoint>("by");
        QTest::addColumn<double>("settled");
        QTest::newRow("52 to the left closes") << QPoint(-52, 3) << 0.0;
        QTest::newRow("53 to the left opens") << QPoint(-53, 3) << -104.0;
        QTest::newRow("past the reveal") << QPoint(-300, 0) << -104.0;
        QTest::newRow("more down than across") << QPoint(-60, 70) << 0.0;
        QTest::newRow("under the threshold") << QPoint(-11, 0) << 0.0;
    }

    void swipeSnapsAtHalfTheReveal() {
        QFETCH(QPoint, by);
        QFETCH(double, settled);
        SheetWindow w;
        w.store().addQuote(u"A quote to swipe."_s, {}, {});
        QuoteCard* card = w.cards().value(0);
        QVERIFY(card);
        QTest::mousePress(card, Qt::LeftButton, {}, QPoint(400, 20));
        QTest::mouseMove(card, QPoint(400, 20) + by);
        // While the button is down the face stays where the pointer put it.
        const bool follows = std::abs(by.x()) > std::abs(by.y()) && by.manhattanLength() >= 12;
        QCOMPARE(card->offset(), follows ? std::clamp(double(by.x()), -104.0, 0.0) : 0.0);
        QTest::mouseRelease(card, Qt::LeftButton, {}, QPoint(400, 20) + by);
        QTRY_COMPARE(card->offset(), settled);
        QCOMPARE(card->deleteButton() && card->deleteButton()->isVisible(), settled < 0);
    }

    // The first press arms; closing the card disarms. The cards of quotes
    // that stay keep their swipe and arm; a card that shows a new quote
    // starts closed, even when it is one that went, reused. The second press
    // of an armed button deletes and says so. Assistive technology gets a
    // "Delete" action that deletes at once.
    void deletingAQuote() {
        SheetWindow w;
        w.store().addQuote(u"Stays."_s, {}, {});
        w.store().addQuote(u"Goes."_s, {}, {});
        const QList<QuoteCard*> cards = w.cards();
        QCOMPARE(cards.size(), 2);
        QuoteCard* card = cards[1];
        QVERIFY(swipeOpen(card));
        QTest::mouseClick(card->deleteButton(), Qt::LeftButton, {}, QPoint(46, 20));
        QVERIFY(card->isArmed());
        QCOMPARE(w.store().quotes().size(), 2);
        drag(card, QPoint(300, 20), QPoint(80, 0));
        QTRY_COMPARE(card->offset(), 0.0);
        QVERIFY(!card->isArmed());

        for (QuoteCard* each : cards) {
            QVERIFY(swipeOpen(each));
            each->pressDelete();
        }
        w.store().deleteQuote(w.store().quotes()[0].id);
        w.store().addQuote(u"New."_s, u"Voice"_s, {});
        const QList<QuoteCard*> after = w.cards();
        QCOMPARE(after.size(), 2);
        QCOMPARE(after[0]->quote().text, u"New."_s);
        QCOMPARE(after[0]->offset(), 0.0);
        QVERIFY(!after[0]->isArmed());
        QCOMPARE(after[1], card);
        QCOMPARE(card->quote().text, u"Stays."_s);
        QCOMPARE(card->offset(), -104.0);
        QVERIFY(card->isArmed());

        QTest::mouseClick(card->deleteButton(), Qt::LeftButton, {}, QPoint(46, 20));
        QCOMPARE(w.store().quotes().size(), 1);
        QCOMPARE(w.store().quotes()[0].text, u"New."_s);
        QCOMPARE(w.toast(), L(u"ios.quotes.deleted"_s));
        QTRY_COMPARE(w.cards().size(), 1);

        w.timers.advance(2400ms);
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(w.cards()[0]);
        QVERIFY(accessible && accessible->actionInterface());
        QVERIFY(accessible->text(QAccessible::Name).startsWith(u"New.\nVoice\n"_s));
        const QString action = L(u"quotes.delete"_s);
        QVERIFY(accessible->actionInterface()->actionNames().contains(action));
        accessible->actionInterface()->doAction(action);
        QVERIFY(w.store().quotes().isEmpty());
        QCOMPARE(w.toast(), L(u"ios.quotes.deleted"_s));
    }

    // The source is a link only for a web link; anything else shows as text
    // and opens nothing.
    void sourceLinks() {
        SheetWindow w;
        // Bound directly, as another device's document might hold them.
        w.store().setQuotes({{u"q1"_s, u"Linked."_s, u"Ada"_s, u"https://ada.example/notes"_s, 3},
                             {u"q2"_s, u"Script."_s, u"Ada"_s, u"javascript:alert(1)"_s, 2},
                             {u"q3"_s, u"Only dated."_s, {}, u"https://ada.example"_s, 1}});
        const QList<QuoteCard*> cards = w.cards();
        QCOMPARE(cards.size(), 3);
        QuoteCard* linked = nullptr;
        for (QuoteCard* card : cards) {
            if (card->quote().id == u"q1"_s) {
                linked = card;
                continue;
            }
            QVERIFY2(!card->sourceLink(), qPrintable(card->quote().id));
            QTest::mouseClick(card, Qt::LeftButton, {}, QPoint(30, card->height() - 20));
        }
        QVERIFY(w.urls.opened.isEmpty());
        QVERIFY(linked && linked->sourceLink());
        QTest::mouseClick(linked->sourceLink(), Qt::LeftButton, {}, QPoint(4, 4));
        QCOMPARE(w.urls.opened, QList<QUrl>{QUrl(u"https://ada.example/notes"_s)});
        // A drag that starts on the link swipes and opens nothing.
        drag(linked->sourceLink(), QPoint(4, 4), QPoint(-80, 0));
        QTRY_COMPARE(linked->offset(), -104.0);
        QCOMPARE(w.urls.opened.size(), 1);
    }

    void importOutcomes_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("toast");
        QTest::addColumn<int>("quotes");
        QTest::newRow("not text") << QByteArray("\x00\x01\xff\xfe\x00", 5)
                                  << L(u"ios.quotes.importFailed"_s) << 1;
        QTest::newRow("nothing new")
            << QByteArray("Already here.\n") << L(u"ios.quotes.importNone"_s) << 1;
        QTest::newRow("two new") << QByteArray("One.\n\nTwo.\n- Someone\n\nAlready here.")
                                 << imported(2) << 3;
    }

    void importOutcomes() {
        QFETCH(QByteArray, content);
        QFETCH(QString, toast);
        QFETCH(int, quotes);
        SheetWindow w;
        w.store().addQuote(u"Already here."_s, {}, {});
        w.import(content.isEmpty() ? QString() : w.writeFile(content));
        QCOMPARE(w.files.asked, QStringList{u"text/plain application/json"_s});
        QCOMPARE(w.toast(), toast.isEmpty() ? std::nullopt : std::optional(toast));
        QCOMPARE(w.store().quotes().size(), quotes);
        QTRY_COMPARE(w.cards().size(), quotes);
        QCOMPARE(w.sheet->importButton()->isEnabled(), true);
    }

    // A 5 MiB file is read on a worker while the window goes on: the reader
    // here waits for a timer that only the GUI thread's event loop can fire.
    void windowTurnsDuringAFiveMiBImport() {
        QSemaphore loopTurned;
        QThread* readOn = nullptr;
        SheetWindow w([&](const QString& path, Date now) {
            readOn = QThread::currentThread();
            if (!loopTurned.tryAcquire(1, 10000))
                return std::variant<QList<Quote>, QString>(u"the event loop stood still"_s);
            return readQuotesFile(path, now);
        });
        QByteArray content;
        for (int i = 0; content.size() < 5 * 1024 * 1024 - 64; ++i)
            content += "Quote number " + QByteArray::number(i) + ", kept for later.\n\n";
        content.append(5 * 1024 * 1024 - content.size(), '\n');
        const QString path = w.writeFile(content);

        w.files.openAnswer = path;
        QTest::mouseClick(w.sheet->importButton(), Qt::LeftButton);
        QVERIFY(w.sheet->isImporting());
        QVERIFY(!w.sheet->importButton()->isEnabled());
        QTimer::singleShot(0, w.sheet.get(), [&] { loopTurned.release(); });
        QTRY_VERIFY_WITH_TIMEOUT(!w.sheet->isImporting(), 30000);
        QVERIFY(readOn && readOn != QThread::currentThread());
        QCOMPARE(w.toast(), imported(500));
        QCOMPARE(w.store().quotes().size(), 500);
        QCOMPARE(w.store().quotes()[0].text, u"Quote number 0, kept for later."_s);
        QTRY_COMPARE(w.cards().size(), 500);
    }

    // A write that fails says so; the next one writes the collection.
    void exportWritesTheCollection() {
        SheetWindow w;
        w.writeFile("in the way");
        w.store().addQuote(u"First line\nsecond line"_s, u"Ada"_s, u"https://ada.example"_s);
        w.store().addQuote(u"Bare."_s, {}, {});
        // Tests run as root: a folder that is a regular file stops any write.
        w.files.answer = w.folder.filePath(u"import.txt/quotes.txt"_s);
        QTest::mouseClick(w.sheet->exportButton(), Qt::LeftButton);
        QCOMPARE(w.toast(), L(u"quotes.exportFailed"_s));
        w.timers.advance(2400ms);
        w.files.answer = w.folder.filePath(u"quotes.txt"_s);
        QTest::mouseClick(w.sheet->exportButton(), Qt::LeftButton);
        QCOMPARE(w.files.asked, QStringList(2, u"tessaro-quotes.txt text/plain"_s));
        QCOMPARE(w.toast(), std::nullopt);
        // The text's layout is the export's own test; here, newest first.
        const QString written = QString::fromUtf8(test::readFile(*w.files.answer));
        QVERIFY(written.startsWith(u"Bare."_s));
        QVERIFY(written.contains(u"First line\nsecond line"_s));
    }
};

QTEST_MAIN(TestQuotesSheet)
#include "tst_quotessheet.moc"
