#include "textset.h"

#include <QHash>

#include <algorithm>

namespace tessaro {

namespace {

// Seeded per process, so that no file can be made of texts that collide.
quint32 hashOf(QStringView text) {
    return quint32(qHash(text, QHashSeed::globalSeed()));
}

} // namespace

qsizetype TextSet::find(QStringView text, quint32 hash) const {
    const qsizetype mask = qsizetype(m_slots.size()) - 1;
    for (qsizetype i = hash & mask;; i = (i + 1) & mask) {
        const Slot& slot = m_slots[size_t(i)];
        if (slot.offset < 0)
            return i;
        if (slot.hash == hash && slot.length == text.size() &&
            std::equal(text.utf16(), text.utf16() + text.size(), m_text.begin() + slot.offset))
            return i;
    }
}

bool TextSet::contains(QStringView text) const {
    if (m_slots.empty())
        return false;
    return m_slots[size_t(find(text, hashOf(text)))].offset >= 0;
}

bool TextSet::insert(QStringView text) {
    // At most half full, so that probes stay short.
    if ((m_size + 1) * 2 > qsizetype(m_slots.size()))
        grow();
    const auto hash = hashOf(text);
    Slot& slot = m_slots[size_t(find(text, hash))];
    if (slot.offset >= 0)
        return false;
    slot = {qsizetype(m_text.size()), quint32(text.size()), hash};
    m_text.insert(m_text.end(), text.utf16(), text.utf16() + text.size());
    ++m_size;
    return true;
}

void TextSet::grow() {
    std::vector<Slot> old(std::max<size_t>(16, m_slots.size() * 2));
    old.swap(m_slots);
    const qsizetype mask = qsizetype(m_slots.size()) - 1;
    for (const Slot& slot : old) {
        if (slot.offset < 0)
            continue;
        qsizetype i = slot.hash & mask;
        while (m_slots[size_t(i)].offset >= 0)
            i = (i + 1) & mask;
        m_slots[size_t(i)] = slot;
    }
}

} // namespace tessaro
