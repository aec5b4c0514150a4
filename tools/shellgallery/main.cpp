// Renders the tray menu to PNG files, to look at: with six beads and eight
// quotes, and with none, in English and German, on a light and a dark
// desktop theme (the menu follows the desktop, not Tessaro's appearance).
//   tessaro-shell-gallery <folder> [scale]
// The scale (1 or 2) is the screen's; built with the project, never installed.
#include "../common/gallerydevice.h"
#include "shell/keeper.h"
#include "shell/traymenu.h"

#include <QApplication>
#include <QMenu>
#include <QPalette>
#include <QStyle>

using namespace tessaro;
using namespace Qt::StringLiterals;

namespace {

// The desktop's dark theme as Qt's own style draws it.
QPalette darkTheme() {
    QPalette palette;
    palette.setColor(QPalette::Window, QColor(0x2b, 0x2b, 0x2e));
    palette.setColor(QPalette::WindowText, QColor(0xee, 0xee, 0xee));
    palette.setColor(QPalette::Base, QColor(0x23, 0x23, 0x26));
    palette.setColor(QPalette::Text, QColor(0xee, 0xee, 0xee));
    palette.setColor(QPalette::Button, QColor(0x33, 0x33, 0x36));
    palette.setColor(QPalette::ButtonText, QColor(0xee, 0xee, 0xee));
    palette.setColor(QPalette::Highlight, QColor(0x8e, 0x6b, 0xc9));
    palette.setColor(QPalette::HighlightedText, Qt::white);
    palette.setColor(QPalette::Disabled, QPalette::Text, QColor(0x88, 0x88, 0x8c));
    palette.setColor(QPalette::Disabled, QPalette::WindowText, QColor(0x88, 0x88, 0x8c));
    // Qt's style etches disabled text with this colour; a dark theme does not.
    palette.setColor(QPalette::Disabled, QPalette::Light, QColor(0x2b, 0x2b, 0x2e));
    return palette;
}

} // namespace

int main(int argc, char** argv) {
    const std::optional<gallery::Arguments> arguments =
        gallery::screenArguments(argc, argv, "tessaro-shell-gallery <folder> [scale]");
    if (!arguments)
        return 2;
    QApplication app(argc, argv);
    const QPalette light = QApplication::style()->standardPalette();
    const QString suffix = u"@%1x.png"_s.arg(QString::fromLatin1(arguments->scale));

    bool ok = true;
    for (const bool filled : {true, false}) {
        gallery::Device device;
        if (filled) {
            Pen pen = device.store->pen();
            pen.beads = {u"cherry"_s, u"star"_s, u"pearl"_s, u"sky"_s, u"lavender"_s, u"coral"_s};
            device.store->setPen(pen);
            const QStringList texts{
                u"Be yourself; everyone else is already taken."_s,
                u"Tea & biscuits\nat four o'clock"_s,
                u"The best way out is always through, and the only way through is one step at a time."_s,
                u"Less is more."_s,
                u"Stay curious."_s,
                u"Never shown: the sixth"_s,
            };
            for (auto it = texts.crbegin(); it != texts.crend(); ++it)
                device.store->addQuote(*it, {}, {});
        }
        Keeper keeper(*device.store);
        TrayMenu tray(*device.store, keeper, TrayMenu::Rows::drawn);
        for (const QString& code : {u"en"_s, u"de"_s}) {
            device.language.setCode(code);
            for (const bool dark : {false, true}) {
                QApplication::setPalette(dark ? darkTheme() : light);
                QApplication::processEvents();
                // Its size hint, not clamped to the small offscreen screen.
                tray.menu()->resize(tray.menu()->sizeHint());
                const QString name = u"%1/tray-%2-%3-%4%5"_s.arg(
                    arguments->folder, filled ? u"quotes"_s : u"empty"_s, code,
                    dark ? u"dark"_s : u"light"_s, suffix);
                if (!tray.menu()->grab().save(name)) {
                    std::fprintf(stderr, "could not write %s\n", qPrintable(name));
                    ok = false;
                }
            }
        }
    }
    return ok ? 0 : 1;
}
