#pragma once

#include <QString>
#include <QUrl>

#include <optional>

namespace tessaro {

// A quote's link as something to open: only a well-formed http or https URL;
// any other scheme is never opened.
std::optional<QUrl> webLink(const QString& link);

} // namespace tessaro
