#pragma once
// The rules of paid time: what a tariff period buys, the suggested amount, the
// payment a dialog stores, and the minutes a stay has lasted. Pure functions:
// no database access.
#include <QString>

#include "data/Records.h"

// Minutes bought by one tariff period; 0 for units that buy no parking time.
int GetTarifMinutes(int APeriod, int APeriodType);

// Suggested amount in whole roubles for count periods at the price; an exact
// half goes to the even neighbour.
qint64 CalcPaymentSumma(int ACount, double APrice);

// A new payment of the vehicle by the tariff (Id 0 = without tariff). Only the
// check-out debt payment credits the minutes of every period paid
// (AMultiplyMinutes); the other dialogs credit one period whatever the count.
TPayment BuildPayment(int AAutoId, const TTarif &ATarif, int ACount, double ASumma, const QString &AComments,
                      bool AMultiplyMinutes);

// Whole minutes between two moments, in either order.
int GetStayMinutes(TDateTime AInTime, TDateTime ANow);

// "1 дн. 2 час. 5 мин. " style text of a non-negative number of minutes.
QString GetDurationStr(int AMinutes);
