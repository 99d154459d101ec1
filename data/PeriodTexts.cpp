// Short texts of counts of tariff periods and of remaining minutes.
#include "data/UnitData.h"

QString GetPeriodCountStr(int count, int periodType)
{
    static const char *const Labels[] = {" мин.", " час.", " дн.", " ноч.", " сут.", " нед.", " мес.", " год"};
    if (periodType < 1 || periodType > 8)
        return QStringLiteral("-");
    return QString::number(count) + QString::fromUtf8(Labels[periodType - 1]);
}

QString GetMinutesStr(int minutes)
{
    if (minutes < 60)
        return QString::number(minutes) + QStringLiteral(" мин.");
    if (minutes < 1440) {
        QString text = QString::number(minutes / 60) + QStringLiteral(" час. ");
        if (minutes % 60 > 0)
            text += QString::number(minutes % 60) + QStringLiteral(" мин. ");
        return text;
    }
    if (minutes < 43200) {
        QString text = QString::number(minutes / 1440) + QStringLiteral(" дн. ");
        // Only a remainder beyond a full hour shows hours; minutes inside the
        // last hour are not shown.
        const int rest = minutes % 1440;
        if (rest > 60)
            text += QStringLiteral(" ") + QString::number(rest / 60) + QStringLiteral(" час. ");
        return text;
    }
    return QString();
}
