#include "grid/cgridaccessible.h"

#include "grid/cgridctrl.h"

#include <QAccessibleWidget>
#include <QHash>
#include <QPointer>
#include <algorithm>

namespace {

class CGridCellAccessible : public QAccessibleInterface, public QAccessibleTableCellInterface {
public:
    CGridCellAccessible(CGridCtrl* grid, int row, int column)
        : m_grid(grid)
        , m_row(row)
        , m_column(column)
    {
    }

    [[nodiscard]] bool isValid() const override { return m_grid && m_grid->IsValid(GridRow(), GridColumn()); }
    [[nodiscard]] QObject* object() const override { return nullptr; }
    [[nodiscard]] QAccessibleInterface* parent() const override
    {
        return QAccessible::queryAccessibleInterface(m_grid);
    }
    [[nodiscard]] QAccessibleInterface* child(int) const override { return nullptr; }
    [[nodiscard]] QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    [[nodiscard]] int childCount() const override { return 0; }
    [[nodiscard]] int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    [[nodiscard]] QString text(QAccessible::Text t) const override
    {
        if (!isValid() || (t != QAccessible::Name && t != QAccessible::Value))
            return {};
        return m_grid->CellText(GridRow(), GridColumn());
    }
    void setText(QAccessible::Text, const QString&) override { }
    [[nodiscard]] QRect rect() const override
    {
        QRect cell;
        if (!isValid() || !m_grid->CellRect(GridRow(), GridColumn(), cell))
            return {};
        return QRect(m_grid->viewport()->mapToGlobal(cell.topLeft()), cell.size());
    }
    [[nodiscard]] QAccessible::Role role() const override { return QAccessible::Cell; }
    [[nodiscard]] QAccessible::State state() const override
    {
        QAccessible::State st;
        st.selectable = true;
        st.focusable = true;
        if (!isValid())
            return st;
        st.selected = isSelected();
        st.focused = m_grid->hasFocus() && m_grid->CurrentCell() == GridPos { GridRow(), GridColumn() };
        st.readOnly = !m_grid->CanEditCell(GridRow(), GridColumn());
        st.invisible = !m_grid->IsCellShown(GridRow(), GridColumn());
        return st;
    }
    void* interface_cast(QAccessible::InterfaceType type) override
    {
        return type == QAccessible::TableCellInterface ? static_cast<QAccessibleTableCellInterface*>(this) : nullptr;
    }

    [[nodiscard]] bool isSelected() const override
    {
        return isValid() && (m_grid->CellState(GridRow(), GridColumn()) & GVIS_SELECTED);
    }
    [[nodiscard]] QList<QAccessibleInterface*> columnHeaderCells() const override { return {}; }
    [[nodiscard]] QList<QAccessibleInterface*> rowHeaderCells() const override { return {}; }
    [[nodiscard]] int columnIndex() const override { return m_column; }
    [[nodiscard]] int rowIndex() const override { return m_row; }
    [[nodiscard]] int columnExtent() const override { return 1; }
    [[nodiscard]] int rowExtent() const override { return 1; }
    [[nodiscard]] QAccessibleInterface* table() const override { return parent(); }

private:
    [[nodiscard]] int GridRow() const { return m_row + m_grid->GetFixedRows(); }
    [[nodiscard]] int GridColumn() const { return m_column + m_grid->GetFixedColumns(); }

    QPointer<CGridCtrl> m_grid;
    int m_row;
    int m_column;
};

class CGridAccessible : public QAccessibleWidget, public QAccessibleTableInterface {
public:
    explicit CGridAccessible(CGridCtrl* grid)
        : QAccessibleWidget(grid, QAccessible::Table)
    {
    }
    ~CGridAccessible() override
    {
        for (const QAccessible::Id id : std::as_const(m_cells))
            QAccessible::deleteAccessibleInterface(id);
    }
    CGridAccessible(const CGridAccessible&) = delete;
    CGridAccessible& operator=(const CGridAccessible&) = delete;

    [[nodiscard]] QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name)
            return widget()->accessibleName();
        return QAccessibleWidget::text(t);
    }
    [[nodiscard]] int childCount() const override { return rowCount() * columnCount(); }
    [[nodiscard]] QAccessibleInterface* child(int index) const override
    {
        const int columns = columnCount();
        return index < 0 || columns == 0 ? nullptr : cellAt(index / columns, index % columns);
    }
    [[nodiscard]] int indexOfChild(const QAccessibleInterface* child) const override
    {
        const QAccessibleTableCellInterface* cell
            = child ? const_cast<QAccessibleInterface*>(child)->tableCellInterface() : nullptr;
        return cell && cell->table() == this ? cell->rowIndex() * columnCount() + cell->columnIndex() : -1;
    }
    [[nodiscard]] QAccessibleInterface* childAt(int x, int y) const override
    {
        const QPoint point = Grid().viewport()->mapFromGlobal(QPoint(x, y));
        const GridPos pos = Grid().CellFromPoint(point, false);
        if (!Grid().IsValid(pos))
            return nullptr;
        return cellAt(pos.row - Grid().GetFixedRows(), pos.column - Grid().GetFixedColumns());
    }
    void* interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::TableInterface)
            return static_cast<QAccessibleTableInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    [[nodiscard]] QAccessibleInterface* caption() const override { return nullptr; }
    [[nodiscard]] QAccessibleInterface* summary() const override { return nullptr; }
    [[nodiscard]] QAccessibleInterface* cellAt(int row, int column) const override
    {
        if (row < 0 || column < 0 || row >= rowCount() || column >= columnCount())
            return nullptr;
        const int key = row * columnCount() + column;
        if (const auto found = m_cells.constFind(key); found != m_cells.constEnd())
            return QAccessible::accessibleInterface(*found);
        auto* cell = new CGridCellAccessible(&Grid(), row, column);
        m_cells.insert(key, QAccessible::registerAccessibleInterface(cell));
        return cell;
    }
    [[nodiscard]] int selectedCellCount() const override { return Grid().SelectedCount(); }
    [[nodiscard]] QList<QAccessibleInterface*> selectedCells() const override
    {
        QList<QAccessibleInterface*> cells;
        for (int r = 0; r < rowCount(); ++r) {
            for (int c = 0; c < columnCount(); ++c) {
                if (QAccessibleInterface* cell = cellAt(r, c); cell->tableCellInterface()->isSelected())
                    cells << cell;
            }
        }
        return cells;
    }
    [[nodiscard]] QString columnDescription(int column) const override
    {
        return Grid().GetFixedRows() > 0 ? Grid().CellText(0, column + Grid().GetFixedColumns()).trimmed() : QString();
    }
    [[nodiscard]] QString rowDescription(int row) const override
    {
        return Grid().GetFixedColumns() > 0 ? Grid().CellText(row + Grid().GetFixedRows(), 0).trimmed() : QString();
    }
    [[nodiscard]] int selectedColumnCount() const override { return 0; }
    [[nodiscard]] int selectedRowCount() const override { return 0; }
    [[nodiscard]] int columnCount() const override
    {
        return std::max(0, Grid().GetColumns() - Grid().GetFixedColumns());
    }
    [[nodiscard]] int rowCount() const override { return std::max(0, Grid().GetRows() - Grid().GetFixedRows()); }
    [[nodiscard]] QList<int> selectedColumns() const override { return {}; }
    [[nodiscard]] QList<int> selectedRows() const override { return {}; }
    [[nodiscard]] bool isColumnSelected(int) const override { return false; }
    [[nodiscard]] bool isRowSelected(int) const override { return false; }
    bool selectRow(int) override { return false; }
    bool selectColumn(int) override { return false; }
    bool unselectRow(int) override { return false; }
    bool unselectColumn(int) override { return false; }
    void modelChange(QAccessibleTableModelChangeEvent*) override { }

private:
    [[nodiscard]] CGridCtrl& Grid() const { return *static_cast<CGridCtrl*>(widget()); }

    mutable QHash<int, QAccessible::Id> m_cells;
};

QAccessibleInterface* GridAccessibleFactory(const QString&, QObject* object)
{
    auto* grid = qobject_cast<CGridCtrl*>(object);
    return grid ? new CGridAccessible(grid) : nullptr;
}

} // namespace

void InstallGridAccessibility()
{
    static const bool installed = [] {
        QAccessible::installFactory(GridAccessibleFactory);
        return true;
    }();
    (void)installed;
}

void NotifyGridCurrentCell(CGridCtrl& grid)
{
    if (!QAccessible::isActive())
        return;
    const GridPos cell = grid.CurrentCell();
    const int row = cell.row - grid.GetFixedRows();
    const int column = cell.column - grid.GetFixedColumns();
    const int columns = grid.GetColumns() - grid.GetFixedColumns();
    if (row < 0 || column < 0 || column >= columns)
        return;
    QAccessibleEvent event(&grid, QAccessible::Focus);
    event.setChild(row * columns + column);
    QAccessible::updateAccessibility(&event);
}
