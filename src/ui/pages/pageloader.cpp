#include "pageloader.h"

#include "render/pages/pagerender.h"

namespace tessaro {

void loadPageInBackground(PageFiles::Reader read, QSizeF pageSize, bool wantsThumbnail,
                          QObject* context, std::function<void(const LoadedPage&)> done) {
    runInBackground<LoadedPage>(
        [read = std::move(read), pageSize, wantsThumbnail] {
            LoadedPage loaded;
            const std::optional<QByteArray> bytes = read();
            if (!bytes)
                return loaded;
            const std::optional<Page> page = decodePage(*bytes);
            if (!page)
                return loaded;
            loaded.image = renderPage(*page, pageSize, pageViewScale);
            if (wantsThumbnail)
                loaded.thumbnail = makeThumbnail(*page, pageSize);
            return loaded;
        },
        context, std::move(done));
}

} // namespace tessaro
