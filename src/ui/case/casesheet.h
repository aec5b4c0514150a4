#pragma once

#include "store/penstore.h"

#include <QWidget>

#include <optional>

class QLabel;
class QScrollArea;
class QStackedLayout;
class QVBoxLayout;

namespace tessaro {

class CaseRow;

// The case of saved pens, as the content of a sheet: one row per saved pen,
// newest first and numbered down to 1. A click on a pen takes it out of the
// case to be edited and asks for the sheet to close; a pen's delete button
// asks for a second press before it deletes. With nothing saved, an empty
// state says so.
class CaseSheet final : public QWidget {
    Q_OBJECT

public:
    explicit CaseSheet(PenStore& store, QWidget* parent = nullptr);

    // The row whose delete button waits for its second press.
    std::optional<qsizetype> armedDelete() const;
    // Reads every text again in the chosen language.
    void retranslate();

    // The rows on show, one per saved pen.
    QList<CaseRow*> rows() const;
    bool showsEmptyState() const;

Q_SIGNALS:
    // A pen was taken out: the sheet has done its work.
    void dismissRequested();

protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    // The armed row, and the pen it showed, so that a change of the case
    // from elsewhere never leaves a different pen armed.
    struct Armed {
        qsizetype index;
        QString penID;
    };

    void showSaved();
    void open(CaseRow* row);
    void pressDelete(CaseRow* row);
    void applyLook();

    PenStore& m_store;
    QStackedLayout* m_pages;
    QWidget* m_empty;
    QWidget* m_emptyIcon;
    QLabel* m_emptyText;
    QScrollArea* m_list;
    QLabel* m_hint;
    QVBoxLayout* m_rowsLayout;
    QList<CaseRow*> m_rows;
    std::optional<Armed> m_armed;
};

} // namespace tessaro
