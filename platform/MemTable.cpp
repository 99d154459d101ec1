#include "platform/MemTable.h"

#include <QLocale>

#include <cmath>

#include "platform/TDateTime.h"

TMemTable::TMemTable(QObject *parent) : QAbstractTableModel(parent)
{
}

int TMemTable::AddField(const TFieldDef &def)
{
    Q_ASSERT(FRows.isEmpty());
    beginInsertColumns({}, FieldCount(), FieldCount());
    FFields.append(def);
    endInsertColumns();
    return FieldCount() - 1;
}

int TMemTable::FieldIndex(QAnyStringView name) const
{
    // Callers mostly spell a field as it was declared: that cheap pass first.
    for (int i = 0; i < FFields.size(); ++i)
        if (QAnyStringView::compare(name, FFields[i].Name) == 0)
            return i;
    for (int i = 0; i < FFields.size(); ++i)
        if (QAnyStringView::compare(name, FFields[i].Name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

// A misspelt field name would lose the value silently; stop at once instead.
int TMemTable::CheckedField(QAnyStringView name) const
{
    const int field = FieldIndex(name);
    if (field < 0)
        qFatal("TMemTable: no field \"%s\"", qPrintable(name.toString()));
    return field;
}

void TMemTable::BeginUpdate()
{
    if (FUpdateDepth++ == 0)
        beginResetModel();
}

void TMemTable::EndUpdate()
{
    Q_ASSERT(FUpdateDepth > 0);
    if (--FUpdateDepth == 0)
        endResetModel();
}

void TMemTable::Clear()
{
    BeginUpdate();
    FRows.clear();
    EndUpdate();
}

int TMemTable::Append(const QVariantList &values)
{
    const int row = RecordCount();
    QVariantList stored;
    stored.reserve(FieldCount());
    for (int f = 0; f < FieldCount(); ++f)
        stored.append(f < values.size() ? Converted(FFields[f], values[f]) : QVariant());
    if (FUpdateDepth == 0)
        beginInsertRows({}, row, row);
    FRows.append(stored);
    if (FUpdateDepth == 0)
        endInsertRows();
    return row;
}

void TMemTable::SetValue(int row, int field, const QVariant &value)
{
    FRows[row][field] = Converted(FFields[field], value);
    if (FUpdateDepth == 0)
        emit dataChanged(index(row, field), index(row, field));
}

void TMemTable::SetValue(int row, QAnyStringView field, const QVariant &value)
{
    SetValue(row, CheckedField(field), value);
}

QVariant TMemTable::Value(int row, int field) const
{
    return FRows.at(row).at(field);
}

QVariant TMemTable::Value(int row, QAnyStringView field) const
{
    return Value(row, CheckedField(field));
}

QString TMemTable::DisplayText(int row, int field) const
{
    const TFieldDef &def = FFields[field];
    const QVariant &value = FRows.at(row).at(field);
    return def.Format ? def.Format(value) : DefaultText(def.Kind, value);
}

int TMemTable::Locate(QAnyStringView field, const QVariant &value) const
{
    const int f = CheckedField(field);
    const QVariant wanted = Converted(FFields[f], value);
    for (int row = 0; row < FRows.size(); ++row)
        if (FRows[row][f] == wanted)
            return row;
    return -1;
}

QVariant TMemTable::Converted(const TFieldDef &def, const QVariant &value) const
{
    if (!value.isValid() || value.isNull())
        return {};
    switch (def.Kind) {
    case TFieldKind::Integer:
        // rint rounds half to even in the default rounding mode (and, unlike
        // nearbyint, does not save and restore the FP environment per value).
        return value.typeId() == QMetaType::Double || value.typeId() == QMetaType::Float
                   ? int(std::rint(value.toDouble()))
                   : value.toInt();
    case TFieldKind::Float:
    case TFieldKind::Currency:
        return value.toDouble();
    case TFieldKind::DateTime:
        return value.typeId() == QMetaType::QDateTime ? DateTimeFromQt(value.toDateTime())
                                                      : value.toDouble();
    case TFieldKind::Boolean:
        return value.toBool();
    case TFieldKind::Text:
        break;
    }
    const QString text = value.toString();
    return def.Width > 0 ? text.left(def.Width) : text;
}

QString TMemTable::DefaultText(TFieldKind kind, const QVariant &value)
{
    if (!value.isValid() || value.isNull())
        return {};
    static const QLocale russian(QLocale::Russian, QLocale::Russia);
    switch (kind) {
    case TFieldKind::Integer: return QString::number(value.toInt());
    case TFieldKind::Float: return russian.toString(value.toDouble(), 'f', 2);
    case TFieldKind::Currency: return russian.toString(value.toDouble(), 'f', 2) + QStringLiteral(" ₽");
    case TFieldKind::DateTime: {
        const double moment = value.toDouble();
        if (moment == 0)
            return {};
        const bool midnight = moment == std::floor(moment);
        return DateTimeToQt(moment).toString(midnight ? QStringLiteral("dd.MM.yyyy")
                                                      : QStringLiteral("dd.MM.yyyy hh:mm:ss"));
    }
    case TFieldKind::Boolean: return value.toBool() ? QStringLiteral("Да") : QStringLiteral("Нет");
    case TFieldKind::Text: break;
    }
    return value.toString();
}

bool TMemTable::IsBlank(TFieldKind kind, const QVariant &value)
{
    if (!value.isValid() || value.isNull())
        return true;
    if (kind == TFieldKind::Text)
        return value.toString().isEmpty();
    if (kind == TFieldKind::DateTime)
        return value.toDouble() == 0;
    return false;
}

int TMemTable::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : RecordCount();
}

int TMemTable::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : FieldCount();
}

QVariant TMemTable::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return {};
    const TFieldDef &def = FFields[index.column()];
    const QVariant &value = FRows.at(index.row()).at(index.column());
    switch (role) {
    case Qt::DisplayRole:
        // Flags are drawn as tick boxes, without a text beside them.
        return def.Kind == TFieldKind::Boolean && !def.Format ? QVariant() : QVariant(DisplayText(index.row(), index.column()));
    case Qt::CheckStateRole:
        if (def.Kind == TFieldKind::Boolean && !def.Format)
            return value.toBool() ? Qt::Checked : Qt::Unchecked;
        return {};
    case Qt::TextAlignmentRole:
        if (def.Kind == TFieldKind::Integer || def.Kind == TFieldKind::Float || def.Kind == TFieldKind::Currency)
            return int(Qt::AlignRight | Qt::AlignVCenter);
        return {};
    case ValueRole:
        return value;
    default:
        return {};
    }
}

QVariant TMemTable::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= FieldCount())
        return {};
    const TFieldDef &def = FFields[section];
    return def.Caption.isEmpty() ? def.Name : def.Caption;
}

Qt::ItemFlags TMemTable::flags(const QModelIndex &index) const
{
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}
