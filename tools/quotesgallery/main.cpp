// Renders the quotes sheet to PNG files, to look at: in its sheet frame at
// 760 × 760, in English and German, light and dark, over six quotes; and,
// in English, the empty sheet and a card swiped open, armed, with a toast.
//   tessaro-quotes-gallery <folder> [scale]
// The scale (1 or 2) is the screen's; built with the project, never installed.
#include "../common/gallerydevice.h"
#include "l10n/localization.h"
#include "platform/widgets/clipboard.h"
#include "platform/widgets/filedialogs.h"
#include "platform/gui/urlopener.h"
#include "ui/common/nav.h"
#include "ui/common/toasts.h"
#include "ui/common/toastview.h"
#include "ui/quotes/quotecard.h"
#include "ui/quotes/quotecomposer.h"
#include "ui/quotes/quotelist.h"
#include "ui/quotes/quotessheet.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWheelEvent>
#include <QScrollArea>
#include <QScrollBar>

#include <cstdio>

using namespace tessaro;
using namespace Qt::StringLiterals;

namespace {

class NoFiles final : public FileDialogs {
public:
    std::optional<QString> askSaveLocation(const QString&, const QString&) override { return {}; }
};

class NoClipboard final : public Clipboard {
public:
    std::optional<QString> text() const override { return {}; }
    void setText(const QString&) override {}
    void setImage(const QImage&) override {}
};

class NoUrls final : public UrlOpener {
public:
    bool open(const QUrl&) override { return false; }
};

bool save(QWidget& widget, const QString& path) {
    QApplication::processEvents();
    if (widget.grab().toImage().save(path))
        return true;
    std::fprintf(stderr, "could not write %s\n", qPrintable(path));
    return false;
}

void addQuotes(PenStore& store) {
    store.addQuote(u"The cure for boredom is curiosity. There is no cure for curiosity."_s,
                   u"Dorothy Parker"_s, u"https://example.com/parker"_s);
    store.addQuote(u"Nothing in life is to be feared, it is only to be understood.\n\nNow is the "
                   u"time to understand more, so that we may fear less."_s,
                   u"Marie Curie"_s, {});
    store.addQuote(u"Make it work, make it right, make it fast."_s, {}, u"https://example.com"_s);
    store.addQuote(u"Donaudampfschifffahrtsgesellschaftskapitänsmütze — ein sehr langes Wort, "
                   u"das ohne Lücke umbrechen muss."_s,
                   u"Ein Lehrbuch der deutschen Sprache mit einem sehr langen Titel, der gekürzt "
                   u"werden muss"_s,
                   u"https://example.com/wort"_s);
    store.addQuote(u"Simplicity is prerequisite for reliability."_s, u"Edsger W. Dijkstra"_s, {});
    store.addQuote(u"Stay curious."_s, {}, {});
}

} // namespace

int main(int argc, char** argv) {
    const auto arguments =
        gallery::screenArguments(argc, argv, "tessaro-quotes-gallery <folder> [scale]");
    if (!arguments)
        return 2;
    QApplication app(argc, argv);
    gallery::Device device;
    PenStore& store = *device.store;
    NoFiles files;
    NoClipboard clipboard;
    NoUrls urls;
    const QuotesSheetServices services{files, clipboard, urls};

    auto* sheet = new QuotesSheet(store, services);
    Nav nav(u"Quotes"_s, true, sheet);
    nav.setAttribute(Qt::WA_DontShowOnScreen);
    nav.resize(760, 760);
    nav.show();

    bool ok = true;
    const QString suffix = u"@%1x.png"_s.arg(QString::fromLatin1(arguments->scale));
    const auto settle = [sheet] {
        while (sheet->list()->isFilling())
            QApplication::processEvents();
        QApplication::processEvents();
    };
    for (const QString& mode : {u"light"_s, u"dark"_s}) {
        device.appearance.setMode(mode);
        device.language.setCode(u"en"_s);
        nav.setTitle(L(u"quotes.title"_s));
        ok &= save(nav, arguments->folder + u"/en-"_s + mode + u"-quotes-empty"_s + suffix);
    }
    addQuotes(store);
    for (const QString& code : {u"en"_s, u"de"_s}) {
        device.language.setCode(code);
        nav.setTitle(L(u"quotes.title"_s));
        settle();
        for (const QString& mode : {u"light"_s, u"dark"_s}) {
            device.appearance.setMode(mode);
            const QString name = arguments->folder + u'/' + code + u'-' + mode + u"-quotes"_s;
            sheet->scrollArea()->verticalScrollBar()->setValue(0);
            ok &= save(nav, name + suffix);
            sheet->scrollArea()->verticalScrollBar()->setValue(330);
            ok &= save(nav, name + u"-scrolled"_s + suffix);
        }
    }

    // A draft, a card swiped open and armed, and a toast, in English.
    device.language.setCode(u"en"_s);
    nav.setTitle(L(u"quotes.title"_s));
    settle();
    sheet->composer()->setDraft(u"A draft that is being written"_s);
    QuoteCard* card = sheet->list()->cards().value(1);
    for (const QString& mode : {u"light"_s, u"dark"_s}) {
        device.appearance.setMode(mode);
        sheet->scrollArea()->verticalScrollBar()->setValue(230);
        QApplication::processEvents();
        QWheelEvent start(QPointF(40, 20), card->mapToGlobal(QPointF(40, 20)), QPoint(-80, 0), {},
                          Qt::NoButton, Qt::NoModifier, Qt::ScrollUpdate, false);
        QCoreApplication::sendEvent(card, &start);
        QWheelEvent end(QPointF(40, 20), card->mapToGlobal(QPointF(40, 20)), QPoint(), {},
                        Qt::NoButton, Qt::NoModifier, Qt::ScrollEnd, false);
        QCoreApplication::sendEvent(card, &end);
        while (card->offset() > -104)
            QApplication::processEvents();
        card->pressDelete();
        sheet->toasts().show(L(u"quotes.saved"_s));
        while (sheet->toasts().view()->fade() < 1)
            QApplication::processEvents();
        ok &= save(nav, arguments->folder + u"/en-"_s + mode + u"-quotes-swiped"_s + suffix);
        card->setFocus();
        QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QCoreApplication::sendEvent(card, &escape);
        while (card->offset() < 0)
            QApplication::processEvents();
    }
    return ok ? 0 : 1;
}
