#pragma once

#include <QStringView>

#include <vector>

namespace tessaro {

// A set of texts that keeps them all in one buffer. Reading a large import
// file may meet hundreds of thousands of distinct ids and texts; a QSet of
// QStrings would spend several times their size on allocations.
class TextSet {
public:
    // Adds `text`; false when it was there already.
    bool insert(QStringView text);
    bool contains(QStringView text) const;
    qsizetype size() const { return m_size; }

private:
    struct Slot {
        qsizetype offset = -1; // into m_text; -1 for an empty slot
        quint32 length = 0;
        quint32 hash = 0;
    };

    // The slot holding `text`, or the empty slot where it belongs.
    qsizetype find(QStringView text, quint32 hash) const;
    void grow();

    std::vector<char16_t> m_text;
    std::vector<Slot> m_slots;
    qsizetype m_size = 0;
};

} // namespace tessaro
