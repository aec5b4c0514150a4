#pragma once

#include "quote.h"

#include <variant>

namespace tessaro {

// Import files are 1 byte to 5 MiB long.
inline constexpr qint64 maxImportFileSize = 5 * 1024 * 1024;

// Reads an import file: the quotes it holds, or the localisation key of the
// message that says why it could not be read ("quotes.importTooBig",
// "ios.quotes.importFailed"). Only a regular file (or a link to one) is read.
// Blocking; run it away from the main thread.
std::variant<QList<Quote>, QString> readQuotesFile(const QString& path, Date now);

// The file's text: UTF-8 without NUL bytes, else UTF-16 (by its byte-order
// mark, else in the byte order that fits). None for bytes that are neither,
// or that hold NUL characters (not text).
std::optional<QString> decodeImportText(const QByteArray& bytes);

} // namespace tessaro
