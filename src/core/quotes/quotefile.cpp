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

std::optional<QString> decodeStrictly(const QByteArray& bytes,
                                      QStringConverter::Encoding encoding) {
    QStringDecoder decoder(encoding, QStringConverter::Flag::Stateless);
    QString text = decoder.decode(bytes);
    if (decoder.hasError() || !QStringView(text).isValidUtf16())
        return std::nullopt;
    return text;
}

} // namespace

std::optional<QString> decodeImportText(const QByteArray& bytes) {
    auto text = decodeStrictly(bytes, QStringConverter::Utf8);
    if (!text && bytes.size() % 2 == 0)
        text = decodeStrictly(bytes, QStringConverter::Utf16);
    // Binary data can pass for UTF-16; text files hold no NUL characters.
    if (text && text->contains(QChar(0)))
        return std::nullopt;
    return text;
}

std::variant<QList<Quote>, QString> readQuotesFile(const QString& path, Date now) {
    // The file the user picked may be a link; what it leads to must be a
    // regular file. Anything else (a pipe, a device, a folder) could block or
    // never end, and is refused without being opened for a blocking read.
    const QString target = QFileInfo(path).canonicalFilePath();
    if (target.isEmpty())
        return failed;
    const auto bytes = readRegularFile(target, maxImportFileSize);
    if (!bytes) {
        const QFileInfo info(target);
        return info.isFile() && info.size() > maxImportFileSize ? tooBig : failed;
    }
    if (bytes->isEmpty())
        return tooBig;

    const auto text = decodeImportText(*bytes);
    if (!text)
        return failed;
    return parseQuotesImport(*text, now);
}

} // namespace tessaro
