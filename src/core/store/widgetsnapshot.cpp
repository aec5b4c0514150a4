#include "widgetsnapshot.h"

#include "model/base64.h"
#include "model/text.h"
#include "platform/preferences.h"

namespace tessaro {

using namespace Qt::StringLiterals;

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
    JsonDocument document;
    if (document.parse(bytes) != JsonStatus::ok || !document.root().IsObject())
        return snapshot;
    const JsonValue& root = document.root();
    auto strings = [&](std::string_view key) {
        QStringList list;
        const JsonValue* value = jsonMember(root, key);
        if (!value || !value->IsArray())
            return list;
        for (const JsonValue& item : value->GetArray()) {
            const auto text = jsonString(&item);
            if (!text)
                return QStringList();
            list.append(*text);
        }
        return list;
    };
    snapshot.beads = strings("beads");
    snapshot.barrel = jsonString(jsonMember(root, "barrel")).value_or(defaultBarrel);
    snapshot.charm = jsonString(jsonMember(root, "charm")).value_or(defaultCharm);
    snapshot.type = jsonString(jsonMember(root, "type")).value_or(defaultPenType);
    snapshot.ink = jsonString(jsonMember(root, "ink")).value_or(defaultInk);
    snapshot.quotes = strings("quotes");
    if (const JsonValue* png = jsonMember(root, "drawingPNG"); png && png->IsString()) {
        auto decoded = decodeBase64(QByteArrayView(png->GetString(), png->GetStringLength()));
        if (decoded && decoded->size() <= maxThumbnailBytes)
            snapshot.drawingPNG = std::move(decoded);
    }
    return snapshot;
}

PenSnapshot makeSnapshot(const Pen& pen, const QList<Quote>& quotes, const Drawing* drawing) {
    PenSnapshot snapshot;
    snapshot.beads = pen.beads;
    snapshot.barrel = pen.barrel;
    snapshot.charm = pen.charm;
    snapshot.type = penTypeById(pen.type) ? pen.type : defaultPenType;
    snapshot.ink = isInkColour(pen.ink) ? pen.ink : defaultInk;
    for (qsizetype i = 0; i < std::min<qsizetype>(snapshotQuotes, quotes.size()); ++i)
        snapshot.quotes.append(firstGraphemes(quotes[i].text, snapshotQuoteLength));
    if (drawing && drawing->thumbnailPNG && drawing->thumbnailPNG->size() <= maxThumbnailBytes)
        snapshot.drawingPNG = drawing->thumbnailPNG;
    return snapshot;
}

void writeSnapshot(Preferences& group, const Pen& pen, const QList<Quote>& quotes,
                   const Drawing* drawing) {
    writeSnapshot(group, makeSnapshot(pen, quotes, drawing));
}

void writeSnapshot(Preferences& group, const PenSnapshot& snapshot) {
    if (group.isAvailable())
        group.setValue(u"tessaro.widget.snapshot"_s, snapshot.toJson());
}

} // namespace tessaro
