#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <optional>

namespace tessaro {

// Standard base64 with padding. Thumbnails make up most of a full document, so
// both directions run a table-driven loop rather than Qt's general decoder.
void appendBase64(QByteArray& out, QByteArrayView data);

// Strict: only the standard alphabet, a length that is a multiple of four and
// padding at the end only. Anything else is not base64.
std::optional<QByteArray> decodeBase64(QByteArrayView text);

} // namespace tessaro
