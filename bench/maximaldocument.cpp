#include "maximaldocument.h"

#include <QFile>
#include <QRandomGenerator>

#include <cstdio>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace tessaro::bench {

using namespace Qt::StringLiterals;

namespace {

QString filler(int seed, qsizetype length) {
    static const QString words = u"bead pen charm quote glass pearl jelly ribbon cloud star "_s;
    QString text;
    text.reserve(length + words.size());
    text += QString::number(seed) + u' ';
    while (text.size() < length)
        text += words;
    text.truncate(length);
    return text;
}

} // namespace

AppState maximalDocument(int variant) {
    QRandomGenerator random(42);
    AppState state;
    state.pen.beads = {u"cherry"_s, u"star"_s, u"pearl"_s, u"jelly"_s, u"letter-L"_s, u"bow"_s};
    state.activeGroup = u"shape"_s;
    const auto altered = [&](int i) { return variant != 0 && i % 2 == 1; };

    for (int i = 0; i < 40; ++i) {
        Pen pen = state.pen;
        pen.beads.resize(i % 7);
        pen.savedAt = 700000000.0 + i * 1000.25 + (altered(i) ? variant : 0);
        state.saved.append(pen);
    }
    for (int i = 0; i < 500; ++i) {
        const int n = altered(i) ? i + 100000 * variant : i;
        state.quotes.append(
            {u"id"_s + QString::number(n), filler(n, 500), u"Source "_s + QString::number(n),
             u"https://example.com/quotes/"_s + QString::number(n), 700000000.0 + n * 60.5});
    }
    for (int i = 0; i < 200; ++i) {
        Drawing drawing;
        drawing.id = u"page-"_s + QString::number(i);
        drawing.createdAt = 700000000.0 + i;
        drawing.updatedAt = drawing.createdAt + (altered(i) ? 5000.0 * variant : 0);
        drawing.penType = u"gel"_s;
        drawing.ink = u"#6FB3E0"_s;
        drawing.pageSize = QSizeF(1000, 1400);
        QByteArray thumbnail(maxThumbnailBytes, Qt::Uninitialized);
        random.fillRange(reinterpret_cast<quint32*>(thumbnail.data()), thumbnail.size() / 4);
        drawing.thumbnailPNG = thumbnail;
        state.drawings.append(drawing);
    }
    for (int i = 0; i < 1000; ++i) {
        const int n = altered(i) ? i + 100000 * variant : i;
        state.deleted.insert(u"tombstone-"_s + QString::number(n), 760000000.0 + n);
    }
    state.updatedAt = 770000000.0 + variant;
    return state;
}

QString plainTextImport(int count, qsizetype bytes) {
    const qsizetype perQuote = bytes / count;
    QString text;
    text.reserve(bytes + 1024);
    for (int i = 0; i < count; ++i) {
        const QString attribution = u"\n\n\u2014 Author "_s + QString::number(i) +
                                    u" \u2014 https://example.com/"_s + QString::number(i) +
                                    u" \u00B7 Jan 1, 2024\n"_s;
        const qsizetype separator = 43;
        text += filler(i, perQuote - attribution.size() - separator) + attribution;
        if (i + 1 < count)
            text += u"\n----------------------------------------\n\n"_s;
    }
    return text;
}

QString jsonImport(qsizetype bytes) {
    QString text = u"{\"quotes\":["_s;
    text.reserve(bytes + 1024);
    for (int i = 0; text.size() < bytes - 700; ++i) {
        if (i)
            text += u',';
        text += u"{\"id\":\"j"_s + QString::number(i) + u"\",\"text\":\""_s + filler(i, 400) +
                u"\",\"source\":\"Author "_s + QString::number(i) +
                u"\",\"url\":\"https://example.com/"_s + QString::number(i) +
                u"\",\"at\":\"2024-05-01T10:00:00.500Z\"}"_s;
    }
    text += u"]}"_s;
    return text;
}

QByteArray tinyQuotesImport(qsizetype bytes, bool json) {
    QByteArray text = json ? "[" : "";
    text.reserve(bytes + 64);
    for (int i = 0;; ++i) {
        const QByteArray quote = "q" + QByteArray::number(i, 36);
        const QByteArray item =
            json ? (i ? ",{\"text\":\"" : "{\"text\":\"") + quote + "\"}" : quote + "\n\n";
        if (text.size() + item.size() + 1 > bytes)
            break;
        text += item;
    }
    if (json)
        text += ']';
    text.append(bytes - text.size(), ' ');
    return text;
}

AppState tombstoneDocument(int count) {
    AppState state = maximalDocument();
    state.deleted.clear();
    for (int i = 0; i < count; ++i) {
        // Quote and drawing ids: a millisecond time in base 36 and six letters.
        const QString key = QString::number(1700000000000LL + i * 7919LL, 36) + u"abc"_s +
                            QString::number(100 + i % 1000);
        // Deleted in the last days (none has expired), at microsecond times.
        state.deleted.insert(key, 769000000.0 + i * 0.123457);
    }
    return state;
}

qint64 childPeakRss(const QStringList& arguments) {
    std::vector<QByteArray> storage{QByteArray("/proc/self/exe")};
    for (const QString& argument : arguments)
        storage.push_back(argument.toLocal8Bit());
    std::vector<char*> argv;
    for (QByteArray& argument : storage)
        argv.push_back(argument.data());
    argv.push_back(nullptr);

    int out[2];
    if (pipe2(out, O_CLOEXEC) != 0)
        return -1;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    pid_t pid = 0;
    const int spawned =
        posix_spawn(&pid, "/proc/self/exe", &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    QByteArray reply;
    char buffer[256];
    for (ssize_t got; spawned == 0 && (got = read(out[0], buffer, sizeof buffer)) != 0;) {
        if (got > 0)
            reply.append(buffer, got);
        else if (errno != EINTR)
            break;
    }
    close(out[0]);
    int status = 0;
    if (spawned != 0 || waitpid(pid, &status, 0) != pid || !WIFEXITED(status) ||
        WEXITSTATUS(status) != 0)
        return -1;
    bool ok = false;
    const qint64 kib = reply.trimmed().toLongLong(&ok);
    return ok ? kib * 1024 : -1;
}

int reportPeakRss() {
    // The peak of this process's own memory. (The rusage of a child also holds
    // the parent's peak at the time of the spawn, which says nothing here.)
    QFile status(u"/proc/self/status"_s);
    if (!status.open(QIODevice::ReadOnly))
        return 1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:")) {
            std::printf("%s\n", line.mid(6).trimmed().split(' ').first().constData());
            return 0;
        }
    }
    return 1;
}

} // namespace tessaro::bench
