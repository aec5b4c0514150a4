#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>

#include <cmath>
#include <ctime>
#include <fcntl.h>
#include <sys/stat.h>

namespace tessaro::test {

// The bytes of a file, or "<missing>" when it cannot be read.
inline QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

// Writes the whole file, making its folder if need be; false when that failed.
inline bool writeFile(const QString& path, const QByteArray& bytes = {}) {
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// Dates the file's last change at `unixSeconds`, to the nanosecond.
inline bool setModified(const QString& path, double unixSeconds) {
    const double whole = std::floor(unixSeconds);
    const timespec times[2] = {{0, UTIME_OMIT}, {time_t(whole), long((unixSeconds - whole) * 1e9)}};
    return ::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0) == 0;
}

// An empty file, last changed `ageSeconds` ago.
inline bool touchFile(const QString& path, qint64 ageSeconds = 0) {
    return writeFile(path) && setModified(path, double(std::time(nullptr) - ageSeconds));
}

} // namespace tessaro::test
