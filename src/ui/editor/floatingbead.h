#pragma once

#include "model/catalog.h"

#include <QImage>
#include <QWidget>

namespace tessaro {

// The bead being dragged, floating over the editor a little above the
// pointer so that the pointer does not hide it. It is painted once per bead,
// with its shadow, and moved as a whole; it lets every click through.
class FloatingBead final : public QWidget {
public:
    // `root` is the editor's widget, in whose coordinates the bead follows
    // the pointer.
    explicit FloatingBead(QWidget* root);

    void follow(const BeadSpec& bead, QPointF point);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage render(double ratio) const;

    BeadSpec m_bead;
    QImage m_image;
};

} // namespace tessaro
