#include "filedialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QMimeDatabase>
#include <QStandardPaths>

namespace tessaro {

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
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    const QStringList chosen = dialog.selectedFiles();
    if (chosen.isEmpty() || chosen.constFirst().isEmpty())
        return std::nullopt;
    return chosen.constFirst();
}

} // namespace tessaro
