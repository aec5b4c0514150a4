#pragma once

#include "contentview.h"

#include <QPointer>
#include <QWidget>

#include <functional>

namespace tessaro {

// The main window: one ContentView, built again whenever the language
// changes so that every text follows it. At least 900 × 700.
class MainWindow final : public QWidget {
    Q_OBJECT

public:
    // Sets up each content view the window builds (the sheets it offers).
    using Setup = std::function<void(ContentView&)>;

    MainWindow(PenStore& store, MotionPreference* motion, Setup setup = {},
               QWidget* parent = nullptr);

    ContentView* content() const { return m_content; }

Q_SIGNALS:
    // A new content view took the old one's place.
    void contentRebuilt();

private:
    void build();

    PenStore& m_store;
    MotionPreference* m_motion;
    Setup m_setup;
    QPointer<ContentView> m_content;
};

} // namespace tessaro
