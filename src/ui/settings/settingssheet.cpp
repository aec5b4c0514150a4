#include "settingssheet.h"

#include "aboutinfo.h"
#include "appearance/appearancemanager.h"
#include "l10n/languagemanager.h"
#include "l10n/localization.h"
#include "platform/gui/urlopener.h"
#include "platform/widgets/filedialogs.h"
#include "settingsparts.h"
#include "settingssymbols.h"
#include "store/cloudsettings.h"
#include "store/penstore.h"
#include "ui/common/ghostbutton.h"
#include "ui/common/interfacecolours.h"
#include "ui/common/interfacefont.h"

#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QScrollArea>
#include <QScrollBar>
#include <QShowEvent>
#include <QSysInfo>
#include <QVBoxLayout>

namespace tessaro {

using namespace Qt::StringLiterals;

namespace {

constexpr int columnWidth = 860;
constexpr int padding = 16;

// What another program runs to keep a line as a quote, the desktop's
// counterpart of a Services menu entry.
const QString keepCommand =
    u"gdbus call --session --dest app.tessaro.Tessaro --object-path /app/tessaro/Tessaro "
    "--method app.tessaro.Keeper.KeepLine \"TEXT\" \"SOURCE\""_s;

QHBoxLayout* row(QWidget* left, QWidget* right) {
    auto* layout = new QHBoxLayout;
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(left, 1);
    layout->addWidget(right, 0, Qt::AlignRight | Qt::AlignVCenter);
    return layout;
}

} // namespace

QList<ChoiceMenuButton::Option> languageOptions() {
    QList<ChoiceMenuButton::Option> options{{QString(), L(u"ios.language.system"_s)}};
    for (const Language& language : languageTable())
        options.append({language.code, language.nativeName});
    return options;
}

SettingsSheet::SettingsSheet(PenStore& store, CloudSettings& cloud, FileDialogs& dialogs,
                             UrlOpener& urls, QWidget* parent)
    : QWidget(parent)
    , m_store(store)
    , m_cloud(cloud)
    , m_dialogs(dialogs)
    , m_urls(urls) {
    auto* column = new QWidget;
    column->setMaximumWidth(columnWidth);
    auto* stack = new QVBoxLayout(column);
    stack->setContentsMargins(padding, padding, padding, padding + 4);
    stack->setSpacing(18);
    stack->addWidget(buildPreferences());
    stack->addWidget(buildCloud());
    stack->addWidget(buildQuotes());
    stack->addWidget(buildSupport());
    stack->addWidget(buildAbout());
    stack->addStretch();

    // The column keeps its width in the middle of a wider sheet.
    auto* content = new QWidget;
    auto* centred = new QHBoxLayout(content);
    centred->setContentsMargins(0, 0, 0, 0);
    centred->addWidget(column);

    auto* scroll = new QScrollArea;
    scroll->setWidget(content);
    // The scroll area fills what it holds; the sheet paints its own background.
    content->setAutoFillBackground(false);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll->viewport()->setAutoFillBackground(false);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(scroll);

    if (LanguageManager* languages = LanguageManager::shared()) {
        connect(m_language, &ChoiceMenuButton::chosen, languages, &LanguageManager::setCode);
        connect(languages, &LanguageManager::codeChanged, this, &SettingsSheet::retranslate);
    } else {
        m_language->setEnabled(false);
    }
    if (AppearanceManager* appearance = AppearanceManager::shared()) {
        connect(m_appearance, &ChoiceMenuButton::chosen, appearance, &AppearanceManager::setMode);
        connect(appearance, &AppearanceManager::modeChanged, this,
                [this](const QString& mode) { m_appearance->setCurrent(mode); });
    } else {
        m_appearance->setEnabled(false);
    }
    connect(&m_cloud, &CloudSettings::statusChanged, this, &SettingsSheet::showCloud);
    connect(&m_store, &PenStore::changed, this, [this](PenStore::Changes what) {
        if (what & PenStore::Change::cloudTruncatedCount)
            showCloud();
    });
    new AppearanceWatch(this, [this, scroll] { applyLook(scroll); });
    retranslate();
    applyLook(scroll);
}

void SettingsSheet::applyLook(QScrollArea* scroll) {
    // A slim bar in the interface's own colours, as the main window's.
    scroll->verticalScrollBar()->setStyleSheet(
        u"QScrollBar:vertical { width: 10px; background: transparent; margin: 2px; }"
        "QScrollBar::handle:vertical { background: %1; border-radius: 3px; min-height: 32px; }"
        "QScrollBar::add-line, QScrollBar::sub-line { height: 0; }"
        "QScrollBar::add-page, QScrollBar::sub-page { background: transparent; }"_s.arg(
            interfaceColour(interfacePalette().textSoft, 0.45).name(QColor::HexArgb)));
    update();
}

QWidget* SettingsSheet::section(QLabel* title, QWidget* card) {
    auto* box = new QWidget;
    auto* layout = new QVBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(6);
    title->setContentsMargins(8, 0, 8, 0);
    layout->addWidget(title);
    layout->addWidget(card);
    return box;
}

QWidget* SettingsSheet::buildPreferences() {
    auto* card = new SettingsCard;
    m_languageTitle = settingsLabel(15, false);
    m_language = new ChoiceMenuButton;
    m_language->setOptions(languageOptions);
    card->rows()->addLayout(row(m_languageTitle, m_language));
    card->rows()->addWidget(new RowSeparator);
    m_appearanceTitle = settingsLabel(15, false);
    m_appearance = new ChoiceMenuButton;
    m_appearance->setOptions([] {
        if (const AppearanceManager* appearance = AppearanceManager::shared())
            return appearance->appearanceOptions();
        return QList<ChoiceMenuButton::Option>();
    });
    card->rows()->addLayout(row(m_appearanceTitle, m_appearance));
    return card;
}

QWidget* SettingsSheet::buildCloud() {
    auto* card = new SettingsCard;
    m_cloudSymbol = new SymbolView(settingsSymbol(SettingsSymbol::cloud), 20);
    m_cloudStatus = settingsLabel(15, false);
    auto* status = new QHBoxLayout;
    status->setSpacing(10);
    status->addWidget(m_cloudSymbol, 0, Qt::AlignTop);
    status->addWidget(m_cloudStatus, 1);
    card->rows()->addLayout(status);
    m_truncation = settingsLabel(13, false);
    card->rows()->addWidget(m_truncation);
    card->rows()->addWidget(new RowSeparator);
    m_cloudPlace = settingsLabel(13, true);
    m_cloudPlace->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_chooseFolder = new GhostButton;
    connect(m_chooseFolder, &QAbstractButton::clicked, this, &SettingsSheet::chooseFolder);
    card->rows()->addLayout(row(m_cloudPlace, m_chooseFolder));
    m_cloudFixed = settingsLabel(12, true);
    card->rows()->addWidget(m_cloudFixed);
    m_cloudTitle = settingsLabel(12, true);
    return section(m_cloudTitle, card);
}

QWidget* SettingsSheet::buildQuotes() {
    auto* card = new SettingsCard;
    m_servicesHint = settingsLabel(13, false);
    m_keepCommand = settingsLabel(11, true);
    m_keepCommand->setText(keepCommand);
    QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    fixed.setPixelSize(11);
    m_keepCommand->setFont(fixed);
    m_keepCommand->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_hotkeyHint = settingsLabel(13, false);
    card->rows()->addWidget(m_servicesHint);
    card->rows()->addWidget(m_keepCommand);
    card->rows()->addWidget(m_hotkeyHint);
    m_quotesTitle = settingsLabel(12, true);
    return section(m_quotesTitle, card);
}

QWidget* SettingsSheet::buildSupport() {
    auto* card = new SettingsCard;
    card->rows()->setSpacing(4);
    m_feedback = new SupportRow(settingsSymbol(SettingsSymbol::envelope));
    m_rate = new SupportRow(settingsSymbol(SettingsSymbol::star));
    m_website = new SupportRow(settingsSymbol(SettingsSymbol::globe));
    card->rows()->addWidget(m_feedback);
    card->rows()->addWidget(new RowSeparator);
    card->rows()->addWidget(m_rate);
    card->rows()->addWidget(new RowSeparator);
    card->rows()->addWidget(m_website);
    connect(m_feedback, &QAbstractButton::clicked, this, [this] {
        m_urls.open(feedbackURL(buildVersionText(), QSysInfo::prettyProductName()));
    });
    connect(m_rate, &QAbstractButton::clicked, this, [this] { m_urls.open(rateURL); });
    connect(m_website, &QAbstractButton::clicked, this, [this] { m_urls.open(websiteURL); });
    m_supportTitle = settingsLabel(12, true);
    return section(m_supportTitle, card);
}

QWidget* SettingsSheet::buildAbout() {
    auto* card = new SettingsCard;
    m_aboutBody = settingsLabel(14, false);
    m_privacy = settingsLabel(13, true);
    m_contact = settingsLabel(13, true);
    m_contact->setText(contactAddress);
    m_contact->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_versionTitle = settingsLabel(13, false);
    m_version = settingsLabel(13, true);
    m_version->setText(buildVersionText());
    m_version->setWordWrap(false);
    m_version->setTextInteractionFlags(Qt::TextSelectableByMouse);
    card->rows()->addWidget(m_aboutBody);
    card->rows()->addWidget(m_privacy);
    card->rows()->addWidget(m_contact);
    card->rows()->addWidget(new RowSeparator);
    card->rows()->addLayout(row(m_versionTitle, m_version));
    m_aboutTitle = settingsLabel(12, true);
    return section(m_aboutTitle, card);
}

void SettingsSheet::retranslate() {
    m_languageTitle->setText(L(u"ios.language"_s));
    m_appearanceTitle->setText(L(u"ios.appearance"_s));
    m_language->setCurrent(LanguageManager::shared() ? LanguageManager::shared()->code()
                                                     : QString());
    m_appearance->setCurrent(AppearanceManager::shared() ? AppearanceManager::shared()->mode()
                                                         : QString());
    m_cloudTitle->setText(L(u"settings.icloud"_s));
    m_chooseFolder->setText(L(u"settings.cloudChoose"_s));
    m_cloudFixed->setText(L(u"settings.cloudFixed"_s));
    m_quotesTitle->setText(L(u"quotes.title"_s));
    m_servicesHint->setText(L(u"mac.servicesHint"_s));
    m_hotkeyHint->setText(L(u"mac.hotkeyHint"_s));
    m_supportTitle->setText(L(u"ios.support"_s));
    m_feedback->setText(L(u"ios.feedback"_s));
    m_rate->setText(L(u"ios.rate"_s));
    m_website->setText(L(u"ios.web"_s));
    m_aboutTitle->setText(L(u"about.title"_s));
    m_aboutBody->setText(L(u"about.body"_s));
    m_privacy->setText(L(u"ios.privacy"_s));
    m_versionTitle->setText(L(u"ios.version"_s));
    showCloud();
}

void SettingsSheet::showCloud() {
    const CloudStatus status = m_cloud.status();
    const bool redis = status.kind == CloudStatus::Kind::redis;
    // Nothing is said until the place has been looked at.
    m_cloudStatus->setVisible(status.reachable.has_value());
    m_cloudSymbol->setVisible(status.reachable.has_value());
    const bool on = status.reachable.value_or(false);
    m_cloudSymbol->setSymbol(settingsSymbol(on ? SettingsSymbol::cloud : SettingsSymbol::cloudOff));
    if (redis)
        m_cloudStatus->setText(L(on ? u"settings.redisOn"_s : u"settings.redisOff"_s));
    else
        m_cloudStatus->setText(L(on ? u"settings.icloudOn"_s : u"settings.icloudOff"_s));

    const int leftOut = m_store.cloudTruncatedCount();
    m_truncation->setVisible(leftOut >= 1);
    m_truncation->setText(
        fillPlaceholders(L(u"settings.icloudTruncated"_s), {{u"n"_s, QString::number(leftOut)}}));

    m_cloudPlace->setText(status.place);
    m_chooseFolder->setEnabled(!status.setByEnvironment);
    m_cloudFixed->setVisible(status.setByEnvironment);
}

void SettingsSheet::chooseFolder() {
    const CloudStatus status = m_cloud.status();
    if (status.setByEnvironment)
        return;
    if (const auto folder = m_dialogs.askFolder(status.place))
        m_cloud.chooseFolder(*folder);
}

void SettingsSheet::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // Each opening looks at the place afresh: a drive may have been
    // unplugged, a server may have come back.
    if (!event->spontaneous())
        m_cloud.refresh();
}

void SettingsSheet::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), interfaceColour(interfacePalette().background));
}

QWidget* makeSettingsSheet(PenStore& store, CloudSettings& cloud, FileDialogs& dialogs,
                           UrlOpener& urls) {
    return new SettingsSheet(store, cloud, dialogs, urls);
}

} // namespace tessaro
