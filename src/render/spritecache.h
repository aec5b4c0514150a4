#pragma once

#include <QByteArray>
#include <QHash>
#include <QImage>
#include <QPainter>
#include <QPoint>
#include <QRectF>
#include <QSize>
#include <QTransform>

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

namespace tessaro {

// Pictures that look the same from frame to frame (a bead, a pen body, the
// shade a bead casts) are painted once at device resolution and copied from
// then on, the way text is drawn from a glyph cache. Each thread keeps its
// own cache, bounded in bytes; the least recently used pictures go first.
class SpriteCache {
public:
    using Paint = std::function<void(QPainter&)>;

    // Pictures past this size are painted directly: they are rare, and one
    // would push everything else out.
    static constexpr qsizetype largestBytes = qsizetype(8) << 20;
    static constexpr qsizetype defaultCapacity = qsizetype(48) << 20;

    explicit SpriteCache(qsizetype capacityBytes = defaultCapacity);

    // Draws what `paint` paints, which stays within `bounds` (painter
    // coordinates) and must depend on nothing but `key` and the painter's
    // transform. Positions are kept to a quarter of a device pixel.
    // Painters that are not raster painters at full opacity with normal
    // blending paint directly.
    void draw(QPainter& painter, const QByteArray& key, const QRectF& bounds, const Paint& paint);

    // One picture of a frame: its key and bounds as draw() takes them, and
    // its place as a transform on top of the painter's.
    struct Part {
        QByteArray key;
        QRectF bounds;
        QTransform transform;
        Paint paint;
    };
    // Paints the parts that are not cached yet, several at once on the
    // render pool and the calling thread; the painter only lends its
    // settings. The paint functions must be safe to run on other threads.
    void prepare(const QPainter& painter, const std::vector<Part>& parts);
    void draw(QPainter& painter, const Part& part);

    void clear();
    qsizetype bytes() const { return m_bytes; }
    qsizetype count() const { return m_entries.size(); }
    // How many pictures were painted into the cache, for tests.
    std::uint64_t painted() const { return m_painted; }

    static SpriteCache& forThisThread();

private:
    struct Entry {
        QImage image;
        QPoint offset; // the picture's top left from the whole pixel of the origin
        std::uint64_t lastUse = 0;
    };

    // Where a picture goes and how it is painted into its image.
    struct Place {
        QByteArray key; // with the transform's part in it
        QPoint whole;   // the whole device pixel of the origin
        QPoint offset;
        QSize size;
        QTransform transform;
        QPainter::RenderHints hints;
    };

    static std::optional<Place> locate(const QTransform& toDevice, QPainter::RenderHints hints,
                                       const QByteArray& key, const QRectF& bounds);
    static QImage render(const Place& place, const Paint& paint);
    void insert(const QByteArray& key, QImage image, QPoint offset);
    void evict();

    QHash<QByteArray, Entry> m_entries;
    qsizetype m_capacity;
    qsizetype m_bytes = 0;
    std::uint64_t m_clock = 0;
    std::uint64_t m_painted = 0;
};

// Appends the bytes of `value` to a cache key.
template <typename T> void appendKey(QByteArray& key, const T& value) {
    key.append(reinterpret_cast<const char*>(&value), sizeof(T));
}

} // namespace tessaro
