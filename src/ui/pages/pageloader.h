#pragma once

#include "pagefiles.h"

#include <QCoreApplication>
#include <QImage>
#include <QPointer>
#include <QThreadPool>
#include <QSizeF>

#include <functional>
#include <optional>

namespace tessaro {

// What loading a page gave: its picture at twice its size (null when the file
// is missing, cannot be read as a page, or the page is beyond the bounds),
// and a thumbnail when one was asked for and could be made.
struct LoadedPage {
    QImage image;
    std::optional<QByteArray> thumbnail;
};

// Reads, decodes and renders a page on a worker thread, then calls `done` on
// the GUI thread, unless `context` is gone by then.
void loadPageInBackground(PageFiles::Reader read, QSizeF pageSize, bool wantsThumbnail,
                          QObject* context, std::function<void(const LoadedPage&)> done);

// Runs `work` on a worker thread and then `done` with its result on the GUI
// thread, unless `context` is gone by then.
template <typename T>
void runInBackground(std::function<T()> work, QObject* context, std::function<void(const T&)> done) {
    // The answer goes through the application object, which outlives every
    // worker; the context is looked at only there, on the GUI thread.
    QThreadPool::globalInstance()->start(
        [work = std::move(work), guard = QPointer<QObject>(context), done = std::move(done)] {
            T result = work();
            QMetaObject::invokeMethod(
                QCoreApplication::instance(),
                [guard, done, result = std::move(result)] {
                    if (guard)
                        done(result);
                },
                Qt::QueuedConnection);
        });
}


// The scale a page is shown and saved at.
inline constexpr double pageViewScale = 2;

} // namespace tessaro
