#include "quotefile.h"

#include "quoteimport.h"

#include <QFile>
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
    const QFileInfo info(path);
    if (!info.exists())
        return failed;
    if (info.isFile() && (info.size() == 0 || info.size() > maxImportFileSize))
        return tooBig;

    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return failed;
    // The size may change after it was asked for, or be unknown: read one byte
    // past the limit to tell.
    const QByteArray bytes = file.read(maxImportFileSize + 1);
    if (file.error() != QFileDevice::NoError)
        return failed;
    if (bytes.isEmpty() || bytes.size() > maxImportFileSize)
        return tooBig;

    const auto text = decodeImportText(bytes);
    if (!text)
        return failed;
    return parseQuotesImport(*text, now);
}

} // namespace tessaro
