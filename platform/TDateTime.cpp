#include "platform/TDateTime.h"

#include <cmath>
#include <utility>

namespace {
const QDate Epoch(1899, 12, 30);
constexpr qint64 MsPerDay = 86400000;

// Whole days since the epoch and milliseconds into the day.
std::pair<qint64, qint64> SplitMilliseconds(TDateTime value)
{
    const qint64 ms = qint64(std::llround(value * double(MsPerDay)));
    qint64 days = ms / MsPerDay;
    qint64 rest = ms % MsPerDay;
    if (rest < 0) {
        rest += MsPerDay;
        --days;
    }
    return {days, rest};
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

// The calendar day and the time of day of a moment, without a QDateTime:
// its local-time construction asks the system for the time zone each time.
QDate DateToQt(TDateTime value)
{
    return Epoch.addDays(SplitMilliseconds(value).first);
}

QTime TimeToQt(TDateTime value)
{
    return QTime::fromMSecsSinceStartOfDay(int(SplitMilliseconds(value).second));
}

QDateTime DateTimeToQt(TDateTime value)
{
    return QDateTime(DateToQt(value), TimeToQt(value));
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

namespace {

char *PutDigits(char *out, int value, int width)
{
    for (int i = width - 1; i >= 0; --i, value /= 10)
        out[i] = char('0' + value % 10);
    return out + width;
}

// "DD.MM.YYYY" and, with the time, " HH:NN:SS". Built by hand: lists format
// one such text per row, and a formatted print costs several times as much.
QString DeskText(TDateTime value, bool withTime)
{
    int year, month, day;
    DateToQt(value).getDate(&year, &month, &day);
    if (year < 0 || year > 9999)
        return QString();
    const QTime t = TimeToQt(value);
    char text[19];
    char *out = PutDigits(text, day, 2);
    *out++ = '.';
    out = PutDigits(out, month, 2);
    *out++ = '.';
    out = PutDigits(out, year, 4);
    if (withTime) {
        *out++ = ' ';
        out = PutDigits(out, t.hour(), 2);
        *out++ = ':';
        out = PutDigits(out, t.minute(), 2);
        *out++ = ':';
        out = PutDigits(out, t.second(), 2);
    }
    return QString::fromLatin1(text, int(out - text));
}

} // namespace

QString DateTimeText(TDateTime value)
{
    return DeskText(value, TimeToQt(value) != QTime(0, 0));
}

QString FullDateTimeText(TDateTime value)
{
    return DeskText(value, true);
}
