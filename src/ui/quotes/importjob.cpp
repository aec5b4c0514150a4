#include "importjob.h"

#include <QFutureWatcher>
#include <QPromise>
#include <QThreadPool>

#include <memory>

namespace tessaro {

using ImportResult = std::variant<QList<Quote>, QString>;

void readImportInBackground(const QuotesSheetServices::ImportReader& reader, const QString& path,
                            Date now, QObject* context, std::function<void(ImportResult)> done) {
    // The worker only fills the promise; the watcher, which dies with the
    // context, is what reaches back into the GUI thread.
    auto promise = std::make_shared<QPromise<ImportResult>>();
    auto* watcher = new QFutureWatcher<ImportResult>(context);
    QObject::connect(watcher, &QFutureWatcherBase::finished, context,
                     [watcher, done = std::move(done)] {
                         watcher->deleteLater();
                         if (watcher->future().resultCount() > 0)
                             done(watcher->result());
                     });
    watcher->setFuture(promise->future());
    promise->start();
    QThreadPool::globalInstance()->start([promise, reader, path, now] {
        promise->addResult(reader(path, now));
        promise->finish();
    });
}

} // namespace tessaro
