// Renders the shared widgets to PNG files, to look at, in the light and the
// dark appearance, at 1× and 2×, in English and German:
//   QT_QPA_PLATFORM=offscreen tessaro-widget-gallery <folder>
// Built with the project, never installed.
#include "appearance/appearancemanager.h"
#include "l10n/languagemanager.h"
#include "l10n/localization.h"
#include "platform/preferences.h"
#include "ui/common/candybutton.h"
#include "ui/common/ghostbutton.h"
#include "ui/common/nav.h"
#include "ui/common/toasts.h"
#include "ui/common/tstexteditor.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QDialog>
#include <QDir>
#include <QGridLayout>
#include <QHash>
#include <QImage>
#include <QLabel>
#include <QVBoxLayout>

#include <cstdio>

using namespace tessaro;
using namespace Qt::StringLiterals;

namespace {

class MemoryPreferences final : public Preferences {
public:
    QVariant value(const QString& key) const override { return m_values.value(key); }
    void setValue(const QString& key, const QVariant& value) override {
        m_values.insert(key, value);
    }
    bool isAvailable() const override { return true; }

private:
    QHash<QString, QVariant> m_values;
};

// Lets animations and deferred layouts run to their end.
void settle() {
    QDeadlineTimer deadline(300);
    while (!deadline.hasExpired())
        QApplication::processEvents(QEventLoop::AllEvents, 20);
}

QWidget* buttons() {
    auto* panel = new QWidget;
    auto* grid = new QGridLayout(panel);
    grid->setContentsMargins(24, 24, 24, 24);
    grid->setHorizontalSpacing(12);
    grid->setVerticalSpacing(12);
    auto* save = new CandyButton(L(u"tools.save"_s));
    grid->addWidget(save, 0, 0);
    auto* pressed = new CandyButton(L(u"tools.wallpaper"_s));
    pressed->setDown(true);
    grid->addWidget(pressed, 0, 1);
    auto* compact = new CandyButton(L(u"tools.case"_s));
    compact->setCompact(true);
    grid->addWidget(compact, 0, 2);
    auto* focused = new CandyButton(L(u"edit.done"_s));
    focused->setObjectName(u"focused"_s);
    grid->addWidget(focused, 0, 3);
    auto* squeezed = new CandyButton(L(u"canvas.deleteConfirm"_s));
    squeezed->setCompact(true);
    squeezed->setFixedWidth(150);
    grid->addWidget(squeezed, 1, 0);
    auto* tight = new CandyButton(L(u"edit.clearConfirm"_s));
    tight->setCompact(true);
    tight->setFixedWidth(120);
    grid->addWidget(tight, 1, 1);
    auto* disabled = new CandyButton(L(u"tools.save"_s));
    disabled->setEnabled(false);
    grid->addWidget(disabled, 1, 2);
    grid->addWidget(new GhostButton(L(u"edit.undo"_s)), 2, 0);
    auto* look = new GhostButton(L(u"edit.clear"_s));
    look->setDisabledLook(true);
    grid->addWidget(look, 2, 1);
    auto* ghostPressed = new GhostButton(L(u"edit.left"_s));
    ghostPressed->setDown(true);
    grid->addWidget(ghostPressed, 2, 2);
    auto* ghostFocused = new GhostButton(L(u"edit.right"_s));
    ghostFocused->setObjectName(u"ghostFocused"_s);
    grid->addWidget(ghostFocused, 2, 3);
    auto* editor = new TSTextEditor;
    editor->setFontSize(15);
    editor->setText(L(u"tagline"_s) + u"\n\n"_s + L(u"canvas.phoneHint"_s));
    grid->addWidget(editor, 3, 0, 1, 4);
    grid->setRowStretch(3, 1);
    return panel;
}

bool render(const QString& folder, const QString& language, bool dark, double ratio) {
    MemoryPreferences standard;
    MemoryPreferences group;
    LanguageManager languages(standard, group);
    languages.setCode(language);
    const LanguageManager::Installation languageInstalled(languages);
    AppearanceManager appearance(standard);
    appearance.setMode(dark ? u"dark"_s : u"light"_s);
    const AppearanceManager::Installation appearanceInstalled(appearance);

    QDialog dialog;
    auto* column = new QVBoxLayout(&dialog);
    column->setContentsMargins(0, 0, 0, 0);
    auto* nav = new Nav(L(u"wall.title"_s), true, buttons());
    column->addWidget(nav);
    Toasts toasts(nav);
    dialog.resize(720, 560);
    dialog.show();
    QApplication::setActiveWindow(&dialog);
    toasts.show(L(u"case.saved"_s));
    settle();
    if (auto* focused = dialog.findChild<QWidget*>(u"focused"_s))
        focused->setFocus(Qt::TabFocusReason);
    settle();

    QImage image((dialog.size() * ratio), QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::transparent);
    dialog.render(&image);
    const QString name =
        u"%1/nav-%2-%3-%4x.png"_s.arg(folder, language, dark ? u"dark"_s : u"light"_s).arg(ratio);
    if (image.save(name))
        return true;
    std::fprintf(stderr, "could not write %s\n", qPrintable(name));
    return false;
}

} // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: tessaro-widget-gallery <folder>\n");
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(folder);
    bool written = true;
    for (const QString& language : {u"en"_s, u"de"_s})
        for (const bool dark : {false, true})
            for (const double ratio : {1.0, 2.0})
                written = render(folder, language, dark, ratio) && written;
    return written ? 0 : 1;
}
