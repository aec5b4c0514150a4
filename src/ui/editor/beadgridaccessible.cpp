#include "beadgridaccessible.h"

#include "beadgrid.h"
#include "l10n/localization.h"

#include <QAccessibleWidget>
#include <QPointer>
#include <QWidget>
#include <QWindow>

using namespace Qt::StringLiterals;

namespace tessaro {

namespace {

class BeadCellAccessible final : public QAccessibleInterface, public QAccessibleActionInterface {
public:
    BeadCellAccessible(BeadGrid* grid, int index)
        : m_grid(grid)
        , m_index(index) {}

    bool isValid() const override { return m_grid && m_index < m_grid->beads().size(); }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return m_grid ? m_grid->window()->windowHandle() : nullptr; }
    QAccessibleInterface* parent() const override {
        return m_grid ? QAccessible::queryAccessibleInterface(m_grid) : nullptr;
    }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }

    QString text(QAccessible::Text kind) const override {
        if (!isValid() || kind != QAccessible::Name)
            return QString();
        return L(u"beads."_s + m_grid->beads()[m_index].id);
    }
    void setText(QAccessible::Text, const QString&) override {}

    QRect rect() const override {
        if (!isValid())
            return QRect();
        const QRect local = m_grid->cellRect(m_index).toAlignedRect();
        return QRect(m_grid->mapToGlobal(local.topLeft()), local.size());
    }

    QAccessible::Role role() const override { return QAccessible::Button; }

    QAccessible::State state() const override {
        QAccessible::State state;
        if (!isValid()) {
            state.invalid = true;
            return state;
        }
        state.focusable = true;
        state.focused = m_grid->hasFocus() && m_grid->currentIndex() == m_index;
        state.invisible = !m_grid->isVisible();
        return state;
    }

    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::ActionInterface)
            return static_cast<QAccessibleActionInterface*>(this);
        return nullptr;
    }

    QStringList actionNames() const override { return {pressAction()}; }
    void doAction(const QString& action) override {
        if (action == pressAction() && isValid())
            m_grid->tapCell(m_index);
    }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

private:
    QPointer<BeadGrid> m_grid;
    int m_index;
};

class BeadGridAccessible final : public QAccessibleWidget {
public:
    explicit BeadGridAccessible(BeadGrid* grid)
        : QAccessibleWidget(grid, QAccessible::Grouping) {}

    int childCount() const override { return int(grid()->beads().size()); }
    QAccessibleInterface* child(int index) const override { return grid()->cellAccessible(index); }
    int indexOfChild(const QAccessibleInterface* child) const override {
        for (int i = 0; i < childCount(); ++i) {
            if (grid()->cellAccessible(i) == child)
                return i;
        }
        return -1;
    }
    QAccessibleInterface* childAt(int x, int y) const override {
        const QPointF local = grid()->mapFromGlobal(QPoint(x, y));
        for (int i = 0; i < childCount(); ++i) {
            if (grid()->cellRect(i).contains(local))
                return grid()->cellAccessible(i);
        }
        return nullptr;
    }
    QAccessibleInterface* focusChild() const override {
        return grid()->hasFocus() ? grid()->cellAccessible(grid()->currentIndex()) : nullptr;
    }

private:
    BeadGrid* grid() const { return static_cast<BeadGrid*>(widget()); }
};

QAccessibleInterface* gridAccessible(const QString&, QObject* object) {
    if (auto* grid = qobject_cast<BeadGrid*>(object))
        return new BeadGridAccessible(grid);
    return nullptr;
}

} // namespace

void installBeadGridAccessible() {
    static const bool installed = [] {
        QAccessible::installFactory(gridAccessible);
        return true;
    }();
    Q_UNUSED(installed);
}

QAccessibleInterface* newBeadCellAccessible(BeadGrid* grid, int index) {
    return new BeadCellAccessible(grid, index);
}

} // namespace tessaro
