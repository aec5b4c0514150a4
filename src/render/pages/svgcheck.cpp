#include "svgcheck.h"

#include <QBuffer>
#include <QHash>
#include <QImageReader>
#include <QXmlStreamReader>

#include <vector>

namespace tessaro {

namespace {

using namespace Qt::StringLiterals;

// The start of the bytes that must hold the first element.
constexpr qsizetype prologBytes = 64 * 1024;

QByteArray unowned(QByteArrayView bytes) {
    return QByteArray::fromRawData(bytes.data(), bytes.size());
}

QStringView reference(const QXmlStreamAttributes& attributes) {
    const QStringView xlink = attributes.value(u"http://www.w3.org/1999/xlink"_s, u"href"_s);
    return xlink.isEmpty() ? attributes.value(u"href"_s) : xlink;
}

// An image embedded in the page: PNG or JPEG data whose header promises a
// bounded number of pixels.
bool isSafeEmbeddedImage(QStringView href) {
    static const QString prefixes[] = {u"data:image/png;base64,"_s, u"data:image/jpeg;base64,"_s,
                                       u"data:image/jpg;base64,"_s};
    for (const QString& prefix : prefixes) {
        if (!href.startsWith(prefix, Qt::CaseInsensitive))
            continue;
        QByteArray data = QByteArray::fromBase64(href.sliced(prefix.size()).toLatin1());
        QBuffer buffer(&data);
        buffer.open(QIODevice::ReadOnly);
        QImageReader reader(&buffer);
        const QSize size = reader.size();
        return size.isValid() && qint64(size.width()) * size.height() <= maxSvgImagePixels;
    }
    return false;
}

struct Element {
    std::vector<int> children;
    // The element a <use> draws again.
    QString target;
};

// How many elements the document draws, following every <use>; more than
// `limit` reads as limit + 1, and a cycle of references as none.
std::optional<qint64> drawnElements(const std::vector<Element>& elements,
                                    const QHash<QString, int>& ids, qint64 limit) {
    std::vector<qint64> cost(elements.size(), -1);
    std::vector<char> visiting(elements.size(), 0);
    auto dependencies = [&](int node) {
        std::vector<int> found = elements[std::size_t(node)].children;
        const QString& target = elements[std::size_t(node)].target;
        if (!target.isEmpty())
            if (const auto it = ids.constFind(target); it != ids.cend())
                found.push_back(*it);
        return found;
    };
    // Depth first without recursion: references may chain through every
    // element of the page.
    struct Frame {
        int node;
        std::vector<int> pending;
    };
    std::vector<Frame> stack;
    stack.push_back({0, dependencies(0)});
    visiting[0] = 1;
    while (!stack.empty()) {
        Frame& frame = stack.back();
        if (!frame.pending.empty()) {
            const int next = frame.pending.back();
            frame.pending.pop_back();
            if (cost[std::size_t(next)] >= 0)
                continue;
            if (visiting[std::size_t(next)])
                return std::nullopt;
            visiting[std::size_t(next)] = 1;
            stack.push_back({next, dependencies(next)});
            continue;
        }
        qint64 total = 1;
        for (const int dependency : dependencies(frame.node))
            total = std::min(limit + 1, total + cost[std::size_t(dependency)]);
        cost[std::size_t(frame.node)] = total;
        visiting[std::size_t(frame.node)] = 0;
        stack.pop_back();
    }
    return cost[0];
}

} // namespace

bool looksLikeSvg(QByteArrayView bytes) {
    QXmlStreamReader reader(unowned(bytes.first(std::min(bytes.size(), prologBytes))));
    while (!reader.atEnd()) {
        if (reader.readNext() == QXmlStreamReader::StartElement)
            return reader.name() == u"svg"_s;
    }
    return false;
}

bool isSafeSvg(QByteArrayView bytes) {
    if (bytes.size() > maxSvgBytes || !looksLikeSvg(bytes))
        return false;
    QXmlStreamReader reader(unowned(bytes));
    std::vector<Element> elements;
    std::vector<int> open;
    QHash<QString, int> ids;
    int images = 0;
    while (!reader.atEnd()) {
        switch (reader.readNext()) {
        case QXmlStreamReader::DTD:
            // Entities are how a few bytes of markup grow into gigabytes.
            if (!reader.entityDeclarations().isEmpty())
                return false;
            break;
        case QXmlStreamReader::EntityReference:
            return false;
        case QXmlStreamReader::StartElement: {
            if (int(elements.size()) >= maxSvgElements || int(open.size()) >= maxSvgDepth)
                return false;
            const int index = int(elements.size());
            elements.emplace_back();
            if (!open.empty())
                elements[std::size_t(open.back())].children.push_back(index);
            open.push_back(index);
            const QXmlStreamAttributes attributes = reader.attributes();
            const QStringView id = attributes.value(u"id"_s);
            if (!id.isEmpty() && !ids.contains(id.toString()))
                ids.insert(id.toString(), index);
            const QStringView name = reader.name();
            const QStringView href = reference(attributes);
            if (name == u"use"_s) {
                if (!href.isEmpty() && !href.startsWith(u'#'))
                    return false;
                elements.back().target = href.sliced(std::min<qsizetype>(1, href.size())).toString();
            } else if (name == u"image"_s) {
                if (++images > maxSvgImages || !isSafeEmbeddedImage(href))
                    return false;
            }
            break;
        }
        case QXmlStreamReader::EndElement:
            open.pop_back();
            break;
        default:
            break;
        }
    }
    if (reader.hasError() || elements.empty())
        return false;
    const auto drawn = drawnElements(elements, ids, maxSvgDrawnElements);
    return drawn && *drawn <= maxSvgDrawnElements;
}

} // namespace tessaro
