#include "sharemenu.h"

#include "clipboard.h"
#include "platform/atomicfile.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDateTime>
#include <QDesktopServices>
#include <QDir>
#include <QImage>
#include <QMenu>
#include <QProcess>
#include <QStandardPaths>
#include <QThreadPool>
#include <QUrl>

namespace tessaro {

using namespace Qt::StringLiterals;

namespace {

QString mailProgram() {
    return QStandardPaths::findExecutable(u"xdg-email"_s);
}

void removeOldFiles(const QDir& folder) {
    const QDateTime dayAgo = QDateTime::currentDateTimeUtc().addDays(-1);
    for (const QFileInfo& file : folder.entryInfoList({u"*.png"_s}, QDir::Files))
        if (file.lastModified() < dayAgo)
            QFile::remove(file.absoluteFilePath());
}

// Writes each picture as a PNG file of its own; empty when any of them fails.
QStringList writeFiles(const QList<QImage>& images, const QString& folderPath) {
    QDir folder(folderPath);
    if (!folder.mkpath(u"."_s))
        return {};
    removeOldFiles(folder);
    const QString stamp = QDateTime::currentDateTime().toString(u"yyyyMMdd-HHmmss-zzz"_s);
    QStringList paths;
    for (qsizetype i = 0; i < images.size(); ++i) {
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        const QString path = folder.filePath(u"tessaro-%1-%2.png"_s.arg(stamp).arg(i + 1));
        if (!images[i].save(&buffer, "PNG") || !writeFileAtomically(path, bytes))
            return {};
        paths.append(path);
    }
    return paths;
}

} // namespace

QtShareMenu::QtShareMenu(Clipboard& clipboard, QString folder)
    : m_clipboard(clipboard)
    , m_folder(folder.isEmpty()
                   ? QStandardPaths::writableLocation(QStandardPaths::CacheLocation) + u"/share"_s
                   : std::move(folder)) {}

void QtShareMenu::share(const QList<QImage>& images, const ShareTexts& texts, QWidget* parent,
                        const QPoint& position) {
    if (images.isEmpty())
        return;
    auto* menu = new QMenu(parent);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    // The clipboard holds one picture.
    if (images.size() == 1)
        menu->addAction(texts.copyImage, menu,
                        [this, image = images.constFirst()] { m_clipboard.setImage(image); });
    menu->addAction(texts.openInViewer, menu, [this, images] { handOff(images, Handoff::viewer); });
    if (!mailProgram().isEmpty())
        menu->addAction(texts.attachToMail, menu,
                        [this, images] { handOff(images, Handoff::mail); });
    menu->popup(position - QPoint(menu->sizeHint().width() / 2, 0));
}

void QtShareMenu::handOff(const QList<QImage>& images, Handoff to) const {
    // Encoding a screen-sized picture takes long enough to stall the window.
    QThreadPool::globalInstance()->start([images, to, folder = m_folder] {
        const QStringList paths = writeFiles(images, folder);
        if (paths.isEmpty())
            return;
        QMetaObject::invokeMethod(QCoreApplication::instance(), [paths, to] {
            if (to == Handoff::viewer) {
                for (const QString& path : paths)
                    QDesktopServices::openUrl(QUrl::fromLocalFile(path));
                return;
            }
            QStringList arguments;
            for (const QString& path : paths)
                arguments << u"--attach"_s << path;
            QProcess::startDetached(mailProgram(), arguments);
        });
    });
}

} // namespace tessaro
