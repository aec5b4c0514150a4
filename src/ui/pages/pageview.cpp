#include "pageview.h"

#include "l10n/localization.h"
#include "pagefiles.h"
#include "pageloader.h"
#include "pagesymbols.h"
#include "platform/atomicfile.h"
#include "platform/widgets/filedialogs.h"
#include "render/pages/pagerender.h"
#include "store/penstore.h"
#include "ui/common/candybutton.h"
#include "ui/common/desktophelpers.h"
#include "ui/common/ghostbutton.h"
#include "ui/common/interfacecolours.h"
#include "ui/common/interfacefont.h"
#include "ui/common/plainbutton.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QVBoxLayout>

namespace tessaro {

using namespace Qt::StringLiterals;

// The page on its paper, fitted to the room it has; the placeholder while
// there is no picture of it.
class PageCanvas final : public QWidget {
public:
    static constexpr double radius = 22;

    explicit PageCanvas(QWidget* parent = nullptr)
        : QWidget(parent) {
        setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
        setMinimumSize(160, 160);
    }

    void showPage(const QImage& image, QSizeF pageSize, bool placeholder) {
        m_image = image;
        m_pageSize = pageSize;
        m_placeholder = placeholder;
        setAccessibleDescription(placeholder ? L(u"canvas.icloudOff"_s) : QString());
        update();
    }
    bool showsPlaceholder() const { return m_placeholder; }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        const QRectF room = QRectF(rect()).adjusted(1, 1, -1, -1);
        QSizeF size = room.size();
        if (!m_image.isNull())
            size = m_image.deviceIndependentSize().scaled(room.size(), Qt::KeepAspectRatio);
        else if (m_pageSize.isValid() && m_pageSize.width() > 1 && m_pageSize.height() > 1
                 && m_pageSize.width() < 1e6 && m_pageSize.height() < 1e6)
            size = m_pageSize.scaled(room.size(), Qt::KeepAspectRatio);
        const QRectF paper(room.center() - QPointF(size.width() / 2, size.height() / 2), size);
        QPainterPath shape;
        shape.addRoundedRect(paper, radius, radius);
        painter.fillPath(shape, QColor::fromRgb(paperColour));
        if (!m_image.isNull()) {
            painter.save();
            painter.setClipPath(shape);
            painter.setRenderHint(QPainter::SmoothPixmapTransform);
            painter.drawImage(paper, m_image);
            painter.restore();
        } else if (m_placeholder) {
            paintPlaceholder(painter, paper);
        }
        painter.setPen(QPen(interfaceColour(interfacePalette().line), 1));
        painter.drawPath(shape);
    }

private:
    void paintPlaceholder(QPainter& painter, const QRectF& paper) {
        // The paper stays light in both appearances: its text is the light one.
        const QColor soft = QColor::fromRgbF(0.45f, 0.39f, 0.36f);
        const QRectF text = paper.adjusted(24, paper.height() / 2 + 4, -24, -12);
        paintArrowDownCircle(painter, QRectF(paper.center() - QPointF(13, 34), QSizeF(26, 26)),
                             soft);
        painter.setPen(soft);
        painter.setFont(interfaceFont(12, QFont::Normal));
        painter.drawText(text, Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap,
                         L(u"canvas.icloudOff"_s));
    }

    QImage m_image;
    QSizeF m_pageSize;
    bool m_placeholder = false;
};

PageView::PageView(PenStore& store, const CanvasServices& services, QWidget* parent)
    : QWidget(parent)
    , m_store(store)
    , m_services(services)
    , m_back(new PlainButton)
    , m_save(new CandyButton)
    , m_share(new GhostButton)
    , m_canvas(new PageCanvas)
    , m_note(new QLabel) {
    auto* bar = new QHBoxLayout;
    bar->setSpacing(10);
    bar->addWidget(m_back);
    bar->addStretch();
    bar->addWidget(m_save);
    bar->addWidget(m_share);
    m_save->setCompact(true);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 12, 16, 12);
    layout->setSpacing(10);
    layout->addLayout(bar);
    layout->addWidget(m_canvas, 1);
    layout->addWidget(m_note);
    m_note->setFont(interfaceFont(12, QFont::Normal));
    m_note->setAlignment(Qt::AlignHCenter);
    m_note->setWordWrap(true);
    m_note->hide();

    connect(m_back, &QAbstractButton::clicked, this, &PageView::backRequested);
    connect(m_save, &QAbstractButton::clicked, this, &PageView::saveImage);
    connect(m_share, &QAbstractButton::clicked, this, &PageView::share);
    retranslate();
    applyLook();
}

void PageView::open(const QString& id) {
    ++m_generation;
    m_id = id;
    m_image = QImage();
    m_noteKey.clear();
    m_note->hide();
    m_busy = false;
    const std::optional<Drawing> record = m_store.drawing(id);
    m_loading = record.has_value();
    m_canvas->showPage({}, record ? record->pageSize : QSizeF(), !m_loading);
    updateButtons();
    if (!record)
        return;
    const int generation = m_generation;
    loadPageInBackground(m_services.pageFiles.reader(id), record->pageSize,
                         !record->thumbnailPNG, this, [this, generation](const LoadedPage& page) {
                             if (generation == m_generation)
                                 loaded(page);
                         });
}

void PageView::loaded(const LoadedPage& page) {
    m_loading = false;
    m_image = page.image;
    const std::optional<Drawing> record = m_store.drawing(m_id);
    m_canvas->showPage(m_image, record ? record->pageSize : QSizeF(), m_image.isNull());
    updateButtons();
    if (page.thumbnail && record && !record->thumbnailPNG)
        m_store.setDrawingThumbnail(m_id, *page.thumbnail);
}

bool PageView::showsPlaceholder() const {
    return m_canvas->showsPlaceholder();
}

QString PageView::note() const {
    return m_noteKey.isEmpty() ? QString() : m_note->text();
}

void PageView::saveImage() {
    if (m_image.isNull() || m_busy)
        return;
    setBusy(true);
    const int generation = m_generation;
    // Encoding a page of several million pixels takes a while: off the GUI thread.
    runInBackground<std::optional<QByteArray>>(
        [image = m_image] { return pngData(image); }, this,
        [this, generation](const std::optional<QByteArray>& png) {
            if (generation != m_generation)
                return;
            if (!png) {
                setBusy(false);
                setNote(u"ios.wall.failed"_s);
                return;
            }
            writeImage(*png);
        });
}

void PageView::writeImage(const QByteArray& png) {
    const std::optional<QString> path =
        m_services.fileDialogs.askSaveLocation(u"tessaro.png"_s, u"image/png"_s);
    if (!path) {
        // A cancel changes nothing.
        setBusy(false);
        return;
    }
    const int generation = m_generation;
    runInBackground<bool>(
        [path = *path, png] { return bool(writeFileAtomically(path, png)); }, this,
        [this, generation](const bool& written) {
            if (generation != m_generation)
                return;
            setBusy(false);
            setNote(written ? u"ios.wall.saved"_s : u"ios.wall.failed"_s);
        });
}

void PageView::share() {
    if (m_image.isNull())
        return;
    shareItems({m_image}, m_services.shareMenu, this);
}

void PageView::setNote(const QString& key) {
    m_noteKey = key;
    m_note->setText(L(key));
    m_note->setVisible(!key.isEmpty());
}

void PageView::setBusy(bool busy) {
    m_busy = busy;
    updateButtons();
}

void PageView::updateButtons() {
    const bool ready = !m_image.isNull() && !m_busy;
    m_save->setEnabled(ready);
    m_share->setEnabled(ready);
}

void PageView::retranslate() {
    m_back->setText(L(u"ios.back"_s));
    m_save->setText(L(u"mac.saveImage"_s));
    m_share->setText(L(u"canvas.share"_s));
    if (!m_noteKey.isEmpty())
        m_note->setText(L(m_noteKey));
    m_canvas->update();
}

void PageView::applyLook() {
    QPalette palette = m_note->palette();
    palette.setColor(QPalette::WindowText, interfaceColour(interfacePalette().textSoft));
    m_note->setPalette(palette);
    update();
}

} // namespace tessaro
