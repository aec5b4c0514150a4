#pragma once

#include <QByteArray>
#include <QString>

#include <functional>
#include <optional>

namespace tessaro {

class PenStore;

// Where the canvas sheet finds the pages' files, and whether pages can
// arrive through the cloud folder.
class PageFiles {
public:
    // Reads one page's bytes; may run on any thread.
    using Reader = std::function<std::optional<QByteArray>()>;

    virtual ~PageFiles() = default;

    // A reader for the page `id`, made on the GUI thread with what it needs.
    virtual Reader reader(const QString& id) const = 0;
    // True when the cloud folder is there, so pages from other devices come in.
    virtual bool cloudAvailable() const = 0;
};

// The store's drawing files: the local copy, else the cloud folder's (which
// is then copied down).
class StorePageFiles final : public PageFiles {
public:
    explicit StorePageFiles(const PenStore& store)
        : m_store(store) {}

    Reader reader(const QString& id) const override;
    bool cloudAvailable() const override;

private:
    const PenStore& m_store;
};

} // namespace tessaro
