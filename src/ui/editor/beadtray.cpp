#include "beadtray.h"

#include "beadgrid.h"
#include "chiprow.h"
#include "l10n/localization.h"
#include "stylechips.h"
#include "uilook.h"

#include <QFontMetrics>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace tessaro {

namespace {

constexpr double trayRadius = 26;
constexpr int trayPadding = 14;

// A title and a hint beside it on one baseline; the hint moves under the
// title, wrapped, when the two do not fit side by side.
class TitleRow final : public QWidget {
public:
    TitleRow(QLabel* title, QLabel* hint, QWidget* parent)
        : QWidget(parent)
        , m_title(title)
        , m_hint(hint) {
        m_title->setParent(this);
        m_hint->setParent(this);
        m_hint->setWordWrap(true);
        QSizePolicy policy(QSizePolicy::Expanding, QSizePolicy::Preferred);
        policy.setHeightForWidth(true);
        setSizePolicy(policy);
    }

    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override { return place(width, false); }
    QSize sizeHint() const override {
        const int width = m_title->sizeHint().width() + gap + m_hint->sizeHint().width();
        return {width, heightForWidth(width)};
    }
    QSize minimumSizeHint() const override { return {m_title->sizeHint().width(), 0}; }

protected:
    void resizeEvent(QResizeEvent*) override { place(width(), true); }
    bool event(QEvent* event) override {
        // A label's text changed: the row may need another height.
        if (event->type() == QEvent::LayoutRequest) {
            updateGeometry();
            place(width(), true);
        }
        return QWidget::event(event);
    }

private:
    static constexpr int gap = 8;

    // Lays the labels out in `width` (when asked) and returns the height.
    int place(int width, bool apply) const {
        const QSize title = m_title->sizeHint();
        const QFontMetrics titleMetrics(m_title->font());
        const QFontMetrics hintMetrics(m_hint->font());
        const int hintWidth = hintMetrics.horizontalAdvance(m_hint->text());
        if (title.width() + gap + hintWidth <= width) {
            // Side by side: the hint's baseline on the title's.
            const int hintTop = titleMetrics.ascent() - hintMetrics.ascent();
            if (apply) {
                m_title->setGeometry(0, 0, title.width(), title.height());
                m_hint->setGeometry(title.width() + gap, hintTop, hintWidth + 1,
                                    hintMetrics.height());
            }
            return std::max(title.height(), hintTop + hintMetrics.height());
        }
        const int hintHeight = m_hint->heightForWidth(width);
        if (apply) {
            m_title->setGeometry(0, 0, std::min(width, title.width()), title.height());
            m_hint->setGeometry(0, title.height() + 2, width, hintHeight);
        }
        return title.height() + 2 + hintHeight;
    }

    QLabel* m_title;
    QLabel* m_hint;
};

} // namespace

BeadBoxView::BeadBoxView(PenStore& store, QWidget* parent)
    : QWidget(parent)
    , m_store(store)
    , m_title(new QLabel)
    , m_hint(new QLabel)
    , m_tabs(new ChipRow(this))
    , m_grid(new BeadGrid(this)) {
    m_title->setFont(look::font(15, QFont::Bold));
    m_hint->setFont(look::font(12, QFont::Normal));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(trayPadding, trayPadding, trayPadding, trayPadding);
    layout->setSpacing(10);
    layout->addWidget(new TitleRow(m_title, m_hint, this));
    layout->addWidget(m_tabs);
    layout->addWidget(m_grid);

    for (const QString& group : beadGroups()) {
        auto* chip = new GroupChip(group);
        connect(chip, &GroupChip::clicked, this, [this, group] { m_store.setActiveGroup(group); });
        m_tabs->addChip(chip);
    }

    connect(m_grid, &BeadGrid::tapped, this, &BeadBoxView::beadTapped);
    connect(m_grid, &BeadGrid::dragged, this, &BeadBoxView::beadDragged);
    connect(&m_store, &PenStore::changed, this, [this](PenStore::Changes what) {
        if (what & PenStore::Change::activeGroup)
            showActiveGroup();
    });
    new look::Watch(
        this, [this] { applyLook(); }, [this] { retranslate(); });

    retranslate();
    applyLook();
    showActiveGroup();
}

void BeadBoxView::setDimmed(bool dimmed) {
    m_grid->setDimmed(dimmed);
}

bool BeadBoxView::isDimmed() const {
    return m_grid->isDimmed();
}

void BeadBoxView::retranslate() {
    m_title->setText(L(u"tray.title"_s));
    m_hint->setText(L(u"tray.hint"_s));
    for (ChoiceChip* chip : m_tabs->chips())
        static_cast<GroupChip*>(chip)->retranslate();
    m_grid->update();
    updateGeometry();
}

void BeadBoxView::showActiveGroup() {
    const QString& group = m_store.activeGroup();
    m_tabs->select(group);
    m_grid->setBeads(beadsInGroup(group));
}

void BeadBoxView::applyLook() {
    const InterfacePalette& palette = interfacePalette();
    QPalette title = m_title->palette();
    title.setColor(QPalette::WindowText, look::colour(palette.textMain));
    m_title->setPalette(title);
    QPalette hint = m_hint->palette();
    hint.setColor(QPalette::WindowText, look::colour(palette.textMain, 0.75));
    m_hint->setPalette(hint);
    update();
    for (QWidget* child : findChildren<QWidget*>())
        child->update();
}

void BeadBoxView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const InterfacePalette& palette = interfacePalette();
    const QRectF card = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    painter.setPen(QPen(look::colour(palette.line), 1));
    painter.setBrush(look::colour(palette.surface));
    painter.drawRoundedRect(card, trayRadius, trayRadius);
}

} // namespace tessaro
