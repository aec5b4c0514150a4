#pragma once

#include "quotessheetservices.h"

#include <QObject>

namespace tessaro {

// Reads an import file on a worker thread and hands the result back on the
// GUI thread, to `done`, unless `context` is gone by then (the file is then
// read for nothing, and nothing else happens).
void readImportInBackground(const QuotesSheetServices::ImportReader& reader, const QString& path,
                            Date now, QObject* context,
                            std::function<void(std::variant<QList<Quote>, QString>)> done);

} // namespace tessaro
