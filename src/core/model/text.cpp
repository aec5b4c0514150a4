#include "text.h"

#include <QTextBoundaryFinder>

namespace tessaro {

namespace {

// Position after the `limit`-th grapheme boundary, or -1 when the text is shorter.
qsizetype boundaryAfter(const QString& text, qsizetype limit) {
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
    qsizetype count = 0;
    while (finder.toNextBoundary() != -1) {
        if (++count == limit)
            return finder.position();
    }
    return -1;
}

} // namespace

qsizetype graphemeCount(const QString& text) {
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
    qsizetype count = 0;
    while (finder.toNextBoundary() != -1)
        ++count;
    return count;
}

QString firstGraphemes(const QString& text, qsizetype limit) {
    // Every grapheme takes at least one code unit: short texts need no scan.
    if (text.size() <= limit)
        return text;
    if (limit <= 0)
        return QString();
    const qsizetype end = boundaryAfter(text, limit);
    return end < 0 ? text : text.left(end);
}

QString trimmedSpacesAndTabs(QStringView text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    auto blank = [&](qsizetype i) { return text[i] == u' ' || text[i] == u'\t'; };
    while (begin < end && blank(begin))
        ++begin;
    while (end > begin && blank(end - 1))
        --end;
    return text.sliced(begin, end - begin).toString();
}

} // namespace tessaro
