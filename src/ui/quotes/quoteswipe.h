#pragma once

#include <QPointF>

#include <optional>

namespace tessaro {

// Where a quote card's face stands while it is swiped: 0 closed, down to
// −`reveal` with the delete button uncovered. A drag counts once it has gone
// `threshold` points, and moves the face only while it is more horizontal
// than vertical; on release the face settles open past half the reveal, else
// closed.
class QuoteSwipe {
public:
    static constexpr double reveal = 104;
    static constexpr double threshold = 12;

    double offset() const { return m_offset; }
    // Sets the face where an animation or a settle puts it.
    void setOffset(double offset);
    bool isDragging() const { return m_dragging; }

    // The drag's translation since the pointer went down. True when the face
    // moved.
    bool drag(QPointF translation);
    // The pointer went up. The offset to settle at, or none when the drag
    // never counted (a click, which leaves the card as it is).
    std::optional<double> end();

private:
    double m_offset = 0;
    bool m_dragging = false;
    // The offset when the face began to follow the drag.
    std::optional<double> m_dragStart;
};

} // namespace tessaro
