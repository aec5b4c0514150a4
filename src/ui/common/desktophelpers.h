#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

class QImage;
class QWidget;

namespace tessaro {

class Clipboard;
class FileDialogs;
class ShareMenu;

// The image as PNG bytes; none for a null image or when encoding fails.
std::optional<QByteArray> pngData(const QImage& image);

// Offers the images through the share menu, from `window` (by default the
// active window): the menu opens at the window's horizontal middle, 40 points
// above its bottom. An empty list, or no window, does nothing.
void shareItems(const QList<QImage>& images, ShareMenu& menu, QWidget* window = nullptr);

enum class SaveOutcome { saved, cancelled, failed };

// Asks where to save a plain-text file, proposing `suggestedName`, and writes
// `text` there atomically as UTF-8. A cancel and a failed write are told
// apart, so that a caller can say when a file the user asked for is missing.
SaveOutcome saveTextFile(const QString& suggestedName, const QString& text, FileDialogs& dialogs);

// The clipboard's plain text, if it holds any.
std::optional<QString> pasteboardText(const Clipboard& clipboard);

} // namespace tessaro
