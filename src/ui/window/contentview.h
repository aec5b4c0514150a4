#pragma once

#include "ui/editor/peneditor.h"

#include <QDialog>
#include <QHash>
#include <QPointer>
#include <QWidget>

#include <functional>

class QLabel;
class QScrollArea;

namespace tessaro {

class BeadBoxView;
class CandyButton;
class GhostButton;
class HeaderButton;
class MotionPreference;
class StageView;
class StyleRows;
class TimerSource;
class Toasts;

// The main window's one screen: the header with its sheet buttons, the pen
// on its stage, the status line, the edit bar, the tray and style rows in a
// scrolling lower panel, and the tools pinned to the bottom over it. It
// holds no state of its own beyond the editor's: it shows the store and the
// editor and hands them the user's presses.
class ContentView final : public QWidget {
    Q_OBJECT

public:
    enum class Sheet { quotes, drawings, penCase, settings, wallpaper };
    // Builds a sheet's content; calling `dismiss` closes the sheet.
    using SheetFactory = std::function<QWidget*(std::function<void()> dismiss)>;

    // `timers` runs the toasts' delays, none meaning Qt's timers; tests hand
    // in their own, and a clock for the editor.
    ContentView(PenStore& store, MotionPreference* motion, QWidget* parent = nullptr,
                EditorTime time = EditorTime::system(), TimerSource* timers = nullptr);
    ~ContentView() override;

    // A sheet's button opens what `factory` builds, framed with the title
    // of `titleKey`; the button stays unavailable until a sheet is set. The
    // case is set from the start.
    void setSheet(Sheet sheet, const QString& titleKey, SheetFactory factory);
    // The sheet on show, if any.
    QDialog* presentedSheet() const { return m_sheet; }
    void openSheet(Sheet sheet);

    PenEditor& editor() { return m_editor; }
    StageView* stage() const { return m_stage; }
    BeadBoxView* tray() const { return m_tray; }
    StyleRows* styleRows() const { return m_styleRows; }
    QLabel* statusLine() const { return m_status; }
    Toasts& toasts() const { return *m_toasts; }
    HeaderButton* sheetButton(Sheet sheet) const { return m_sheetButtons.value(sheet); }
    // The tools pinned to the bottom, and the room kept free for them at the
    // end of the lower panel.
    QWidget* toolsArea() const { return m_tools; }
    QWidget* bottomSpacer() const { return m_spacer; }
    QScrollArea* lowerPanel() const { return m_lower; }
    QWidget* tagline() const { return m_tagline; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct SheetEntry {
        QString titleKey;
        SheetFactory factory;
    };

    QWidget* buildHeader();
    QWidget* buildEditBar();
    QWidget* buildTools();
    GhostButton* editButton(const QString& key, QWidget* bar, void (PenEditor::*action)());
    void storeChanged();
    void editorChanged();
    void placeTools();
    void applyLook();

    PenStore& m_store;
    PenEditor m_editor;
    QHash<Sheet, SheetEntry> m_sheets;
    QHash<Sheet, HeaderButton*> m_sheetButtons;
    QPointer<QDialog> m_sheet;
    // The product's mark, painted by the screen beside the title.
    QWidget* m_mark = nullptr;
    QLabel* m_title = nullptr;
    QWidget* m_tagline = nullptr;
    StageView* m_stage = nullptr;
    QLabel* m_status = nullptr;
    GhostButton* m_left = nullptr;
    GhostButton* m_right = nullptr;
    GhostButton* m_remove = nullptr;
    GhostButton* m_done = nullptr;
    GhostButton* m_undo = nullptr;
    GhostButton* m_clear = nullptr;
    QScrollArea* m_lower = nullptr;
    BeadBoxView* m_tray = nullptr;
    StyleRows* m_styleRows = nullptr;
    QWidget* m_spacer = nullptr;
    QWidget* m_tools = nullptr;
    CandyButton* m_wallpaper = nullptr;
    CandyButton* m_save = nullptr;
    std::unique_ptr<Toasts> m_toasts;
    bool m_shown = false;
};

} // namespace tessaro
