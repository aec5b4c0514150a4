#pragma once

#include <QImage>
#include <QLabel>
#include <QVariantAnimation>

namespace tessaro {

// The transient message capsule near the bottom centre of its host, over the
// host's other children: accent-filled, with a soft shadow, fading in and
// out. It is a label underneath, so that assistive technology reads it as
// static text; it takes no clicks. Timing and replacement are the caller's
// (see Toasts).
class ToastView final : public QLabel {
    Q_OBJECT

public:
    explicit ToastView(QWidget* host);

    // Shows `text`, fading in when no toast is up; a toast already up takes
    // the new text at once.
    void present(const QString& text);
    // Room to keep free at the bottom of the host, for what is pinned there.
    void setBottomInset(int inset);

    // Fades out, then hides.
    void dismiss();

    // Up, or on its way up; false once dismissed.
    bool isPresented() const { return m_presented; }
    // The opacity the toast is drawn with now.
    double fade() const;
    // Where the capsule lies in the view, which also holds its shadow.
    QRectF capsule() const { return m_capsule; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void fadeTo(double target, int milliseconds, const QEasingCurve& curve);
    void place();
    const QImage& plate();

    bool m_presented = false;
    int m_bottomInset = 0;
    // The fade goes from m_from to m_to as m_fade runs from 0 to 1.
    double m_from = 0;
    double m_to = 0;
    QVariantAnimation m_fade;
    QRectF m_capsule;
    // The capsule with its shadow, painted again only when the size, the
    // appearance or the pixel ratio change; fading only draws it.
    QImage m_plate;
    bool m_plateDark = false;
};

} // namespace tessaro
