// Page files from other machines: any bytes decode or are refused within the
// bounds, a decoded page renders and thumbnails without a crash, and a page
// of strokes reads back unchanged from what the format writes for it.
#include "render/pages/pagerender.h"

#include <QGuiApplication>

#include <cstdint>
#include <cstdlib>

using namespace tessaro;

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    // SVG text needs fonts, which need a GUI application; no display.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto page = decodePage(QByteArrayView(data, qsizetype(size)));
    if (!page)
        return 0;
    // Small, so that each input stays quick; the bounds are the decoder's.
    const QImage image = renderPage(*page, QSizeF(100, 140), 0.5);
    if (image.size() != QSize(50, 70))
        std::abort();
    if (const auto thumbnail = makeThumbnail(*page, QSizeF(100, 140));
        thumbnail && thumbnail->size() > 40960)
        std::abort();
    if (page->kind == PageKind::strokes) {
        const auto again = parseStrokePage(strokePageJson(page->strokes));
        if (!again || !(*again == page->strokes))
            std::abort();
    }
    return 0;
}
