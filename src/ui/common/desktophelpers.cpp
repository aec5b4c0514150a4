#include "desktophelpers.h"

#include "l10n/localization.h"
#include "platform/atomicfile.h"
#include "platform/widgets/clipboard.h"
#include "platform/widgets/filedialogs.h"
#include "platform/widgets/sharemenu.h"

#include <QApplication>
#include <QBuffer>
#include <QImage>
#include <QImageWriter>
#include <QWidget>

namespace tessaro {

using namespace Qt::StringLiterals;

std::optional<QByteArray> pngData(const QImage& image) {
    if (image.isNull())
        return std::nullopt;
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "png");
    if (!writer.write(image))
        return std::nullopt;
    return bytes;
}

void shareItems(const QList<QImage>& images, ShareMenu& menu, QWidget* window) {
    if (images.isEmpty())
        return;
    window = window ? window->window() : QApplication::activeWindow();
    if (!window)
        return;
    const QPoint anchor(window->width() / 2, window->height() - 40);
    const ShareTexts texts{L(u"share.copyImage"_s), L(u"share.openInViewer"_s),
                           L(u"share.attachToMail"_s)};
    menu.share(images, texts, window, window->mapToGlobal(anchor));
}

SaveOutcome saveTextFile(const QString& suggestedName, const QString& text,
                         FileDialogs& dialogs) {
    const std::optional<QString> path = dialogs.askSaveLocation(suggestedName, u"text/plain"_s);
    if (!path)
        return SaveOutcome::cancelled;
    return writeFileAtomically(*path, text.toUtf8()) ? SaveOutcome::saved : SaveOutcome::failed;
}

std::optional<QString> pasteboardText(const Clipboard& clipboard) {
    return clipboard.text();
}

} // namespace tessaro
