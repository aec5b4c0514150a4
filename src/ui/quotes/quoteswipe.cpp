#include "quoteswipe.h"

#include <algorithm>
#include <cmath>

namespace tessaro {

void QuoteSwipe::setOffset(double offset) {
    m_offset = std::clamp(offset, -reveal, 0.0);
}

bool QuoteSwipe::drag(QPointF translation) {
    if (!m_dragging && std::hypot(translation.x(), translation.y()) < threshold)
        return false;
    m_dragging = true;
    if (std::abs(translation.x()) <= std::abs(translation.y()))
        return false;
    if (!m_dragStart)
        m_dragStart = m_offset;
    const double before = m_offset;
    setOffset(*m_dragStart + translation.x());
    return m_offset != before;
}

std::optional<double> QuoteSwipe::end() {
    const bool counted = m_dragging;
    m_dragging = false;
    m_dragStart.reset();
    if (!counted)
        return std::nullopt;
    return m_offset < -reveal * 0.5 ? -reveal : 0.0;
}

} // namespace tessaro
