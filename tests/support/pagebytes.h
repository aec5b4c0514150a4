#pragma once

// The bytes of drawing pages that tests hand to the page reader.
#include <QBuffer>
#include <QByteArray>
#include <QImage>

namespace tessaro::test {

// The start of an SVG root element, with both namespaces.
inline const QByteArray svgRoot = "<svg xmlns=\"http://www.w3.org/2000/svg\" "
                                  "xmlns:xlink=\"http://www.w3.org/1999/xlink\"";

// `image` encoded in `format` ("png", "jpeg").
inline QByteArray imageBytes(const QImage& image, const char* format) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

} // namespace tessaro::test
