#include "atomicfile.h"

#include <QByteArray>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <dirent.h>
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
    const int error = errno;
    ::close(fd);
    errno = error;
    return flushed;
}

constexpr QLatin1StringView temporaryInfix(".tmp-");
// mkostemp's replacement for "XXXXXX": letters and digits.
constexpr qsizetype temporaryRandom = 6;

} // namespace

QString WriteResult::errorString() const {
    if (m_error == 0)
        return {};
    return QString::fromLatin1(m_step) + QStringLiteral(": ") + qt_error_string(m_error);
}

WriteResult writeFileAtomically(const QString& path, QByteArrayView data, Durability durability,
                                std::optional<timespec> modified) {
    const QFileInfo info(path);
    const QByteArray target = QFile::encodeName(info.absoluteFilePath());
    const QByteArray folder = QFile::encodeName(info.absolutePath());
    // A leading dot keeps the temporary file out of listings; sync engines
    // only ever see it for the moment it exists.
    QByteArray temporary = folder + "/." + QFile::encodeName(info.fileName()) + ".tmp-XXXXXX";

    const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0)
        return {"creating a temporary file", errno};
    WriteResult result;
    if (!writeAll(fd, data))
        result = {"writing", errno};
    else if (durability == Durability::flushed && ::fdatasync(fd) != 0)
        result = {"flushing", errno};
    if (const timespec times[2] = {{0, UTIME_OMIT}, modified.value_or(timespec{0, UTIME_OMIT})};
        result && modified && ::futimens(fd, times) != 0)
        result = {"dating", errno};
    // Files are the user's own: readable by the user alone, as mkostemp makes them.
    if (::close(fd) != 0 && result)
        result = {"closing", errno};
    if (result && ::rename(temporary.constData(), target.constData()) != 0)
        result = {"replacing the file", errno};
    if (!result) {
        ::unlink(temporary.constData());
        return result;
    }
    if (durability == Durability::flushed && !flushFolder(folder))
        return {"flushing the folder", errno};
    return {};
}

std::optional<QByteArray> readRegularFile(const QString& path, qint64 maxBytes, int* error) {
    int reason = 0;
    const auto fail = [&](int why) {
        reason = why;
        return false;
    };
    const QByteArray name = QFile::encodeName(path);
    const int fd = ::open(name.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        if (error)
            *error = errno;
        return std::nullopt;
    }
    struct stat status {};
    std::optional<QByteArray> result;
    bool ok = true;
    if (::fstat(fd, &status) != 0)
        ok = fail(errno);
    else if (S_ISDIR(status.st_mode))
        ok = fail(EISDIR);
    else if (!S_ISREG(status.st_mode))
        ok = fail(EINVAL);
    else if (status.st_size > maxBytes)
        ok = fail(EFBIG);
    QByteArray bytes;
    if (ok)
        bytes.reserve(qsizetype(status.st_size));
    char buffer[65536];
    while (ok) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0) {
            if (errno != EINTR)
                ok = fail(errno);
            continue;
        }
        if (got == 0)
            break;
        // The file may grow while it is read; the limit still holds.
        if (bytes.size() + got > maxBytes)
            ok = fail(EFBIG);
        else
            bytes.append(buffer, got);
    }
    if (ok)
        result = std::move(bytes);
    ::close(fd);
    if (error)
        *error = reason;
    return result;
}

bool isRegularFile(const QString& path) {
    struct stat status {};
    return ::lstat(QFile::encodeName(path).constData(), &status) == 0 && S_ISREG(status.st_mode);
}

bool isAtomicWriteTemporary(QStringView fileName) {
    const qsizetype infix = fileName.size() - temporaryRandom - temporaryInfix.size();
    // "." + at least one character of the target's name + infix + random part.
    if (infix < 2 || !fileName.startsWith(u'.') ||
        fileName.sliced(infix, temporaryInfix.size()) != temporaryInfix)
        return false;
    const QStringView random = fileName.last(temporaryRandom);
    return std::all_of(random.begin(), random.end(), [](QChar c) {
        return c.isDigit() || (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
    });
}

int removeStaleTemporaries(const QString& folder, std::chrono::seconds olderThan) {
    DIR* dir = ::opendir(QFile::encodeName(folder).constData());
    if (!dir)
        return 0;
    const int fd = ::dirfd(dir);
    const time_t cutoff = ::time(nullptr) - time_t(olderThan.count());
    int removed = 0;
    while (const dirent* entry = ::readdir(dir)) {
        if (!isAtomicWriteTemporary(QFile::decodeName(entry->d_name)))
            continue;
        struct stat status {};
        if (::fstatat(fd, entry->d_name, &status, AT_SYMLINK_NOFOLLOW) != 0 ||
            !S_ISREG(status.st_mode) || status.st_mtim.tv_sec >= cutoff)
            continue;
        if (::unlinkat(fd, entry->d_name, 0) == 0)
            ++removed;
    }
    ::closedir(dir);
    return removed;
}

} // namespace tessaro
