#pragma once

#include "canvasservices.h"

#include <QImage>
#include <QWidget>

class QLabel;

namespace tessaro {

class CandyButton;
class GhostButton;
class PageCanvas;
class PenStore;
class PlainButton;
struct LoadedPage;

// One drawing page, read only: a bar with back, save image and share, the
// page on its paper fitted to the room, and a line for the outcome of a save.
// The page is read, decoded and rendered off the GUI thread when it opens; a
// page that cannot be shown (its file not here yet, unreadable, or beyond
// the bounds) shows a placeholder that says pages come through the cloud
// folder. The first opening of a page without a thumbnail gives it one.
class PageView final : public QWidget {
    Q_OBJECT

public:
    PageView(PenStore& store, const CanvasServices& services, QWidget* parent = nullptr);

    // Shows the page `id`, starting to load it.
    void open(const QString& id);
    const QString& drawingID() const { return m_id; }

    const QImage& image() const { return m_image; }
    bool isLoading() const { return m_loading; }
    bool showsPlaceholder() const;
    bool isBusy() const { return m_busy; }
    QString note() const;

    PlainButton* backButton() const { return m_back; }
    CandyButton* saveButton() const { return m_save; }
    GhostButton* shareButton() const { return m_share; }

    void retranslate();
    void applyLook();

Q_SIGNALS:
    void backRequested();

private:
    void loaded(const LoadedPage& page);
    void saveImage();
    void writeImage(const QByteArray& png);
    void share();
    void setNote(const QString& key);
    void setBusy(bool busy);
    void updateButtons();

    PenStore& m_store;
    CanvasServices m_services;
    QString m_id;
    QImage m_image;
    bool m_loading = false;
    bool m_busy = false;
    QString m_noteKey;
    // Tells an answer from a worker which opening of the view it belongs to.
    int m_generation = 0;
    PlainButton* m_back;
    CandyButton* m_save;
    GhostButton* m_share;
    PageCanvas* m_canvas;
    QLabel* m_note;
};

} // namespace tessaro
