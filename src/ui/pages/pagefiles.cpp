#include "pagefiles.h"

#include "store/penstore.h"

namespace tessaro {

PageFiles::Reader StorePageFiles::reader(const QString& id) const {
    // The folders are read here, on the GUI thread, so that the worker never
    // touches the drawing files object itself.
    const DrawingFiles& files = m_store.drawingFiles();
    return [local = files.localDir(), cloud = files.cloudDir(), id] {
        return DrawingFiles::readPage(local, cloud, id);
    };
}

bool StorePageFiles::cloudAvailable() const {
    return m_store.drawingFiles().cloudDir().has_value();
}

} // namespace tessaro
