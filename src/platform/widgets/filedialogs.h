#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace tessaro {

// Asks the user where files go.
class FileDialogs {
public:
    virtual ~FileDialogs() = default;

    // Where to save a file of `mimeType` ("text/plain", "image/png"),
    // proposing `suggestedName`; none when the user cancels.
    virtual std::optional<QString> askSaveLocation(const QString& suggestedName,
                                                   const QString& mimeType) = 0;
    // A folder, the chooser opening at `current`; none when the user cancels.
    // Stand-ins that never choose folders need not answer.
    virtual std::optional<QString> askFolder(const QString& current) {
        Q_UNUSED(current);
        return std::nullopt;
    }
    // One existing file to open, of one of `mimeTypes` ("text/plain",
    // "application/json"); none when the user cancels. Folders and several
    // files cannot be chosen. A desktop that offers no files answers none.
    virtual std::optional<QString> askOpenFile(const QStringList& mimeTypes) {
        Q_UNUSED(mimeTypes);
        return std::nullopt;
    }
};

// QFileDialog, which shows the desktop portal's chooser where the desktop has
// one and Qt's own elsewhere, over the active window.
class QtFileDialogs final : public FileDialogs {
public:
    std::optional<QString> askSaveLocation(const QString& suggestedName,
                                           const QString& mimeType) override;
    std::optional<QString> askFolder(const QString& current) override;
    std::optional<QString> askOpenFile(const QStringList& mimeTypes) override;
};

} // namespace tessaro
