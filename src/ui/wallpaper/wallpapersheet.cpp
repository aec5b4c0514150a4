#include "wallpapersheet.h"

#include "l10n/languagemanager.h"
#include "l10n/localization.h"
#include "platform/atomicfile.h"
#include "platform/widgets/filedialogs.h"
#include "render/largeimage.h"
#include "store/penstore.h"
#include "ui/common/candybutton.h"
#include "ui/common/desktophelpers.h"
#include "ui/common/ghostbutton.h"
#include "ui/common/interfacecolours.h"
#include "ui/common/interfacefont.h"
#include "wallpaperpreview.h"
#include "wallpaperswatch.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPointer>
#include <QScreen>
#include <QShowEvent>
#include <QThreadPool>
#include <QVBoxLayout>
#include <QWindow>

namespace tessaro {

using namespace Qt::StringLiterals;

namespace {

constexpr int padding = 16;
constexpr int spacing = 14;

const QString savedKey = u"ios.wall.saved"_s;
const QString failedKey = u"ios.wall.failed"_s;
const QString deniedKey = u"ios.wall.denied"_s;

// Larger pictures are refused rather than attempted: 16384² pixels is 1 GiB.
constexpr int maxSide = 16384;

// The sheet's worker: one thread, apart from the pool that Qt's raster engine
// splits large fills onto. Under Qt 6.4 a fill on the window's thread waits
// for a thread of that pool; painting the picture in bands there would keep
// them all busy and the window waiting until a band is done.
class ExportThread final : public QThreadPool {
public:
    ExportThread() {
        setMaxThreadCount(1);
        // A picture under way is finished while the application still
        // exists, as the global pool's work is.
        qAddPostRoutine(&finishWork);
    }

private:
    static void finishWork();
};

QThreadPool& exportThread() {
    static ExportThread pool;
    return pool;
}

void ExportThread::finishWork() {
    exportThread().waitForDone();
}

// The picture in one piece, painted on the calling thread.
std::optional<QImage> renderExport(const WallpaperCanvas& canvas, QSize size) {
    if (size.isEmpty() || size.width() > maxSide || size.height() > maxSide)
        return std::nullopt;
    QImage image = allocateLargeImage(size);
    if (image.isNull())
        return std::nullopt;
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    paintWallpaper(painter, QSizeF(size), canvas, 1.0);
    return image;
}

// Runs `work` on the sheet's worker and hands its result to `done` on the
// window's thread, unless `context` is gone by then.
template <typename Result>
void inBackground(QObject* context, std::function<Result()> work,
                  std::function<void(const Result&)> done) {
    exportThread().start([guard = QPointer<QObject>(context), work = std::move(work),
                        done = std::move(done)]() mutable {
        Result result = work();
        QMetaObject::invokeMethod(
            QCoreApplication::instance(),
            [guard = std::move(guard), result = std::move(result), done = std::move(done)] {
                if (guard)
                    done(result);
            },
            Qt::QueuedConnection);
    });
}

} // namespace

const QStringList& wallpaperBackgrounds() {
    static const QStringList backgrounds{u"#FFF8F0"_s, u"#FFE9F0"_s, u"#EAF3FA"_s, u"#EAF6EF"_s,
                                         u"#FFF3D6"_s, u"#4A3830"_s, u"#2B211C"_s};
    return backgrounds;
}

WallpaperSheet::WallpaperSheet(const Pen& pen, FileDialogs& dialogs, ShareMenu& shareMenu,
                               QWidget* parent)
    : QWidget(parent)
    , m_pen(pen)
    , m_dialogs(dialogs)
    , m_shareMenu(shareMenu)
    , m_preview(new WallpaperPreview({pen, wallpaperBackgrounds().constFirst()}))
    , m_note(new QLabel)
    , m_save(new CandyButton)
    , m_share(new GhostButton) {
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(padding, padding, padding, padding);
    column->setSpacing(spacing);

    auto* swatchRow = new QHBoxLayout;
    swatchRow->setSpacing(9);
    for (const QString& hex : wallpaperBackgrounds()) {
        auto* swatch = new WallpaperSwatch(hex);
        connect(swatch, &QAbstractButton::clicked, this, [this, hex] { chooseBackground(hex); });
        swatchRow->addWidget(swatch);
        m_swatches.append(swatch);
    }
    m_swatches.constFirst()->setSelected(true);
    column->addLayout(swatchRow);
    column->addWidget(m_preview, 1);

    m_note->setFont(interfaceFont(13, QFont::Normal));
    m_note->setWordWrap(true);
    m_note->setAlignment(Qt::AlignCenter);
    m_note->setContentsMargins(20, 0, 20, 0);
    m_note->hide();
    column->addWidget(m_note);

    auto* actions = new QHBoxLayout;
    actions->setSpacing(10);
    actions->setContentsMargins(0, 0, 0, 8);
    actions->addStretch();
    actions->addWidget(m_save);
    actions->addWidget(m_share);
    actions->addStretch();
    column->addLayout(actions);

    connect(m_save, &QAbstractButton::clicked, this, &WallpaperSheet::save);
    connect(m_share, &QAbstractButton::clicked, this, &WallpaperSheet::share);
    if (const LanguageManager* languages = LanguageManager::shared())
        connect(languages, &LanguageManager::codeChanged, this, &WallpaperSheet::retranslate);
    new AppearanceWatch(this, [this] { applyLook(); });
    retranslate();
    applyLook();
}

WallpaperSheet::~WallpaperSheet() = default;

QString WallpaperSheet::background() const {
    return m_preview->canvas().bgHex;
}

void WallpaperSheet::chooseBackground(const QString& hex) {
    if (!wallpaperBackgrounds().contains(hex))
        return;
    for (WallpaperSwatch* swatch : std::as_const(m_swatches))
        swatch->setSelected(swatch->hex() == hex);
    m_preview->setBackground(hex);
    // A status line speaks of the picture as it was.
    m_noteKey.reset();
    m_note->hide();
}

std::optional<QString> WallpaperSheet::note() const {
    if (!m_noteKey)
        return std::nullopt;
    return m_note->text();
}

QSize WallpaperSheet::exportPixelSize() const {
    const QScreen* on = screen();
    if (!on)
        return defaultWallpaperPixelSize;
    return wallpaperPixelSize(on->size(), on->devicePixelRatio());
}

void WallpaperSheet::render(bool encode, std::function<void(const Rendered&)> done) {
    const WallpaperCanvas canvas = m_preview->canvas();
    const QSize size = exportPixelSize();
    inBackground<Rendered>(
        this,
        [canvas, size, encode] {
            Rendered rendered;
            rendered.image = renderExport(canvas, size);
            if (!rendered.image)
                return rendered;
            // Every pixel is opaque: the picture is written without an
            // alpha channel, smaller and sooner.
            rendered.image->reinterpretAsFormat(QImage::Format_RGB32);
            if (encode)
                rendered.png = pngData(*rendered.image);
            return rendered;
        },
        std::move(done));
}

void WallpaperSheet::save() {
    if (m_busy)
        return;
    setBusy(true);
    render(true, [this](const Rendered& rendered) { saveRendered(rendered); });
}

void WallpaperSheet::saveRendered(const Rendered& rendered) {
    if (!rendered.image || !rendered.png)
        return finish(failedKey);
    const std::optional<QString> path = m_dialogs.askSaveLocation(u"tessaro.png"_s, u"image/png"_s);
    if (!path || path->isEmpty())
        return finish(deniedKey);
    // Some megabytes to a disk that may be slow or on the network.
    inBackground<bool>(
        this, [path = *path, png = *rendered.png] { return bool(writeFileAtomically(path, png)); },
        [this](const bool& written) { finish(written ? savedKey : failedKey); });
}

void WallpaperSheet::share() {
    if (m_busy)
        return;
    setBusy(true);
    render(false, [this](const Rendered& rendered) {
        if (!rendered.image)
            return finish(failedKey);
        finish(std::nullopt);
        shareItems({*rendered.image}, m_shareMenu, this);
    });
}

void WallpaperSheet::finish(std::optional<QString> noteKey) {
    if (noteKey) {
        m_noteKey = std::move(noteKey);
        m_note->setText(L(*m_noteKey));
        m_note->show();
    }
    setBusy(false);
}

void WallpaperSheet::setBusy(bool busy) {
    if (busy == m_busy)
        return;
    m_busy = busy;
    m_save->setEnabled(!busy);
    m_share->setEnabled(!busy);
    Q_EMIT busyChanged(busy);
}

void WallpaperSheet::retranslate() {
    m_save->setText(L(u"mac.saveImage"_s));
    m_share->setText(L(u"ios.share"_s));
    if (m_noteKey)
        m_note->setText(L(*m_noteKey));
}

void WallpaperSheet::applyLook() {
    QPalette palette = m_note->palette();
    palette.setColor(QPalette::WindowText, interfaceColour(interfacePalette().textSoft));
    m_note->setPalette(palette);
    update();
}

void WallpaperSheet::followScreen() {
    m_preview->setAspect(exportPixelSize());
}

void WallpaperSheet::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    followScreen();
    // The preview keeps the proportions of the screen the window moves to.
    if (QWindow* handle = window()->windowHandle(); handle && !m_followingScreen) {
        m_followingScreen = true;
        connect(handle, &QWindow::screenChanged, this, &WallpaperSheet::followScreen);
    }
}

void WallpaperSheet::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), interfaceColour(interfacePalette().background));
}

QWidget* makeWallpaperSheet(PenStore& store, FileDialogs& dialogs, ShareMenu& shareMenu) {
    return new WallpaperSheet(store.pen(), dialogs, shareMenu);
}

} // namespace tessaro
