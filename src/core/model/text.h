#pragma once

#include <QString>

namespace tessaro {

// Counting in user-perceived characters (extended grapheme clusters).
qsizetype graphemeCount(const QString& text);
// The first `limit` user-perceived characters of `text`.
QString firstGraphemes(const QString& text, qsizetype limit);

// Trims spaces and tabs only, leaving other white space in place.
QString trimmedSpacesAndTabs(QStringView text);

} // namespace tessaro
