#include "spritecache.h"

#include "render/renderpool.h"

#include <QPaintEngine>
#include <QPainter>

#include <algorithm>
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

std::optional<SpriteCache::Place> SpriteCache::locate(const QTransform& toDevice,
                                                      QPainter::RenderHints hints,
                                                      const QByteArray& key, const QRectF& bounds) {
    const QPointF origin = toDevice.map(QPointF());
    const QRectF area = toDevice.mapRect(bounds.normalized()).translated(-origin);
    constexpr double far = 1 << 24;
    if (!toDevice.isInvertible() || !(std::fabs(origin.x()) < far) ||
        !(std::fabs(origin.y()) < far) || !(area.width() * area.height() * 4 < largestBytes) ||
        !(std::fabs(area.left()) < far) || !(std::fabs(area.top()) < far))
        return std::nullopt;
    Place place;
    const QPointF snapped(std::round(origin.x() * steps) / steps,
                          std::round(origin.y() * steps) / steps);
    place.whole = QPoint(int(std::floor(snapped.x())), int(std::floor(snapped.y())));
    const QPointF phase = snapped - QPointF(place.whole);
    // One spare pixel on each side keeps antialiased edges whole.
    place.offset = QPoint(int(std::floor(area.left() + phase.x())) - 1,
                          int(std::floor(area.top() + phase.y())) - 1);
    place.size = QSize(int(std::ceil(area.right() + phase.x())) + 1 - place.offset.x(),
                       int(std::ceil(area.bottom() + phase.y())) + 1 - place.offset.y());
    place.transform =
        toDevice * QTransform::fromTranslate(-origin.x() + phase.x() - place.offset.x(),
                                             -origin.y() + phase.y() - place.offset.y());
    place.hints = hints;
    place.key = key;
    place.key.reserve(key.size() + 8 * 8);
    for (const double part :
         {toDevice.m11(), toDevice.m12(), toDevice.m21(), toDevice.m22(), phase.x(), phase.y()})
        appendKey(place.key, part);
    appendKey(place.key, int(hints));
    return place;
}

QImage SpriteCache::render(const Place& place, const Paint& paint) {
    QImage image(place.size, QImage::Format_ARGB32_Premultiplied);
    if (image.isNull())
        return image;
    image.fill(Qt::transparent);
    QPainter sprite(&image);
    sprite.setRenderHints(place.hints);
    sprite.setTransform(place.transform);
    paint(sprite);
    return image;
}

void SpriteCache::insert(const QByteArray& key, QImage image, QPoint offset) {
    ++m_painted;
    m_bytes += image.sizeInBytes();
    m_entries.insert(key, Entry{std::move(image), offset, m_clock});
}

void SpriteCache::prepare(const QPainter& painter, const std::vector<Part>& parts) {
    if (!cacheable(painter))
        return;
    struct Job {
        Place place;
        const Paint* paint;
        QImage image;
    };
    std::vector<Job> jobs;
    for (const Part& part : parts) {
        std::optional<Place> place = locate(part.transform * painter.deviceTransform(),
                                            painter.renderHints(), part.key, part.bounds);
        if (!place || m_entries.contains(place->key))
            continue;
        const bool twice = std::any_of(jobs.begin(), jobs.end(),
                                       [&](const Job& job) { return job.place.key == place->key; });
        if (!twice)
            jobs.push_back({std::move(*place), &part.paint, {}});
    }
    if (jobs.empty())
        return;

    // The pictures are independent, so they are painted side by side.
    runPieces(jobs.size(),
              [&jobs](std::size_t i) { jobs[i].image = render(jobs[i].place, *jobs[i].paint); });

    ++m_clock;
    for (Job& job : jobs)
        if (!job.image.isNull())
            insert(job.place.key, std::move(job.image), job.place.offset);
    if (m_bytes > m_capacity)
        evict();
}

void SpriteCache::draw(QPainter& painter, const QByteArray& key, const QRectF& bounds,
                       const Paint& paint) {
    draw(painter, Part{key, bounds, QTransform(), paint});
}

void SpriteCache::draw(QPainter& painter, const Part& part) {
    const std::optional<Place> place = cacheable(painter)
                                           ? locate(part.transform * painter.deviceTransform(),
                                                    painter.renderHints(), part.key, part.bounds)
                                           : std::nullopt;
    const auto paintDirectly = [&] {
        painter.save();
        painter.setTransform(part.transform, true);
        part.paint(painter);
        painter.restore();
    };
    if (!place) {
        paintDirectly();
        return;
    }
    ++m_clock;
    auto found = m_entries.find(place->key);
    if (found == m_entries.end()) {
        QImage image = render(*place, part.paint);
        if (image.isNull()) {
            paintDirectly();
            return;
        }
        insert(place->key, std::move(image), place->offset);
        found = m_entries.find(place->key);
    }
    found->lastUse = m_clock;

    const Entry& entry = *found;
    painter.save();
    painter.resetTransform();
    const QRectF target = painter.deviceTransform().inverted().mapRect(
        QRectF(QPointF(place->whole + entry.offset), QSizeF(entry.image.size())));
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
