#include "atomicfile.h"

#include <QByteArray>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tessaro {

namespace {

bool writeAll(int fd, QByteArrayView data) {
    const char* p = data.data();
    qsizetype left = data.size();
    while (left > 0) {
        const ssize_t written = ::write(fd, p, size_t(left));
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        p += written;
        left -= written;
    }
    return true;
}

bool flushFolder(const QByteArray& folder) {
    const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool flushed = ::fsync(fd) == 0;
    ::close(fd);
    return flushed;
}

} // namespace

bool writeFileAtomically(const QString& path, QByteArrayView data, Durability durability) {
    const QFileInfo info(path);
    const QByteArray target = QFile::encodeName(info.absoluteFilePath());
    const QByteArray folder = QFile::encodeName(info.absolutePath());
    // A leading dot keeps the temporary file out of listings; sync engines
    // only ever see it for the moment it exists.
    QByteArray temporary = folder + "/." + QFile::encodeName(info.fileName()) + ".tmp-XXXXXX";

    const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0)
        return false;
    bool ok = writeAll(fd, data);
    if (ok && durability == Durability::flushed)
        ok = ::fdatasync(fd) == 0;
    // Files are the user's own: readable by the user alone, as mkostemp makes them.
    ok = (::close(fd) == 0) && ok;
    if (ok)
        ok = ::rename(temporary.constData(), target.constData()) == 0;
    if (!ok) {
        ::unlink(temporary.constData());
        return false;
    }
    if (durability == Durability::flushed)
        return flushFolder(folder);
    return true;
}

std::optional<QByteArray> readRegularFile(const QString& path, qint64 maxBytes) {
    const QByteArray name = QFile::encodeName(path);
    const int fd = ::open(name.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return std::nullopt;
    struct stat status {};
    std::optional<QByteArray> result;
    if (::fstat(fd, &status) == 0 && S_ISREG(status.st_mode) && status.st_size <= maxBytes) {
        QByteArray bytes;
        bytes.reserve(qsizetype(status.st_size));
        char buffer[65536];
        bool ok = true;
        while (true) {
            const ssize_t got = ::read(fd, buffer, sizeof buffer);
            if (got < 0) {
                if (errno == EINTR)
                    continue;
                ok = false;
                break;
            }
            if (got == 0)
                break;
            // The file may grow while it is read; the limit still holds.
            if (bytes.size() + got > maxBytes) {
                ok = false;
                break;
            }
            bytes.append(buffer, got);
        }
        if (ok)
            result = std::move(bytes);
    }
    ::close(fd);
    return result;
}

bool isRegularFile(const QString& path) {
    struct stat status {};
    return ::lstat(QFile::encodeName(path).constData(), &status) == 0 && S_ISREG(status.st_mode);
}

} // namespace tessaro
