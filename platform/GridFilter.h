#pragma once
// Column filters of the grids: a choice from the column's values, blanks or
// non-blanks, or a custom pair of conditions joined by "И" / "ИЛИ".
#include <QList>
#include <QSortFilterProxyModel>
#include <QVariant>

#include "platform/MemTable.h"

enum class TFilterOperator {
    Equal, NotEqual, Less, LessOrEqual, Greater, GreaterOrEqual,
    Like, NotLike, BeginsWith, NotBeginsWith, EndsWith, NotEndsWith,
    Blank, NotBlank
};

// Russian names as the filter dialog lists them ("равно", "содержит", ...).
QString FilterOperatorName(TFilterOperator op);
// The operators offered for a kind of field; texts get the pattern operators too.
QList<TFilterOperator> FilterOperatorsFor(TFieldKind kind);
// Whether the operator compares with a value (blank tests do not).
bool FilterOperatorTakesValue(TFilterOperator op);

struct TFilterCondition {
    TFilterOperator Operator = TFilterOperator::Equal;
    QVariant Value;          // of the field's kind; for the pattern operators the typed text
    bool DateOnly = false;   // a date without time compares whole days
};

// Reads a value typed for a condition ("12,5", "01.03.2024 08:00", "Да").
// Returns false when the text is no value of the kind.
bool ParseFilterValue(TFieldKind kind, TFilterOperator op, const QString &text, TFilterCondition &condition);

struct TColumnFilter {
    enum TMode { NoFilter, ByValues, Blanks, NonBlanks, Custom };
    TMode Mode = NoFilter;
    QVariantList Values;                  // ByValues: rows holding one of them
    QList<TFilterCondition> Conditions;   // Custom: one or two
    bool JoinOr = false;                  // Custom: "ИЛИ" instead of "И"

    bool IsActive() const { return Mode != NoFilter; }
    bool Matches(TFieldKind kind, const QVariant &value) const;
    // "Госномер равно А123 ИЛИ Госномер пусто", for the filter bar.
    QString Describe(const QString &caption, const TFieldDef &def) const;

    static TColumnFilter ValueFilter(const QVariant &value);
    static TColumnFilter Condition(const TFilterCondition &first);
    static TColumnFilter Conditions2(const TFilterCondition &first, const TFilterCondition &second, bool joinOr);
};

bool ConditionMatches(TFieldKind kind, const TFilterCondition &condition, const QVariant &value);
// Orders two stored values of a kind: blanks first, texts by locale ignoring case.
int CompareValues(TFieldKind kind, const QVariant &a, const QVariant &b);

// The filtered and sorted view of a table.
class TGridFilterModel : public QSortFilterProxyModel {
    Q_OBJECT
public:
    explicit TGridFilterModel(TMemTable *table, QObject *parent = nullptr);

    TMemTable *Table() const { return FTable; }
    void SetFilter(int field, const TColumnFilter &filter);
    TColumnFilter Filter(int field) const { return FFilters.value(field); }
    void ClearFilters();
    bool HasFilters() const { return !FFilters.isEmpty(); }
    QList<int> FilteredFields() const { return FFilters.keys(); }
    // True when the table row passes every column filter (but the one of exceptField).
    bool RowPasses(int row, int exceptField = -1) const;
    // The distinct values of a field among the rows the other columns' filters pass, ordered.
    QVariantList DistinctValues(int field) const;

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex &sourceParent) const override;
    bool lessThan(const QModelIndex &left, const QModelIndex &right) const override;

private:
    TMemTable *FTable;
    QMap<int, TColumnFilter> FFilters;
};
