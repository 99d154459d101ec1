#pragma once
// The read-only grid of the list windows over a TMemTable: whole-row selection,
// "<Данные не найдены>" when empty, sorting by a header click, a filter
// drop-down in every header, and an optional grouping box into which a header
// is dragged to group the rows.
#include <QColor>
#include <QFont>
#include <QSet>
#include <QWidget>

#include <functional>
#include <memory>

#include "platform/GridFilter.h"
#include "platform/MemTable.h"

class QLabel;
class QMenu;
class QTreeView;
class TGridGroupModel;
class TGridGroupPanel;
class TGridHeader;
class TGridView;

// Called for every shown cell of a data row; may change its font and text colour.
using TRowPainter = std::function<void(int row, int field, QFont &font, QColor &color)>;

class TDataGrid : public QWidget {
    Q_OBJECT
public:
    static QString EmptyText() { return QStringLiteral("<Данные не найдены>"); }
    static QString GroupPrompt() { return QStringLiteral("Для группировки перетащите сюда заголовок нужной колонки"); }

    // The table must outlive the grid. Columns follow the table's fields.
    explicit TDataGrid(TMemTable *table, QWidget *parent = nullptr);
    ~TDataGrid() override;

    TMemTable *Table() const { return FTable; }
    QTreeView *View() const;

    // The field whose value identifies a row (default: the first field); the
    // focused row is found again by it after a reload.
    void SetKeyField(const QString &field);
    void SetGroupingBoxVisible(bool visible);
    bool GroupingBoxVisible() const;
    void SetFilterAllowed(const QString &field, bool allowed);
    void SetGroupAllowed(const QString &field, bool allowed);
    void SetColumnWidth(const QString &field, int width);
    void SetPainter(TRowPainter painter);

    // Focus. Rows are table rows; positions count the shown data rows in display order.
    int FocusedRow() const;                 // -1: none
    QVariant FocusedKey() const;
    bool FocusRow(int row);                 // false when the row is not shown
    bool FocusKey(const QVariant &key);
    int FocusedPosition() const;
    bool FocusPosition(int position);
    int ShownRowCount() const;
    QList<int> ShownRows() const;           // table rows in display order

    // Sorting (the header click does the same); field empty: table order.
    void SortBy(const QString &field, Qt::SortOrder order = Qt::AscendingOrder);

    // Column filters.
    void SetColumnFilter(const QString &field, const TColumnFilter &filter);
    TColumnFilter ColumnFilter(const QString &field) const;
    void ClearFilters();
    QString FilterText() const;             // what the filter bar shows
    // The header drop-down: "(Все)", "(Условие)", "(Пустые)", "(Не пустые)", then the values.
    QMenu *CreateFilterMenu(const QString &field, QWidget *parent);
    // Opens "Пользовательский фильтр" for the column; true when a filter was set.
    bool EditCustomFilter(const QString &field);

    // Grouping, outermost first.
    void GroupBy(const QString &field);
    void Ungroup(const QString &field);
    QStringList GroupFields() const;
    void ExpandAll();
    int GroupRowCount() const;              // top-level rows of the view while grouped

signals:
    void RowClicked(const QVariant &key, int row, const QString &field, Qt::MouseButton button);
    void RowDoubleClicked(const QVariant &key, int row, const QString &field);
    // After the RowClicked of a right click.
    void RowContextMenu(const QVariant &key, int row, const QPoint &globalPos);

private:
    int FieldOf(const QString &name) const;
    QVariant KeyOf(int row) const;
    void ApplyColumnVisibility();
    void InitialWidths();
    void UpdateFilterBar();
    void ShowFilterMenu(int field, const QPoint &globalPos);
    void ShowHeaderMenu(int field, const QPoint &globalPos);
    void SaveState();
    void RestoreState();
    bool eventFilter(QObject *watched, QEvent *event) override;

    TMemTable *FTable;
    std::unique_ptr<TGridFilterModel> FFilter;
    std::unique_ptr<TGridGroupModel> FGroups;
    TGridView *FView;
    TGridHeader *FHeader;
    TGridGroupPanel *FGroupPanel;
    QWidget *FFilterBar;
    QLabel *FFilterLabel;
    int FKeyField = 0;
    QSet<int> FNoFilter;
    QSet<int> FNoGroup;
    QSet<QString> FExpanded;
    QVariant FSavedKey;
    int FSavedScroll = 0;
    int FPressedRow = -1;
    bool FWidthsSet = false;
};
