#include "platform/TDateTime.h"

#include <cmath>

namespace {
const QDate Epoch(1899, 12, 30);
constexpr qint64 MsPerDay = 86400000;

qint64 ToMilliseconds(TDateTime value)
{
    return qint64(std::llround(value * double(MsPerDay)));
}
}

TDateTime DateTimeFromQt(const QDateTime &value)
{
    if (!value.isValid())
        return 0;
    return DateFromQt(value.date()) + TimeFromQt(value.time());
}

TDateTime DateFromQt(const QDate &value)
{
    return value.isValid() ? double(Epoch.daysTo(value)) : 0.0;
}

TDateTime TimeFromQt(const QTime &value)
{
    return value.isValid() ? value.msecsSinceStartOfDay() / double(MsPerDay) : 0.0;
}

QDateTime DateTimeToQt(TDateTime value)
{
    const qint64 ms = ToMilliseconds(value);
    qint64 days = ms / MsPerDay;
    qint64 rest = ms % MsPerDay;
    if (rest < 0) {
        rest += MsPerDay;
        --days;
    }
    return QDateTime(Epoch.addDays(days), QTime::fromMSecsSinceStartOfDay(int(rest)));
}

QDate DateToQt(TDateTime value)
{
    return DateTimeToQt(value).date();
}

QTime TimeToQt(TDateTime value)
{
    return DateTimeToQt(value).time();
}

TDateTime Now()
{
    return DateTimeFromQt(QDateTime::currentDateTime());
}

TDateTime Today()
{
    return DateFromQt(QDate::currentDate());
}

QString FormatDateTime(const QString &pattern, TDateTime value)
{
    QString qtPattern = pattern;
    qtPattern.replace("DD", "dd").replace("YYYY", "yyyy").replace("YY", "yy")
        .replace("NN", "mm").replace("HH", "hh");
    // "MM" means month in these patterns, as in Qt; minutes are "NN" or "mm".
    return DateTimeToQt(value).toString(qtPattern);
}

QString DateTimeText(TDateTime value)
{
    // Built by hand: lists format one such text per row.
    const QDateTime moment = DateTimeToQt(value);
    const QDate d = moment.date();
    const QTime t = moment.time();
    if (t == QTime(0, 0))
        return QString::asprintf("%02d.%02d.%04d", d.day(), d.month(), d.year());
    return QString::asprintf("%02d.%02d.%04d %02d:%02d:%02d", d.day(), d.month(), d.year(), t.hour(), t.minute(),
                             t.second());
}
