#pragma once

#include "quotes/quote.h"
#include "quoteswipe.h"

#include <QWidget>

#include <memory>

class QTextLayout;
class QTimer;
class QVariantAnimation;

namespace tessaro {

class QuoteDeleteButton;
class SourceLink;

// One quote of the sheet's list: a face with the text and a footer (the
// source, as a link when the quote has a web link, and the date), which a
// horizontal drag or a two-finger swipe moves aside to uncover the delete
// button. The button asks for a second press; closing the card disarms it.
// With keyboard focus, Delete does what the button does and Escape closes.
class QuoteCard final : public QWidget {
    Q_OBJECT

public:
    explicit QuoteCard(QWidget* parent = nullptr);
    ~QuoteCard() override;

    const Quote& quote() const { return m_quote; }
    const QString& date() const { return m_date; }
    // `date` is the quote's date as the list shows it.
    void setQuote(const Quote& quote, const QString& date);
    // Labels in the chosen language.
    void retranslate(const QString& date);

    // The face's horizontal offset: 0 closed, −104 open.
    double offset() const { return m_swipe.offset(); }
    bool isArmed() const { return m_armed; }
    // Null until the card is first opened.
    QuoteDeleteButton* deleteButton() const { return m_delete; }
    // Null unless the source shows as a link.
    SourceLink* sourceLink() const { return m_link; }
    QRectF faceRect() const;

    // The delete button's press: arms, or asks for the deletion when armed.
    void pressDelete();
    // Closed and disarmed at once, for a card that is to show another quote.
    void reset();

    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

Q_SIGNALS:
    // The quote is to go (the second press, or the assistive action).
    void deleteRequested();
    void linkActivated(const QString& url);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    // A drag's translation so far; true when the swipe took it.
    bool dragTo(QPointF translation);
    void endDrag();
    void settle(double target);
    void setArmed(bool armed);
    // Places the face's parts and the delete button for the current offset.
    void placeFace();
    double textHeight(double width) const;
    // The text laid out at `width`.
    const QTextLayout& layoutAt(double width) const;
    QString footerTail() const;
    // Measures the footer's texts again, after they or the fonts changed.
    void measureFooter();

    Quote m_quote;
    QString m_date;
    QuoteSwipe m_swipe;
    bool m_armed = false;
    bool m_focusRing = false;
    std::unique_ptr<QVariantAnimation> m_settle;
    // A mouse drag: where the button went down.
    std::optional<QPointF> m_pressAt;
    // A two-finger swipe: its translation so far, and the pause that ends a
    // swipe from a device that does not say when it ends.
    std::optional<QPointF> m_wheel;
    std::unique_ptr<QTimer> m_wheelPause;
    QuoteDeleteButton* m_delete = nullptr;
    SourceLink* m_link = nullptr;
    // The text laid out for the width it was last painted or measured at,
    // and the heights of the text at the last few widths the layouts asked
    // about (a scroll area asks with and without its scroll bar).
    mutable std::unique_ptr<QTextLayout> m_layout;
    mutable double m_layoutWidth = -1;
    mutable QList<QPointF> m_heights;
    // The footer's widths: the date part, with a pixel to spare, and the
    // source as a link.
    double m_tailWidth = 0;
    double m_linkWidth = 0;
};

} // namespace tessaro
