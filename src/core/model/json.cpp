#include "json.h"

#include "base64.h"
#include "date.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <rapidjson/reader.h>
#include <string>
#include <utility>

namespace tessaro {

namespace {

std::optional<double> numberFromText(const char* text, rapidjson::SizeType length) {
    double number = 0;
    const auto result = std::from_chars(text, text + length, number);
    if (result.ec != std::errc() || result.ptr != text + length)
        return std::nullopt;
    return number;
}

// Feeds the document, counting depth and converting numbers exactly, and
// hands the members of the streamed object to its receiver instead.
class DocumentBuilder {
public:
    DocumentBuilder(rapidjson::Document& document, JsonStreamedObject* stream)
        : m_document(document)
        , m_stream(stream) {}

    bool tooDeep() const { return m_tooDeep; }

    bool Null() {
        if (streaming())
            return streamed(std::nullopt);
        m_streamNext = false;
        return m_document.Null();
    }
    bool Bool(bool b) {
        if (streaming())
            return streamed(std::nullopt);
        m_streamNext = false;
        return m_document.Bool(b);
    }
    bool Int(int i) { return number(i); }
    bool Uint(unsigned i) { return number(i); }
    bool Int64(int64_t i) { return number(double(i)); }
    bool Uint64(uint64_t i) { return number(double(i)); }
    bool Double(double d) { return number(d); }
    bool RawNumber(const char* text, rapidjson::SizeType length, bool) {
        return number(numberFromText(text, length));
    }
    bool String(const char* text, rapidjson::SizeType length, bool copy) {
        if (streaming())
            return streamed(std::nullopt);
        m_streamNext = false;
        return m_document.String(text, length, copy);
    }
    bool Key(const char* text, rapidjson::SizeType length, bool copy) {
        if (streaming()) {
            if (m_depth == m_streamDepth)
                m_name.assign(text, length);
            return true;
        }
        // Only the first member of the root with that name is streamed.
        if (m_depth == 1 && m_stream && !m_streamSeen &&
            std::string_view(text, length) == m_stream->key) {
            m_streamSeen = true;
            m_streamNext = true;
        }
        return m_document.Key(text, length, copy);
    }
    bool StartObject() {
        if (!enter())
            return false;
        if (streaming())
            return streamed(std::nullopt, m_depth - 1);
        if (std::exchange(m_streamNext, false)) {
            m_streamDepth = m_depth;
            return true;
        }
        return m_document.StartObject();
    }
    bool EndObject(rapidjson::SizeType count) {
        if (streaming()) {
            if (m_depth-- == m_streamDepth) {
                m_streamDepth = 0;
                // The document keeps an empty object in the streamed one's place.
                return m_document.StartObject() && m_document.EndObject(0);
            }
            return true;
        }
        --m_depth;
        return m_document.EndObject(count);
    }
    bool StartArray() {
        if (!enter())
            return false;
        if (streaming())
            return streamed(std::nullopt, m_depth - 1);
        m_streamNext = false;
        return m_document.StartArray();
    }
    bool EndArray(rapidjson::SizeType count) {
        --m_depth;
        return streaming() || m_document.EndArray(count);
    }

private:
    bool enter() {
        if (++m_depth > JsonDocument::maxDepth) {
            m_tooDeep = true;
            return false;
        }
        return true;
    }

    bool streaming() const { return m_streamDepth > 0; }

    // A number that does not fit a double reads as null.
    bool number(std::optional<double> value) {
        if (streaming())
            return streamed(value);
        m_streamNext = false;
        return value ? m_document.Double(*value) : m_document.Null();
    }

    // A value that starts at `depth`: a member of the streamed object when it
    // sits right inside it; anything deeper is part of such a value.
    bool streamed(std::optional<double> number, int depth = -1) {
        if ((depth < 0 ? m_depth : depth) == m_streamDepth)
            m_stream->member(m_name, number);
        return true;
    }

    rapidjson::Document& m_document;
    JsonStreamedObject* m_stream;
    int m_depth = 0;
    bool m_tooDeep = false;
    bool m_streamSeen = false;
    bool m_streamNext = false;
    int m_streamDepth = 0;
    std::string m_name;
};

bool isHex(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

// The code unit of a "\uXXXX" escape starting at `i`, or -1.
int escapedUnit(QByteArrayView bytes, qsizetype i) {
    if (i + 6 > bytes.size() || bytes[i] != '\\' || bytes[i + 1] != 'u')
        return -1;
    int unit = 0;
    for (qsizetype k = i + 2; k < i + 6; ++k) {
        const char c = bytes[k];
        if (!isHex(c))
            return -1;
        unit = unit * 16 + (c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10);
    }
    return unit;
}

// Escapes of lone surrogates ("\ud800" with no partner) become "\ufffd", so
// that one damaged string reads as a replacement character instead of making
// the whole document unreadable. True when there was one.
bool replaceLoneSurrogates(char* text, qsizetype size) {
    const QByteArrayView bytes(text, size);
    bool replaced = false;
    qsizetype i = 0;
    while (i < size) {
        const char* found = static_cast<const char*>(std::memchr(text + i, '\\', size_t(size - i)));
        if (!found)
            break;
        i = found - text;
        const int unit = escapedUnit(bytes, i);
        if (unit < 0xD800 || unit > 0xDFFF) {
            i += 2; // any other escape, including an escaped backslash
            continue;
        }
        const int next = escapedUnit(bytes, i + 6);
        if (unit <= 0xDBFF && next >= 0xDC00 && next <= 0xDFFF) {
            i += 12;
            continue;
        }
        std::memcpy(text + i, "\\ufffd", 6);
        replaced = true;
        i += 6;
    }
    return replaced;
}

} // namespace

JsonStatus JsonDocument::parse(QByteArrayView bytes, JsonStreamedObject* stream) {
    m_document.SetNull();
    m_repaired = false;
    // A NUL byte is never valid JSON, and the reader would take it for the end.
    if (bytes.isEmpty() || std::memchr(bytes.data(), 0, size_t(bytes.size())))
        return JsonStatus::invalid;
    if (bytes.size() > qsizetype(std::numeric_limits<rapidjson::SizeType>::max()))
        return JsonStatus::invalid;

    // The reader passes invalid UTF-8 through, and strings read it as U+FFFD.
    m_repaired = !bytes.isValidUtf8();
    // Parsed in place: the strings stay in this copy instead of being copied
    // twice more into the document. The zero padding ends the text and lets
    // the vectorised scans read whole 16-byte blocks past its end.
    constexpr qsizetype padding = 16;
    m_text = QByteArray(bytes.size() + padding, Qt::Uninitialized);
    std::memcpy(m_text.data(), bytes.data(), size_t(bytes.size()));
    std::memset(m_text.data() + bytes.size(), 0, padding);
    if (std::memchr(bytes.data(), '\\', size_t(bytes.size())) &&
        replaceLoneSurrogates(m_text.data(), bytes.size()))
        m_repaired = true;

    DocumentBuilder builder(m_document, stream);
    bool parsed = false;
    auto generate = [&](rapidjson::Document&) {
        rapidjson::InsituStringStream input(m_text.data());
        rapidjson::Reader reader;
        constexpr unsigned flags = rapidjson::kParseIterativeFlag |
                                   rapidjson::kParseNumbersAsStringsFlag |
                                   rapidjson::kParseInsituFlag;
        parsed = !reader.Parse<flags>(input, builder).IsError();
        return parsed;
    };
    m_document.Populate(generate);
    if (!parsed) {
        m_document.SetNull();
        m_text.clear();
        m_repaired = false;
        return builder.tooDeep() ? JsonStatus::tooDeep : JsonStatus::invalid;
    }
    return JsonStatus::ok;
}

const JsonValue* jsonMember(const JsonValue& object, std::string_view key) {
    if (!object.IsObject())
        return nullptr;
    for (auto it = object.MemberBegin(); it != object.MemberEnd(); ++it) {
        const JsonValue& name = it->name;
        if (name.GetStringLength() == key.size() &&
            std::memcmp(name.GetString(), key.data(), key.size()) == 0)
            return &it->value;
    }
    return nullptr;
}

std::optional<QString> jsonString(const JsonValue* value) {
    if (!value || !value->IsString())
        return std::nullopt;
    return QString::fromUtf8(value->GetString(), qsizetype(value->GetStringLength()));
}

std::optional<double> jsonNumber(const JsonValue* value) {
    if (!value || !value->IsNumber())
        return std::nullopt;
    return value->GetDouble();
}

void JsonWriter::separate() {
    if (m_afterKey) {
        m_afterKey = false;
        return;
    }
    if (!m_hasItem.empty()) {
        if (m_hasItem.back())
            m_out.append(',');
        m_hasItem.back() = true;
    }
}

void JsonWriter::beginObject() {
    separate();
    m_out.append('{');
    m_hasItem.push_back(false);
}

void JsonWriter::endObject() {
    m_out.append('}');
    m_hasItem.pop_back();
}

void JsonWriter::beginArray() {
    separate();
    m_out.append('[');
    m_hasItem.push_back(false);
}

void JsonWriter::endArray() {
    m_out.append(']');
    m_hasItem.pop_back();
}

void JsonWriter::key(std::string_view name) {
    separate();
    m_out.append('"');
    appendEscaped(QByteArrayView(name.data(), qsizetype(name.size())));
    m_out.append("\":");
    m_afterKey = true;
}

void JsonWriter::mapKey(const QString& name) {
    separate();
    m_out.append('"');
    appendEscaped(QStringView(name));
    m_out.append("\":");
    m_afterKey = true;
}

void JsonWriter::value(const QString& text) {
    separate();
    m_out.append('"');
    appendEscaped(QStringView(text));
    m_out.append('"');
}

void JsonWriter::value(const QStringList& texts) {
    beginArray();
    for (const QString& text : texts)
        value(text);
    endArray();
}

void JsonWriter::value(double number) {
    separate();
    // JSON has no infinities or NaN; no stored date can hold one, but the
    // writer must still produce a readable document if one slips through.
    if (std::isnan(number))
        number = 0;
    else if (std::isinf(number))
        number = std::copysign(std::numeric_limits<double>::max(), number);
    m_out.append(shortestNumberText(number));
}

void JsonWriter::base64Value(QByteArrayView data) {
    separate();
    m_out.append('"');
    appendBase64(m_out, data);
    m_out.append('"');
}

namespace {

constexpr char hexDigits[] = "0123456789abcdef";

// Writes one character below U+0080 as JSON wants it.
char* writeAscii(char* out, char16_t c) {
    if (c >= 0x20 && c != u'"' && c != u'\\') {
        *out++ = char(c);
        return out;
    }
    *out++ = '\\';
    switch (c) {
    case u'"':
        *out++ = '"';
        break;
    case u'\\':
        *out++ = '\\';
        break;
    case u'\n':
        *out++ = 'n';
        break;
    case u'\r':
        *out++ = 'r';
        break;
    case u'\t':
        *out++ = 't';
        break;
    case u'\b':
        *out++ = 'b';
        break;
    case u'\f':
        *out++ = 'f';
        break;
    default:
        *out++ = 'u';
        *out++ = '0';
        *out++ = '0';
        *out++ = hexDigits[c >> 4];
        *out++ = hexDigits[c & 15];
    }
    return out;
}

} // namespace

void JsonWriter::appendEscaped(QByteArrayView utf8) {
    const qsizetype start = m_out.size();
    m_out.resize(start + utf8.size() * 6);
    char* out = m_out.data() + start;
    for (const char c : utf8) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x80)
            out = writeAscii(out, u);
        else
            *out++ = c;
    }
    m_out.resize(out - m_out.constData());
}

// Converts to UTF-8 and escapes in one pass, straight into the output: the
// texts of a full collection are most of what a document holds.
void JsonWriter::appendEscaped(QStringView text) {
    const qsizetype start = m_out.size();
    // At most six bytes per code unit (a control character as \u00XX).
    m_out.resize(start + text.size() * 6);
    char* out = m_out.data() + start;
    const char16_t* p = text.utf16();
    const char16_t* const end = p + text.size();
    while (p < end) {
        const char16_t c = *p++;
        if (c < 0x80) {
            out = writeAscii(out, c);
        } else if (c < 0x800) {
            *out++ = char(0xC0 | (c >> 6));
            *out++ = char(0x80 | (c & 0x3F));
        } else if (QChar::isHighSurrogate(c) && p < end && QChar::isLowSurrogate(*p)) {
            const char32_t u = QChar::surrogateToUcs4(c, *p++);
            *out++ = char(0xF0 | (u >> 18));
            *out++ = char(0x80 | ((u >> 12) & 0x3F));
            *out++ = char(0x80 | ((u >> 6) & 0x3F));
            *out++ = char(0x80 | (u & 0x3F));
        } else {
            // A lone surrogate has no UTF-8 form: it is written as U+FFFD.
            const char16_t u = QChar::isSurrogate(c) ? char16_t(0xFFFD) : c;
            *out++ = char(0xE0 | (u >> 12));
            *out++ = char(0x80 | ((u >> 6) & 0x3F));
            *out++ = char(0x80 | (u & 0x3F));
        }
    }
    m_out.resize(out - m_out.constData());
}

} // namespace tessaro
