#include "spritecache.h"

#include <QPaintEngine>
#include <QPainter>

#include <cmath>

namespace tessaro {

namespace {

// Positions are kept to a quarter pixel: a finer step only multiplies the
// pictures of a moving item, a coarser one would show.
constexpr double steps = 4;

bool cacheable(const QPainter& painter) {
    const QPaintEngine* engine = painter.paintEngine();
    return engine && engine->type() == QPaintEngine::Raster && painter.opacity() >= 1 &&
           painter.compositionMode() == QPainter::CompositionMode_SourceOver;
}

} // namespace

SpriteCache::SpriteCache(qsizetype capacityBytes)
    : m_capacity(capacityBytes) {}

SpriteCache& SpriteCache::forThisThread() {
    thread_local SpriteCache cache;
    return cache;
}

void SpriteCache::clear() {
    m_entries.clear();
    m_bytes = 0;
}

void SpriteCache::draw(QPainter& painter, const QByteArray& key, const QRectF& bounds,
                       const Paint& paint) {
    if (!cacheable(painter)) {
        paint(painter);
        return;
    }
    const QTransform toDevice = painter.deviceTransform();
    const QPointF origin = toDevice.map(QPointF());
    const QRectF area = toDevice.mapRect(bounds.normalized()).translated(-origin);
    constexpr double far = 1 << 24;
    if (!toDevice.isInvertible() || !(std::fabs(origin.x()) < far) ||
        !(std::fabs(origin.y()) < far) || !(area.width() * area.height() * 4 < largestBytes) ||
        !(std::fabs(area.left()) < far) || !(std::fabs(area.top()) < far)) {
        paint(painter);
        return;
    }
    const QPointF snapped(std::round(origin.x() * steps) / steps,
                          std::round(origin.y() * steps) / steps);
    const QPoint whole(int(std::floor(snapped.x())), int(std::floor(snapped.y())));
    const QPointF phase = snapped - QPointF(whole);

    QByteArray full = key;
    full.reserve(key.size() + 8 * 8);
    for (const double part :
         {toDevice.m11(), toDevice.m12(), toDevice.m21(), toDevice.m22(), phase.x(), phase.y()})
        appendKey(full, part);
    appendKey(full, int(painter.renderHints()));

    ++m_clock;
    auto found = m_entries.find(full);
    if (found == m_entries.end()) {
        // One spare pixel on each side keeps antialiased edges whole.
        const QPoint offset(int(std::floor(area.left() + phase.x())) - 1,
                            int(std::floor(area.top() + phase.y())) - 1);
        const int width = int(std::ceil(area.right() + phase.x())) + 1 - offset.x();
        const int height = int(std::ceil(area.bottom() + phase.y())) + 1 - offset.y();
        QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
        if (image.isNull()) {
            paint(painter);
            return;
        }
        image.fill(Qt::transparent);
        {
            QPainter sprite(&image);
            sprite.setRenderHints(painter.renderHints());
            sprite.setTransform(toDevice *
                                QTransform::fromTranslate(-origin.x() + phase.x() - offset.x(),
                                                          -origin.y() + phase.y() - offset.y()));
            paint(sprite);
        }
        ++m_painted;
        m_bytes += image.sizeInBytes();
        found = m_entries.insert(full, Entry{std::move(image), offset, 0});
    }
    found->lastUse = m_clock;

    const Entry& entry = *found;
    painter.save();
    painter.resetTransform();
    const QRectF target = painter.deviceTransform().inverted().mapRect(
        QRectF(QPointF(whole + entry.offset), QSizeF(entry.image.size())));
    painter.drawImage(target, entry.image);
    painter.restore();
    if (m_bytes > m_capacity)
        evict();
}

void SpriteCache::evict() {
    // Down to three quarters, so a steady stream of new pictures does not
    // evict on every draw.
    const qsizetype goal = m_capacity / 4 * 3;
    while (m_bytes > goal && !m_entries.isEmpty()) {
        auto oldest = m_entries.begin();
        for (auto it = m_entries.begin(); it != m_entries.end(); ++it)
            if (it->lastUse < oldest->lastUse)
                oldest = it;
        m_bytes -= oldest->image.sizeInBytes();
        m_entries.erase(oldest);
    }
}

} // namespace tessaro
