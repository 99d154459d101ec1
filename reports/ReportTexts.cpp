#include "reports/ReportTexts.h"

#include <QLocale>

#include "data/UnitData.h"

namespace {

QString BoundCondition(const QString &column, const char *op, const QDate &day, const char *timeOfDay)
{
    return QStringLiteral("AND(%1 %2 '%3 %4')")
        .arg(column, QLatin1String(op), day.toString(QStringLiteral("yyyy-MM-dd")), QLatin1String(timeOfDay));
}

} // namespace

QString FromDayCondition(const QString &column, const QDate &day)
{
    return BoundCondition(column, ">=", day, "00:00:00");
}

QString ToDayCondition(const QString &column, const QDate &day)
{
    return BoundCondition(column, "<=", day, "23:59:59.9999");
}

QString ContainsCondition(const QString &column, const QString &typed)
{
    return QStringLiteral("AND(%1 LIKE '%%2%'%3)").arg(column, LikeLiteral(typed), LikeEscapeClause());
}

QString RublesTotalText(double amount)
{
    const QString digits = QString::asprintf("%.2f", amount);
    return QString(digits).replace('.', QLocale(QLocale::Russian).decimalPoint()) + QStringLiteral(" руб.");
}

QString TitleDateText(const QDate &day)
{
    return day.toString(QStringLiteral("dd.MM.yyyy"));
}

QString ExitTimeText(TDateTime moment)
{
    return moment == 0 ? QStringLiteral("--") : FullDateTimeText(moment);
}
