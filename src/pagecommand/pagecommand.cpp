#include "pagecommand.h"

#include "drawings/drawingfiles.h"
#include "platform/atomicfile.h"
#include "quotes/quote.h"
#include "render/pages/pagedecoder.h"

#include <QDir>

namespace tessaro {

using namespace Qt::StringLiterals;

MadePage makePage(const QString& source, const QString& localDir,
                  const std::optional<QString>& cloudDir) {
    int error = 0;
    const std::optional<QByteArray> bytes = readRegularFile(source, maxPageBytes, &error);
    if (!bytes) {
        return {{}, error ? u"cannot read %1: %2"_s.arg(source, qt_error_string(error))
                          : u"cannot read %1: not a regular file of at most %2 bytes"_s.arg(
                                source, QString::number(maxPageBytes))};
    }
    if (!decodePage(*bytes)) {
        return {{},
                u"%1 is not a page: an SVG, PNG or JPEG file within the page bounds"_s.arg(
                    source)};
    }
    const QString id = newID();
    if (!QDir().mkpath(localDir))
        return {{}, u"cannot make the drawings folder %1"_s.arg(localDir)};
    const WriteResult written = writeFileAtomically(localDir + u'/' + id + u".pkdrawing"_s, *bytes);
    if (!written)
        return {{}, u"cannot write the page into %1: %2"_s.arg(localDir, written.errorString())};
    if (cloudDir) {
        DrawingFiles files(localDir, cloudDir);
        if (!files.push(id))
            return {id, u"the page is in %1 but could not be copied to the cloud folder %2"_s.arg(
                            localDir, *cloudDir)};
    }
    return {id, {}};
}

} // namespace tessaro
