#include "mainwindow.h"

#include "l10n/languagemanager.h"

#include <QVBoxLayout>

namespace tessaro {

using namespace Qt::StringLiterals;

MainWindow::MainWindow(PenStore& store, MotionPreference* motion, Setup setup, QWidget* parent)
    : QWidget(parent)
    , m_store(store)
    , m_motion(motion)
    , m_setup(std::move(setup)) {
    setWindowTitle(u"Tessaro"_s);
    setMinimumSize(900, 700);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    build();
    if (const LanguageManager* languages = LanguageManager::shared())
        // Queued: the change may come from a press inside the old content,
        // which must not be deleted under its own feet.
        connect(languages, &LanguageManager::codeChanged, this, &MainWindow::build,
                Qt::QueuedConnection);
}

void MainWindow::build() {
    auto* content = new ContentView(m_store, m_motion, this);
    if (m_setup)
        m_setup(*content);
    if (m_content) {
        delete layout()->replaceWidget(m_content, content);
        m_content->hide();
        m_content->deleteLater();
    } else {
        layout()->addWidget(content);
    }
    m_content = content;
    if (isVisible())
        content->show();
    Q_EMIT contentRebuilt();
}

} // namespace tessaro
