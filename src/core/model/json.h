#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>
#include <rapidjson/document.h>
#include <string_view>
#include <vector>

namespace tessaro {

using JsonValue = rapidjson::Value;

enum class JsonStatus {
    ok,
    invalid, // not JSON at all
    tooDeep, // JSON, but nested deeper than any document of ours
};

// Takes the members of one object of a document as they are read, instead of
// the document: the object named `key` in the root object (its first one). A
// map of a million entries costs several times its text as a document. The
// document holds an empty object in its place.
class JsonStreamedObject {
public:
    explicit JsonStreamedObject(std::string_view key)
        : key(key) {}
    virtual ~JsonStreamedObject() = default;

    // One member, in document order; `number` is none when the value is not a
    // number (or a number that does not fit a double).
    virtual void member(std::string_view name, std::optional<double> number) = 0;

    const std::string_view key;
};

// A parsed JSON text. Numbers are read with a correctly rounded conversion so
// that dates come back as the exact doubles that were written; a number that
// does not fit a double reads as null.
class JsonDocument {
public:
    // Deeper than anything Tessaro writes or reads by a wide margin, and low
    // enough that nothing recursive downstream can exhaust the stack.
    static constexpr int maxDepth = 128;

    JsonStatus parse(QByteArrayView bytes, JsonStreamedObject* stream = nullptr);
    const JsonValue& root() const { return m_document; }
    // True when some text could not be read as written and was replaced by
    // U+FFFD: bytes that are not UTF-8, or an escaped lone surrogate. Writing
    // the document back would lose the original.
    bool repaired() const { return m_repaired; }

private:
    rapidjson::Document m_document;
    // The text, parsed in place: the document's strings point into it.
    QByteArray m_text;
    bool m_repaired = false;
};

// Readers with the tolerant rules of stored records: a missing member and a
// null one are both "absent"; a wrong type is reported as such by `has`.
const JsonValue* jsonMember(const JsonValue& object, std::string_view key);
std::optional<QString> jsonString(const JsonValue* value);
std::optional<double> jsonNumber(const JsonValue* value);
inline bool jsonPresent(const JsonValue* value) {
    return value && !value->IsNull();
}

// Compact JSON output in the order the caller writes it.
class JsonWriter {
public:
    explicit JsonWriter(QByteArray& out)
        : m_out(out) {}

    void beginObject();
    void endObject();
    void beginArray();
    void endArray();
    void key(std::string_view name);
    // A member name taken from data, such as a tombstone key.
    void mapKey(const QString& name);
    void value(const QString& text);
    void value(double number);
    // A list of strings as an array.
    void value(const QStringList& texts);
    // Binary data as a base64 string.
    void base64Value(QByteArrayView data);

private:
    void separate();
    void appendEscaped(QByteArrayView utf8);
    void appendEscaped(QStringView text);

    QByteArray& m_out;
    std::vector<bool> m_hasItem;
    bool m_afterKey = false;
};

} // namespace tessaro
