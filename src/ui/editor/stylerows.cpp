#include "stylerows.h"


#include "chiprow.h"
#include "l10n/localization.h"
#include "stylechips.h"
#include "ui/common/timersource.h"
#include "uilook.h"

#include <QLabel>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace tessaro {

StyleRows::StyleRows(PenStore& store, QWidget* parent)
    : QWidget(parent)
    , m_store(store)
    , m_scheduler(
          [](std::chrono::milliseconds delay, QObject* context, std::function<void()> step) {
              QtTimerSource().singleShot(delay, context, std::move(step));
          })
    , m_types(new ChipRow)
    , m_inks(new ChipRow)
    , m_barrels(new ChipRow)
    , m_charms(new ChipRow) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 0, 4, 0);
    layout->setSpacing(12);
    layout->addWidget(section(u"style.type"_s, m_types));
    m_inkSection = section(u"style.ink"_s, m_inks);
    layout->addWidget(m_inkSection);
    layout->addWidget(section(u"style.barrel"_s, m_barrels));
    layout->addWidget(section(u"style.charm"_s, m_charms));
    // Room to spare goes below the rows, not between them.
    layout->addStretch();

    for (const PenTypeSpec& type : penTypeCatalog()) {
        auto* chip = new TypeChip(type.id);
        connect(chip, &TypeChip::clicked, this, [this, id = type.id] { m_store.setType(id); });
        m_types->addChip(chip);
    }
    for (const BarrelSpec& barrel : barrelCatalog()) {
        auto* chip = new BarrelChip(barrel.id);
        connect(chip, &BarrelChip::clicked, this,
                [this, id = barrel.id] { m_store.setBarrel(id); });
        m_barrels->addChip(chip);
    }
    for (const QString& kind : charmKinds()) {
        auto* chip = new CharmChip(kind);
        connect(chip, &CharmChip::clicked, this, [this, kind] {
            m_store.setCharm(kind);
            Q_EMIT charmPicked();
        });
        m_charms->addChip(chip);
    }

    connect(&m_store, &PenStore::changed, this, [this](PenStore::Changes what) {
        if (what & PenStore::Change::pen)
            showPen();
    });
    new look::Watch(
        this, [this] { applyLook(); }, [this] { retranslate(); });
    retranslate();
    applyLook();
    showPen();
}

QWidget* StyleRows::section(const QString& headerKey, ChipRow* row) {
    auto* section = new QWidget;
    auto* layout = new QVBoxLayout(section);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);
    auto* header = new QLabel;
    header->setFont(look::font(13, QFont::DemiBold));
    header->setContentsMargins(4, 0, 4, 0);
    layout->addWidget(header);
    layout->addWidget(row);
    m_headers.append({header, headerKey});
    return section;
}

void StyleRows::retranslate() {
    for (const auto& [header, key] : std::as_const(m_headers))
        header->setText(L(key));
    for (ChoiceChip* chip : m_types->chips())
        static_cast<TypeChip*>(chip)->retranslate();
    for (ChoiceChip* chip : m_inks->chips())
        static_cast<InkChip*>(chip)->retranslate();
    for (ChoiceChip* chip : m_barrels->chips())
        static_cast<BarrelChip*>(chip)->retranslate();
    for (ChoiceChip* chip : m_charms->chips())
        static_cast<CharmChip*>(chip)->retranslate();
}

void StyleRows::showPen() {
    const Pen& pen = m_store.pen();
    const PenTypeSpec& type = penTypeFor(pen.type);
    m_types->select(pen.type);
    for (ChoiceChip* chip : m_types->chips())
        static_cast<TypeChip*>(chip)->setPenStyle(pen.barrel, pen.ink);
    m_inkSection->setVisible(type.ink);
    if (type.ink)
        fillInks(inksFor(type));
    m_inks->select(pen.ink);
    m_barrels->select(pen.barrel);
    m_charms->select(pen.charm);
}

void StyleRows::fillInks(const QStringList& inks) {
    if (inks == m_offeredInks)
        return;
    m_offeredInks = inks;
    m_inks->clear();
    for (const QString& ink : inks) {
        auto* chip = new InkChip(ink);
        connect(chip, &InkChip::clicked, this, [this, ink] { m_store.setInk(ink); });
        m_inks->addChip(chip);
    }
}

void StyleRows::applyLook() {
    for (const auto& [header, key] : std::as_const(m_headers)) {
        QPalette palette = header->palette();
        palette.setColor(QPalette::WindowText, look::colour(interfacePalette().textSoft));
        header->setPalette(palette);
    }
    for (QWidget* child : findChildren<QWidget*>())
        child->update();
}

void StyleRows::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (m_shown)
        return;
    m_shown = true;
    // Once the row has its width: the current type may lie past its right end.
    m_scheduler(typeScrollDelay, m_types, [this] {
        if (ChoiceChip* chip = m_types->chip(m_store.pen().type))
            m_types->ensureWidgetVisible(chip, 8, 0);
    });
}

} // namespace tessaro
