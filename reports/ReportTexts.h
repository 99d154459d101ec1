#pragma once
// Texts the report windows build: SQL condition fragments of their filters,
// whole-ruble amounts, totals and the date texts of titles and rows.
#include <QDate>
#include <QString>

#include "platform/TDateTime.h"

// "AND(<column> >= 'YYYY-MM-DD 00:00:00')": from the start of the day on.
QString FromDayCondition(const QString &column, const QDate &day);
// "AND(<column> <= 'YYYY-MM-DD 23:59:59.9999')": up to the very end of the day,
// so a moment inside its last second is not lost.
QString ToDayCondition(const QString &column, const QDate &day);
// "AND(<column> LIKE '%<text>%' ESCAPE ...)": the typed text is matched
// literally, apostrophes, "%" and "_" included.
QString ContainsCondition(const QString &column, const QString &typed);

// "1250,50 руб.": two decimals with the Russian decimal comma, no grouping.
QString RublesTotalText(double amount);

// "DD.MM.YYYY" for report titles.
QString TitleDateText(const QDate &day);
// "--" for a stay without exit (zero moment), else the moment's date and time
// ("31.05.2021 14:05:00").
QString ExitTimeText(TDateTime moment);
