#pragma once
// Rows written straight into a test database, for situations the store's own
// operations cannot produce (chosen moments, odd states, missing rows).
#include <QString>

#include "data/Records.h"

class TDbConnection;

namespace StoreRows {

// A moment `minutesAgo` minutes before now, rounded to whole milliseconds
// like stored values.
TDateTime MinutesAgo(double minutesAgo);
TDateTime At(int year, int month, int day, int hour, int minute, int second = 0);

int AddAuto(const QString &gosnomer, const QString &comments = QString());
int AddPlace(const QString &name, bool active = true);
int AddTarif(const QString &name, double price, int period, int periodType);

// A stay of the vehicle on the place; state 0 open, 2 closed; outTime 0 is
// null. createdTime 0 takes inTime.
int AddStay(int autoId, int placeId, TDateTime inTime, int state, TDateTime outTime = 0, TDateTime createdTime = 0,
            int paymentId = 0, int minutesPaied = 0);

// Runs a statement on the data module's connection.
int Exec(const QString &sql);
// The first column of the first row of a select, as text ("" without rows).
QString Scalar(const QString &sql);

} // namespace StoreRows
