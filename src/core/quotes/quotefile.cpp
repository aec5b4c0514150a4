#include "quotefile.h"

#include "platform/atomicfile.h"
#include "quoteimport.h"

#include <QFileInfo>
#include <QStringDecoder>

namespace tessaro {

using namespace Qt::StringLiterals;

namespace {

const QString tooBig = u"quotes.importTooBig"_s;
const QString failed = u"ios.quotes.importFailed"_s;

std::optional<QString> decodeUtf16(QByteArrayView bytes, QStringConverter::Encoding encoding) {
    QStringDecoder decoder(encoding, QStringConverter::Flag::Stateless);
    QString text = decoder.decode(bytes);
    // Binary data can pass for UTF-16; text files hold no NUL characters.
    if (decoder.hasError() || !QStringView(text).isValidUtf16() || text.contains(QChar(0)))
        return std::nullopt;
    return text;
}

} // namespace

std::optional<QString> decodeImportText(const QByteArray& bytes) {
    const bool utf8 = bytes.isValidUtf8();
    const bool nul = bytes.contains('\0');
    if (utf8 && !nul)
        return QString::fromUtf8(bytes);
    if (bytes.size() % 2 != 0)
        return std::nullopt;

    using enum QStringConverter::Encoding;
    if (bytes.startsWith("\xff\xfe"))
        return decodeUtf16(QByteArrayView(bytes).sliced(2), Utf16LE);
    if (bytes.startsWith("\xfe\xff"))
        return decodeUtf16(QByteArrayView(bytes).sliced(2), Utf16BE);
    // Without a byte-order mark, the order whose high bytes are more often
    // zero (text in Latin letters) is tried first.
    qsizetype zeroHigh[2] = {0, 0}; // little-endian, big-endian
    for (qsizetype i = 0; i < bytes.size(); i += 2) {
        zeroHigh[0] += bytes[i + 1] == 0;
        zeroHigh[1] += bytes[i] == 0;
    }
    const bool bigEndian = zeroHigh[1] > zeroHigh[0];
    // UTF-16 that is also valid UTF-8, but for its NULs, is ASCII: a zero in
    // nearly every high byte. UTF-8 text with a stray NUL is not UTF-16.
    if (utf8 && zeroHigh[bigEndian] * 4 < bytes.size() / 2 * 3)
        return std::nullopt;
    if (auto text = decodeUtf16(bytes, bigEndian ? Utf16BE : Utf16LE))
        return text;
    return decodeUtf16(bytes, bigEndian ? Utf16LE : Utf16BE);
}

std::variant<QList<Quote>, QString> readQuotesFile(const QString& path, Date now) {
    // The file the user picked may be a link; what it leads to must be a
    // regular file. Anything else (a pipe, a device, a folder) could block or
    // never end, and is refused without being opened for a blocking read.
    const QString target = QFileInfo(path).canonicalFilePath();
    if (target.isEmpty())
        return failed;
    std::optional<QString> text;
    {
        // The bytes go before the parse; only the text is needed from here on.
        const auto bytes = readRegularFile(target, maxImportFileSize);
        if (!bytes) {
            const QFileInfo info(target);
            return info.isFile() && info.size() > maxImportFileSize ? tooBig : failed;
        }
        if (bytes->isEmpty())
            return tooBig;
        text = decodeImportText(*bytes);
    }
    if (!text)
        return failed;
    return parseQuotesImport(*text, now);
}

} // namespace tessaro
