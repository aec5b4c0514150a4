#pragma once

#include "model/rgb.h"

#include <QList>
#include <QObject>
#include <QPointer>

#include <optional>
#include <utility>

namespace tessaro {

class Preferences;
class SystemAppearance;

enum class ColourScheme { light, dark };

// One interface colour: its value in the light and in the dark appearance.
struct PaletteColour {
    RGB light;
    RGB dark;

    RGB resolved(bool darkAppearance) const { return darkAppearance ? dark : light; }
};

struct InterfacePalette {
    PaletteColour background;
    PaletteColour surface;
    PaletteColour textMain;
    PaletteColour textSoft;
    PaletteColour line;
    PaletteColour accent;
    PaletteColour accentText;
    PaletteColour danger;
    PaletteColour textStrong;
};

const InterfacePalette& interfacePalette();

// The user's choice between following the desktop, light and dark, stored
// under "app.appearance", and the appearance it comes to.
class AppearanceManager : public QObject {
    Q_OBJECT

public:
    explicit AppearanceManager(Preferences& preferences, QObject* parent = nullptr);
    ~AppearanceManager() override;

    // The process-wide manager: the one installed by an Installation, or null
    // while none is.
    static AppearanceManager* shared();

    // Makes a manager the process-wide one while it lives; the one installed
    // before comes back after. The entry installs its manager for the whole
    // run, a test for one test function.
    class Installation {
    public:
        explicit Installation(AppearanceManager& manager);
        ~Installation();
        Installation(const Installation&) = delete;
        Installation& operator=(const Installation&) = delete;

    private:
        AppearanceManager* m_previous;
    };

    // The desktop's own appearance, followed when the mode says so; without
    // one, the interface is light.
    void setSystemAppearance(SystemAppearance* system);

    // "", "light" or "dark"; anything else follows the desktop too.
    QString mode() const { return m_mode; }
    void setMode(const QString& mode);
    // The forced scheme; none when the desktop decides.
    std::optional<ColourScheme> scheme() const;
    // The picker's rows: value and label.
    QList<std::pair<QString, QString>> appearanceOptions() const;

    // Whether the interface shows dark now, forced or following the desktop.
    bool isDark() const;
    RGB colour(const PaletteColour& colour) const { return colour.resolved(isDark()); }

Q_SIGNALS:
    void modeChanged(const QString& mode);
    // The interface turned light or dark: views redraw with the other values.
    void appearanceChanged(bool dark);

private:
    void update();

    Preferences& m_preferences;
    QPointer<SystemAppearance> m_system;
    QString m_mode;
    bool m_dark = false;
};

} // namespace tessaro
