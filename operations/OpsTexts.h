#pragma once
// Texts the operation windows show: the vehicle line, money and payment times,
// all in the Russian locale of the desk.
#include <QLocale>
#include <QString>

#include "data/Records.h"

QLocale DeskLocale();

// Registration number, model and colour joined by single blanks, trimmed.
QString AutoTitle(const TAuto &AAuto);
// A price as a plain number: locale's decimal separator, no trailing zeros,
// no grouping, no currency sign (150, 12,5).
QString PlainNumberText(double AValue);
// Whole roubles with grouping and at least two digits (05, 150, 1 500).
QString MoneyText00(double AValue);
// Whole roubles with grouping; empty when it rounds to 0 (1 500).
QString MoneyTextHash(double AValue);
// "HH:mm DD.MM.YY", as in 14:05 31.12.21.
QString PaymentTimeText(TDateTime AValue);
// A tariff as its list entry: name, blank, the price in brackets.
QString TarifEntryText(const TTarif &ATarif);
