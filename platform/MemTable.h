#pragma once
// An in-memory table of typed fields behind the read-only grids. Rows keep the
// order they were appended in; views sort and filter on top of it.
#include <QAbstractTableModel>
#include <QAnyStringView>
#include <QList>
#include <QVariant>

#include <functional>

enum class TFieldKind { Integer, Float, Currency, Text, DateTime, Boolean };

using TDisplayFormat = std::function<QString(const QVariant &value)>;

struct TFieldDef {
    QString Name;
    TFieldKind Kind = TFieldKind::Text;
    int Width = 20;            // characters a text keeps; longer texts are cut (0: no limit)
    QString Caption;           // column caption; the name when empty
    bool Visible = true;       // false: kept in the table, never shown as a column
    TDisplayFormat Format;     // display text of a value; the kind's default when empty
};

class TMemTable : public QAbstractTableModel {
    Q_OBJECT
public:
    // The stored value (for sorting, filtering and grouping); DisplayRole is its text.
    static constexpr int ValueRole = Qt::UserRole + 1;

    explicit TMemTable(QObject *parent = nullptr);

    // Fields are defined before the first row is appended; returns the field's index.
    int AddField(const TFieldDef &def);
    int FieldCount() const { return int(FFields.size()); }
    const TFieldDef &Field(int field) const { return FFields.at(field); }
    // -1 when there is no such field.
    int FieldIndex(QAnyStringView name) const;

    int RecordCount() const { return int(FRows.size()); }

    // Changes between BeginUpdate and EndUpdate reach the views as one reset.
    void BeginUpdate();
    void EndUpdate();
    void Clear();
    // Appends a row; values in field order, missing ones stay empty. Returns its index.
    int Append(const QVariantList &values = {});
    // Stores a value converted to the field's kind; texts are cut to the width and
    // a fractional value in an integer field is rounded half to even.
    void SetValue(int row, int field, const QVariant &value);
    void SetValue(int row, QAnyStringView field, const QVariant &value);
    QVariant Value(int row, int field) const;
    QVariant Value(int row, QAnyStringView field) const;
    QString DisplayText(int row, int field) const;
    // First row whose field equals value; -1 when none.
    int Locate(QAnyStringView field, const QVariant &value) const;

    // Default display texts of the kinds.
    static QString DefaultText(TFieldKind kind, const QVariant &value);
    // True for an empty value: null, empty text, or no moment.
    static bool IsBlank(TFieldKind kind, const QVariant &value);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

private:
    int CheckedField(QAnyStringView name) const;
    QVariant Converted(const TFieldDef &def, const QVariant &value) const;

    QList<TFieldDef> FFields;
    QList<QVariantList> FRows;
    int FUpdateDepth = 0;
};
