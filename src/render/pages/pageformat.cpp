#include "pageformat.h"

#include "model/catalog.h"

#include <rapidjson/reader.h>

#include <charconv>
#include <cmath>

namespace tessaro {

namespace {

constexpr std::string_view formatName = "tessaro-page";
// Deep enough for any value a newer writer may add; a skipped value nested
// deeper than this is not a page.
constexpr int maxSkippedDepth = 32;

std::optional<QColor> inkFromHex(std::string_view text) {
    if ((text.size() != 7 && text.size() != 9) || text[0] != '#')
        return std::nullopt;
    unsigned value = 0;
    const auto [end, error] = std::from_chars(text.data() + 1, text.data() + text.size(), value, 16);
    if (error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    if (text.size() == 7)
        return QColor::fromRgb(value >> 16, (value >> 8) & 0xff, value & 0xff);
    return QColor::fromRgb(value >> 24, (value >> 16) & 0xff, (value >> 8) & 0xff, value & 0xff);
}

// Reads the page as rapidjson streams it: only the values the format names
// are kept, every count is checked as it grows, and anything else is
// skipped without being stored.
class PageHandler : public rapidjson::BaseReaderHandler<rapidjson::UTF8<>, PageHandler> {
public:
    // Where the reader stands: the containers of the format that are open.
    enum class In { root, size, strokes, stroke, points };

    bool Default() { return scalar(std::nullopt, std::nullopt); }
    bool Int(int value) { return scalar(double(value), std::nullopt); }
    bool Uint(unsigned value) { return scalar(double(value), std::nullopt); }
    bool Int64(int64_t value) { return scalar(double(value), std::nullopt); }
    bool Uint64(uint64_t value) { return scalar(double(value), std::nullopt); }
    bool Double(double value) { return scalar(value, std::nullopt); }
    bool String(const char* text, rapidjson::SizeType length, bool) {
        return scalar(std::nullopt, std::string_view(text, length));
    }

    bool Key(const char* text, rapidjson::SizeType length, bool) {
        if (m_skipping == 0)
            m_key.assign(text, length);
        return true;
    }

    bool StartObject() {
        if (m_skipping > 0)
            return skipDeeper();
        if (m_stack.empty()) {
            m_stack.push_back(In::root);
            return true;
        }
        if (m_stack.back() == In::strokes) {
            if (int(m_page.strokes.size()) >= maxPageStrokes)
                return false;
            m_stroke = PageStroke();
            m_coordinates.clear();
            m_strokeBad = false;
            m_stack.push_back(In::stroke);
            return true;
        }
        valueOfWrongKind();
        return skipDeeper();
    }

    bool StartArray() {
        if (m_skipping > 0)
            return skipDeeper();
        if (m_stack.empty())
            return false;
        const In in = m_stack.back();
        if (in == In::root && m_key == "size") {
            m_sizeValues.clear();
            m_stack.push_back(In::size);
            return true;
        }
        if (in == In::root && m_key == "strokes") {
            m_stack.push_back(In::strokes);
            return true;
        }
        if (in == In::stroke && m_key == "points") {
            m_coordinates.clear();
            m_stack.push_back(In::points);
            return true;
        }
        valueOfWrongKind();
        return skipDeeper();
    }

    bool EndObject(rapidjson::SizeType) { return end(); }
    bool EndArray(rapidjson::SizeType) { return end(); }

    // The page, once the whole text has been read.
    std::optional<StrokePage> page() {
        if (!m_done || m_format != formatName || m_version != strokePageVersion)
            return std::nullopt;
        return std::move(m_page);
    }

private:
    bool skipDeeper() { return ++m_skipping <= maxSkippedDepth; }

    // A container where the format wants a plain value, or the other way
    // round: a bad sample spoils its stroke, a bad size is no size.
    void valueOfWrongKind() {
        if (m_stack.back() == In::points)
            m_strokeBad = true;
        else if (m_stack.back() == In::size)
            m_sizeBad = true;
        else if (m_stack.back() == In::stroke && m_key == "points")
            m_strokeBad = true;
    }

    bool scalar(std::optional<double> number, std::optional<std::string_view> text) {
        if (m_skipping > 0)
            return true;
        if (m_stack.empty())
            return false;
        switch (m_stack.back()) {
        case In::root:
            if (m_key == "format" && text)
                m_format.assign(*text);
            else if (m_key == "version" && number)
                m_version = *number;
            return true;
        case In::size:
            if (number)
                m_sizeValues.push_back(*number);
            else
                m_sizeBad = true;
            return true;
        case In::strokes:
            return true;
        case In::stroke:
            if (m_key == "tool" && text) {
                const QString tool = QString::fromUtf8(text->data(), qsizetype(text->size()));
                if (penTypeById(tool))
                    m_stroke.tool = tool;
            } else if (m_key == "ink" && text) {
                if (const auto ink = inkFromHex(*text))
                    m_stroke.ink = *ink;
            } else if (m_key == "width" && number && std::isfinite(*number)) {
                m_stroke.width = std::clamp(*number, minStrokeWidth, maxStrokeWidth);
            } else if (m_key == "points") {
                m_strokeBad = true;
            }
            return true;
        case In::points:
            if (!number) {
                m_strokeBad = true;
                return true;
            }
            if (++m_pageCoordinates > 3 * qint64(maxPagePoints)
                || m_coordinates.size() >= 3 * std::size_t(maxStrokePoints))
                return false;
            m_coordinates.push_back(*number);
            return true;
        }
        return true;
    }

    bool end() {
        if (m_skipping > 0) {
            --m_skipping;
            return true;
        }
        const In closed = m_stack.back();
        m_stack.pop_back();
        switch (closed) {
        case In::root:
            m_done = true;
            break;
        case In::size:
            if (!m_sizeBad && m_sizeValues.size() == 2 && std::isfinite(m_sizeValues[0])
                && std::isfinite(m_sizeValues[1]) && m_sizeValues[0] > 0 && m_sizeValues[1] > 0)
                m_page.size = QSizeF(m_sizeValues[0], m_sizeValues[1]);
            m_sizeBad = false;
            break;
        case In::stroke:
            finishStroke();
            break;
        case In::strokes:
        case In::points:
            break;
        }
        return true;
    }

    void finishStroke() {
        if (m_strokeBad || m_coordinates.empty() || m_coordinates.size() % 3 != 0)
            return;
        std::vector<StrokePoint>& points = m_stroke.points;
        points.reserve(m_coordinates.size() / 3);
        for (std::size_t i = 0; i < m_coordinates.size(); i += 3) {
            const double x = m_coordinates[i];
            const double y = m_coordinates[i + 1];
            const double pressure = m_coordinates[i + 2];
            if (!(std::abs(x) <= maxPageCoordinate && std::abs(y) <= maxPageCoordinate)
                || !std::isfinite(pressure))
                return;
            points.push_back({float(x), float(y), float(std::clamp(pressure, 0.0, 1.0))});
        }
        m_page.strokes.push_back(std::move(m_stroke));
    }

    std::vector<In> m_stack;
    int m_skipping = 0;
    std::string m_key;
    std::string m_format;
    double m_version = 0;
    std::vector<double> m_sizeValues;
    bool m_sizeBad = false;
    PageStroke m_stroke;
    std::vector<double> m_coordinates;
    bool m_strokeBad = false;
    qint64 m_pageCoordinates = 0;
    StrokePage m_page;
    bool m_done = false;
};

void appendNumber(QByteArray& out, double value) {
    char buffer[32];
    const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value);
    out.append(buffer, error == std::errc() ? end - buffer : 0);
}

void appendNumber(QByteArray& out, float value) {
    char buffer[32];
    const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value);
    out.append(buffer, error == std::errc() ? end - buffer : 0);
}

QByteArray inkHex(const QColor& ink) {
    QByteArray hex = "#" + QByteArray::number(ink.rgb() & 0xffffff, 16).rightJustified(6, '0');
    if (ink.alpha() != 255)
        hex += QByteArray::number(ink.alpha(), 16).rightJustified(2, '0');
    return hex.toUpper();
}

} // namespace

bool looksLikeStrokePage(QByteArrayView bytes) {
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes = bytes.sliced(3);
    for (const char c : bytes) {
        if (c == ' ' || c == '\t' || c == '\n' || c == '\r')
            continue;
        return c == '{';
    }
    return false;
}

std::optional<StrokePage> parseStrokePage(QByteArrayView bytes) {
    if (!looksLikeStrokePage(bytes))
        return std::nullopt;
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes = bytes.sliced(3);
    rapidjson::MemoryStream stream(bytes.data(), std::size_t(bytes.size()));
    rapidjson::EncodedInputStream<rapidjson::UTF8<>, rapidjson::MemoryStream> input(stream);
    PageHandler handler;
    rapidjson::Reader reader;
    // Iterative: nesting costs heap, not stack, and the handler bounds it.
    if (reader.Parse<rapidjson::kParseIterativeFlag | rapidjson::kParseValidateEncodingFlag>(
            input, handler)
            .IsError())
        return std::nullopt;
    return handler.page();
}

QByteArray strokePageJson(const StrokePage& page) {
    QByteArray out = R"({"format":"tessaro-page","version":)";
    out += QByteArray::number(strokePageVersion);
    if (page.size) {
        out += R"(,"size":[)";
        appendNumber(out, page.size->width());
        out += ',';
        appendNumber(out, page.size->height());
        out += ']';
    }
    out += R"(,"strokes":[)";
    bool firstStroke = true;
    for (const PageStroke& stroke : page.strokes) {
        if (!firstStroke)
            out += ',';
        firstStroke = false;
        out += R"({"tool":")" + stroke.tool.toUtf8() + R"(","ink":")" + inkHex(stroke.ink)
               + R"(","width":)";
        appendNumber(out, stroke.width);
        out += R"(,"points":[)";
        bool firstPoint = true;
        for (const StrokePoint& point : stroke.points) {
            if (!firstPoint)
                out += ',';
            firstPoint = false;
            appendNumber(out, point.x);
            out += ',';
            appendNumber(out, point.y);
            out += ',';
            appendNumber(out, point.pressure);
        }
        out += "]}";
    }
    out += "]}\n";
    return out;
}

} // namespace tessaro
