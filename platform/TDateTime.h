#pragma once
// Moments are kept as days since 1899-12-30 with the time of day as the
// fraction; 0 means "no moment".
#include <QDateTime>

using TDateTime = double;

TDateTime DateTimeFromQt(const QDateTime &value);
TDateTime DateFromQt(const QDate &value);
TDateTime TimeFromQt(const QTime &value);
QDateTime DateTimeToQt(TDateTime value);
QDate DateToQt(TDateTime value);
QTime TimeToQt(TDateTime value);
TDateTime Now();
TDateTime Today();
// The desk's date-and-time text: "DD.MM.YYYY HH:NN:SS", the time left out at
// exactly midnight.
QString DateTimeText(TDateTime value);
// The same text, with the time even at midnight.
QString FullDateTimeText(TDateTime value);
// Formats with Delphi-style patterns used by the windows ("DD.MM.YYYY HH:NN").
QString FormatDateTime(const QString &pattern, TDateTime value);
