#include "platform/GridFilter.h"

#include <QCollator>
#include <QLocale>
#include <QRegularExpression>

#include <algorithm>
#include <cmath>

#include "platform/TDateTime.h"

QString FilterOperatorName(TFilterOperator op)
{
    switch (op) {
    case TFilterOperator::Equal: return QStringLiteral("равно");
    case TFilterOperator::NotEqual: return QStringLiteral("не равно");
    case TFilterOperator::Less: return QStringLiteral("меньше");
    case TFilterOperator::LessOrEqual: return QStringLiteral("меньше или равно");
    case TFilterOperator::Greater: return QStringLiteral("больше");
    case TFilterOperator::GreaterOrEqual: return QStringLiteral("больше или равно");
    case TFilterOperator::Like: return QStringLiteral("содержит");
    case TFilterOperator::NotLike: return QStringLiteral("не содержит");
    case TFilterOperator::BeginsWith: return QStringLiteral("начинается с");
    case TFilterOperator::NotBeginsWith: return QStringLiteral("не начинается с");
    case TFilterOperator::EndsWith: return QStringLiteral("заканчивается");
    case TFilterOperator::NotEndsWith: return QStringLiteral("не заканчивается");
    case TFilterOperator::Blank: return QStringLiteral("пусто");
    case TFilterOperator::NotBlank: return QStringLiteral("не пусто");
    }
    return {};
}

QList<TFilterOperator> FilterOperatorsFor(TFieldKind kind)
{
    using O = TFilterOperator;
    QList<O> ops = {O::Equal, O::NotEqual, O::Less, O::LessOrEqual, O::Greater, O::GreaterOrEqual};
    if (kind == TFieldKind::Boolean)
        ops = {O::Equal, O::NotEqual};
    if (kind == TFieldKind::Text)
        ops << O::Like << O::NotLike << O::BeginsWith << O::NotBeginsWith << O::EndsWith << O::NotEndsWith;
    ops << O::Blank << O::NotBlank;
    return ops;
}

bool FilterOperatorTakesValue(TFilterOperator op)
{
    return op != TFilterOperator::Blank && op != TFilterOperator::NotBlank;
}

namespace {

bool IsPatternOperator(TFilterOperator op)
{
    return op >= TFilterOperator::Like && op <= TFilterOperator::NotEndsWith;
}

bool ParseNumber(const QString &text, double &number)
{
    bool ok = false;
    QString plain = QString(text);
    for (const QString &sign : {QStringLiteral("₽"), QStringLiteral("руб."), QStringLiteral("р.")})
        if (plain.endsWith(sign))
            plain.chop(sign.size());
    plain = plain.remove(QLatin1Char(' ')).remove(QChar(0x00A0))
                              .replace(QLatin1Char(','), QLatin1Char('.'));
    number = plain.toDouble(&ok);
    return ok;
}

// "%" any series of characters, "_" any single one; found anywhere in the text.
QRegularExpression LikePattern(const QString &pattern, bool anchorStart, bool anchorEnd)
{
    QString rx;
    for (const QChar c : pattern) {
        if (c == QLatin1Char('%'))
            rx += QStringLiteral(".*");
        else if (c == QLatin1Char('_'))
            rx += QLatin1Char('.');
        else
            rx += QRegularExpression::escape(QString(c));
    }
    if (anchorStart)
        rx.prepend(QLatin1String("\\A"));
    if (anchorEnd)
        rx.append(QLatin1String("\\z"));
    return QRegularExpression(rx, QRegularExpression::CaseInsensitiveOption
                                      | QRegularExpression::DotMatchesEverythingOption);
}

} // namespace

bool ParseFilterValue(TFieldKind kind, TFilterOperator op, const QString &text, TFilterCondition &condition)
{
    condition.Operator = op;
    condition.Value = {};
    condition.DateOnly = false;
    if (!FilterOperatorTakesValue(op))
        return true;
    const QString typed = text.trimmed();
    if (IsPatternOperator(op) || kind == TFieldKind::Text) {
        condition.Value = text;
        return true;
    }
    double number = 0;
    switch (kind) {
    case TFieldKind::Integer:
        if (!ParseNumber(typed, number) || number != std::floor(number))
            return false;
        condition.Value = int(number);
        return true;
    case TFieldKind::Float:
    case TFieldKind::Currency:
        if (!ParseNumber(typed, number))
            return false;
        condition.Value = number;
        return true;
    case TFieldKind::Boolean:
        if (typed.compare(QStringLiteral("Да"), Qt::CaseInsensitive) == 0 || typed == QLatin1String("1"))
            condition.Value = true;
        else if (typed.compare(QStringLiteral("Нет"), Qt::CaseInsensitive) == 0 || typed == QLatin1String("0"))
            condition.Value = false;
        else
            return false;
        return true;
    case TFieldKind::DateTime: {
        for (const char *format : {"dd.MM.yyyy hh:mm:ss", "dd.MM.yyyy hh:mm", "d.M.yyyy h:mm", "dd.MM.yy hh:mm"}) {
            const QDateTime moment = QDateTime::fromString(typed, QString::fromLatin1(format));
            if (moment.isValid()) {
                condition.Value = DateTimeFromQt(moment);
                return true;
            }
        }
        for (const char *format : {"dd.MM.yyyy", "d.M.yyyy", "dd.MM.yy"}) {
            const QDate day = QDate::fromString(typed, QString::fromLatin1(format));
            if (day.isValid()) {
                condition.Value = DateFromQt(day);
                condition.DateOnly = true;
                return true;
            }
        }
        return false;
    }
    case TFieldKind::Text:
        break;
    }
    return false;
}

int CompareValues(TFieldKind kind, const QVariant &a, const QVariant &b)
{
    const bool blankA = !a.isValid() || a.isNull();
    const bool blankB = !b.isValid() || b.isNull();
    if (blankA || blankB)
        return int(blankB) - int(blankA);
    switch (kind) {
    case TFieldKind::Text: {
        static const QCollator collator = [] {
            QCollator c(QLocale(QLocale::Russian, QLocale::Russia));
            c.setCaseSensitivity(Qt::CaseInsensitive);
            c.setNumericMode(true);
            return c;
        }();
        const int order = collator.compare(a.toString(), b.toString());
        return order < 0 ? -1 : order > 0 ? 1 : 0;
    }
    case TFieldKind::Boolean:
        return int(a.toBool()) - int(b.toBool());
    default: {
        const double x = a.toDouble(), y = b.toDouble();
        return x < y ? -1 : x > y ? 1 : 0;
    }
    }
}

bool ConditionMatches(TFieldKind kind, const TFilterCondition &condition, const QVariant &value)
{
    using O = TFilterOperator;
    const bool blank = TMemTable::IsBlank(kind, value);
    switch (condition.Operator) {
    case O::Blank: return blank;
    case O::NotBlank: return !blank;
    default: break;
    }
    if (IsPatternOperator(condition.Operator)) {
        const QString text = value.toString();
        const QString pattern = condition.Value.toString();
        const bool negate = condition.Operator == O::NotLike || condition.Operator == O::NotBeginsWith
                            || condition.Operator == O::NotEndsWith;
        const bool starts = condition.Operator == O::BeginsWith || condition.Operator == O::NotBeginsWith;
        const bool ends = condition.Operator == O::EndsWith || condition.Operator == O::NotEndsWith;
        const bool found = LikePattern(pattern, starts, ends).match(text).hasMatch();
        return found != negate;
    }
    if (blank)
        return condition.Operator == O::NotEqual;
    QVariant compared = value;
    if (condition.DateOnly)
        compared = std::floor(value.toDouble());
    const int order = CompareValues(kind, compared, condition.Value);
    switch (condition.Operator) {
    case O::Equal: return order == 0;
    case O::NotEqual: return order != 0;
    case O::Less: return order < 0;
    case O::LessOrEqual: return order <= 0;
    case O::Greater: return order > 0;
    case O::GreaterOrEqual: return order >= 0;
    default: return false;
    }
}

bool TColumnFilter::Matches(TFieldKind kind, const QVariant &value) const
{
    switch (Mode) {
    case NoFilter: return true;
    case Blanks: return TMemTable::IsBlank(kind, value);
    case NonBlanks: return !TMemTable::IsBlank(kind, value);
    case ByValues:
        return std::any_of(Values.begin(), Values.end(),
                           [&](const QVariant &v) { return CompareValues(kind, v, value) == 0; });
    case Custom:
        break;
    }
    if (Conditions.isEmpty())
        return true;
    bool result = ConditionMatches(kind, Conditions[0], value);
    for (int i = 1; i < Conditions.size(); ++i) {
        const bool next = ConditionMatches(kind, Conditions[i], value);
        result = JoinOr ? (result || next) : (result && next);
    }
    return result;
}

QString TColumnFilter::Describe(const QString &caption, const TFieldDef &def) const
{
    const auto valueText = [&](const QVariant &v) {
        return def.Format ? def.Format(v) : TMemTable::DefaultText(def.Kind, v);
    };
    switch (Mode) {
    case NoFilter: return {};
    case Blanks: return caption + QStringLiteral(" пусто");
    case NonBlanks: return caption + QStringLiteral(" не пусто");
    case ByValues: {
        QStringList texts;
        for (const QVariant &v : Values)
            texts << valueText(v);
        return caption + QStringLiteral(" равно ") + texts.join(QStringLiteral(" или "));
    }
    case Custom: break;
    }
    QStringList parts;
    for (const TFilterCondition &c : Conditions) {
        QString part = caption + QLatin1Char(' ') + FilterOperatorName(c.Operator);
        if (FilterOperatorTakesValue(c.Operator))
            part += QLatin1Char(' ') + (IsPatternOperator(c.Operator) || def.Kind == TFieldKind::Text
                                             ? c.Value.toString() : valueText(c.Value));
        parts << part;
    }
    return parts.join(JoinOr ? QStringLiteral(" ИЛИ ") : QStringLiteral(" И "));
}

TColumnFilter TColumnFilter::ValueFilter(const QVariant &value)
{
    TColumnFilter f;
    f.Mode = ByValues;
    f.Values = {value};
    return f;
}

TColumnFilter TColumnFilter::Condition(const TFilterCondition &first)
{
    TColumnFilter f;
    f.Mode = Custom;
    f.Conditions = {first};
    return f;
}

TColumnFilter TColumnFilter::Conditions2(const TFilterCondition &first, const TFilterCondition &second, bool joinOr)
{
    TColumnFilter f;
    f.Mode = Custom;
    f.Conditions = {first, second};
    f.JoinOr = joinOr;
    return f;
}

TGridFilterModel::TGridFilterModel(TMemTable *table, QObject *parent)
    : QSortFilterProxyModel(parent), FTable(table)
{
    setSourceModel(table);
    setSortRole(TMemTable::ValueRole);
}

void TGridFilterModel::SetFilter(int field, const TColumnFilter &filter)
{
    if (filter.IsActive())
        FFilters.insert(field, filter);
    else
        FFilters.remove(field);
    invalidateFilter();
}

void TGridFilterModel::ClearFilters()
{
    FFilters.clear();
    invalidateFilter();
}

bool TGridFilterModel::RowPasses(int row, int exceptField) const
{
    for (auto it = FFilters.cbegin(); it != FFilters.cend(); ++it) {
        if (it.key() == exceptField)
            continue;
        if (!it.value().Matches(FTable->Field(it.key()).Kind, FTable->Value(row, it.key())))
            return false;
    }
    return true;
}

QVariantList TGridFilterModel::DistinctValues(int field) const
{
    const TFieldKind kind = FTable->Field(field).Kind;
    QVariantList values;
    for (int row = 0; row < FTable->RecordCount(); ++row) {
        const QVariant v = FTable->Value(row, field);
        if (!TMemTable::IsBlank(kind, v) && RowPasses(row, field))
            values.append(v);
    }
    std::sort(values.begin(), values.end(),
              [kind](const QVariant &a, const QVariant &b) { return CompareValues(kind, a, b) < 0; });
    values.erase(std::unique(values.begin(), values.end(),
                             [kind](const QVariant &a, const QVariant &b) { return CompareValues(kind, a, b) == 0; }),
                 values.end());
    return values;
}

bool TGridFilterModel::filterAcceptsRow(int sourceRow, const QModelIndex &) const
{
    return RowPasses(sourceRow);
}

bool TGridFilterModel::lessThan(const QModelIndex &left, const QModelIndex &right) const
{
    const TFieldKind kind = FTable->Field(left.column()).Kind;
    const int order = CompareValues(kind, left.data(TMemTable::ValueRole), right.data(TMemTable::ValueRole));
    // Equal values keep the table's order.
    return order != 0 ? order < 0 : left.row() < right.row();
}
