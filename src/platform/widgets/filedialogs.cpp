#include "filedialogs.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QMimeDatabase>
#include <QStandardPaths>

namespace tessaro {

using namespace Qt::StringLiterals;

namespace {

// What the user chose in the dialog, once it closes; none on cancel.
std::optional<QString> chosenPath(QFileDialog& dialog) {
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    const QStringList chosen = dialog.selectedFiles();
    if (chosen.isEmpty() || chosen.constFirst().isEmpty())
        return std::nullopt;
    return chosen.constFirst();
}

} // namespace

std::optional<QString> QtFileDialogs::askSaveLocation(const QString& suggestedName,
                                                      const QString& mimeType) {
    QFileDialog dialog(QApplication::activeWindow());
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setMimeTypeFilters({mimeType});
    // A name typed without its extension still gets the type's own.
    dialog.setDefaultSuffix(QMimeDatabase().mimeTypeForName(mimeType).preferredSuffix());
    dialog.setDirectory(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation));
    dialog.selectFile(suggestedName);
    return chosenPath(dialog);
}

std::optional<QString> QtFileDialogs::askFolder(const QString& current) {
    QFileDialog dialog(QApplication::activeWindow());
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    // A folder not made yet opens its nearest existing parent.
    QDir start(current.isEmpty() ? QDir::homePath() : current);
    while (!start.exists() && start.cdUp()) {
    }
    dialog.setDirectory(start.exists() ? start.absolutePath() : QDir::homePath());
    return chosenPath(dialog);
}

std::optional<QString> QtFileDialogs::askOpenFile(const QStringList& mimeTypes) {
    QFileDialog dialog(QApplication::activeWindow());
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    // Each type alone and every file (a text without the usual extension is
    // still read, and a file that is not text is refused by its reader),
    // after all the types together, which the chooser starts with.
    dialog.setMimeTypeFilters(mimeTypes + QStringList{u"application/octet-stream"_s});
    const QMimeDatabase types;
    QStringList labels;
    QStringList patterns;
    for (const QString& name : mimeTypes) {
        const QMimeType type = types.mimeTypeForName(name);
        labels.append(type.comment());
        patterns += type.globPatterns();
    }
    patterns.removeDuplicates();
    if (!patterns.isEmpty()) {
        QStringList filters = dialog.nameFilters();
        filters.prepend(u"%1 (%2)"_s.arg(labels.join(u", "_s), patterns.join(u' ')));
        dialog.setNameFilters(filters);
    }
    dialog.setDirectory(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation));
    return chosenPath(dialog);
}

} // namespace tessaro
