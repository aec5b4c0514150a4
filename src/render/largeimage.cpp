#include "largeimage.h"

#include <sys/mman.h>

#include <cstdint>
#include <limits>

namespace tessaro {

namespace {

constexpr std::size_t hugePage = std::size_t(2) << 20;
// Below this a few page faults do not matter.
constexpr std::size_t worthIt = std::size_t(8) << 20;

struct Mapping {
    void* base;
    std::size_t length;
};

void unmap(void* info) {
    auto* mapping = static_cast<Mapping*>(info);
    munmap(mapping->base, mapping->length);
    delete mapping;
}

} // namespace

QImage allocateLargeImage(QSize size) {
    const auto format = QImage::Format_ARGB32_Premultiplied;
    if (size.width() <= 0 || size.height() <= 0)
        return {};
    const std::size_t bytesPerLine = std::size_t(size.width()) * 4;
    const std::size_t needed = bytesPerLine * std::size_t(size.height());
    if (needed < worthIt || bytesPerLine > std::size_t(std::numeric_limits<qsizetype>::max()) ||
        needed > std::numeric_limits<std::size_t>::max() - 2 * hugePage)
        return QImage(size, format);

    // Over-allocate so the image can start on a huge-page boundary.
    const std::size_t length = needed + hugePage;
    void* base = mmap(nullptr, length, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (base == MAP_FAILED)
        return QImage(size, format);
    const auto address = reinterpret_cast<std::uintptr_t>(base);
    const std::uintptr_t aligned = (address + hugePage - 1) & ~(std::uintptr_t(hugePage) - 1);
    auto* pixels = reinterpret_cast<uchar*>(aligned);
#ifdef MADV_HUGEPAGE
    madvise(pixels, needed, MADV_HUGEPAGE);
#endif
    auto* mapping = new Mapping{base, length};
    QImage image(pixels, size.width(), size.height(), qsizetype(bytesPerLine), format, unmap,
                 mapping);
    if (image.isNull()) {
        unmap(mapping);
        return QImage(size, format);
    }
    return image;
}

} // namespace tessaro
