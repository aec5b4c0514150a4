#include "pensnapshot.h"

#include "base64.h"
#include "text.h"

namespace tessaro {

namespace {

// The base64 text of snapshotDrawingBytes; a longer text is over the limit
// before it is decoded.
constexpr qsizetype maxDrawingText = (snapshotDrawingBytes + 2) / 3 * 4;

// A list of strings as a whole: one element that is not a string empties it.
QStringList stringList(const JsonValue& root, std::string_view key) {
    QStringList list;
    const JsonValue* value = jsonMember(root, key);
    if (!value || !value->IsArray())
        return list;
    for (const JsonValue& item : value->GetArray()) {
        const auto text = jsonString(&item);
        if (!text)
            return {};
        list.append(*text);
    }
    return list;
}

} // namespace

QByteArray PenSnapshot::toJson() const {
    QByteArray out;
    JsonWriter writer(out);
    writer.beginObject();
    writePenDesign(writer, beads, barrel, charm, type, ink);
    writer.key("quotes");
    writer.value(quotes);
    if (drawingPNG) {
        writer.key("drawingPNG");
        writer.base64Value(*drawingPNG);
    }
    writer.endObject();
    return out;
}

PenSnapshot PenSnapshot::fromJson(QByteArrayView bytes) {
    PenSnapshot snapshot;
    if (bytes.size() > maxSnapshotBytes)
        return snapshot;
    JsonDocument document;
    if (document.parse(bytes) != JsonStatus::ok || !document.root().IsObject())
        return snapshot;
    const JsonValue& root = document.root();
    snapshot.beads = stringList(root, "beads");
    snapshot.barrel = jsonString(jsonMember(root, "barrel")).value_or(defaultBarrel);
    snapshot.charm = jsonString(jsonMember(root, "charm")).value_or(defaultCharm);
    snapshot.type = jsonString(jsonMember(root, "type")).value_or(defaultPenType);
    snapshot.ink = jsonString(jsonMember(root, "ink")).value_or(defaultInk);
    const QStringList quotes = stringList(root, "quotes");
    for (qsizetype i = 0; i < std::min<qsizetype>(snapshotQuotes, quotes.size()); ++i)
        snapshot.quotes.append(firstGraphemes(quotes[i], snapshotQuoteLength));
    if (const JsonValue* png = jsonMember(root, "drawingPNG");
        png && png->IsString() && png->GetStringLength() <= maxDrawingText) {
        auto decoded = decodeBase64(QByteArrayView(png->GetString(), png->GetStringLength()));
        if (decoded && decoded->size() <= snapshotDrawingBytes)
            snapshot.drawingPNG = std::move(decoded);
    }
    return snapshot;
}

Pen PenSnapshot::pen() const {
    Pen pen;
    pen.beads = beads;
    pen.barrel = barrel;
    pen.charm = charm;
    pen.type = type;
    pen.ink = ink;
    return pen.sanitized();
}

} // namespace tessaro
