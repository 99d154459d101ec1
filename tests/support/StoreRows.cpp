#include "tests/support/StoreRows.h"

#include <cmath>

#include "data/UnitData.h"

namespace StoreRows {

TDateTime MinutesAgo(double minutesAgo)
{
    return std::round((Now() - minutesAgo / 1440.0) * 86400000.0) / 86400000.0;
}

TDateTime At(int year, int month, int day, int hour, int minute, int second)
{
    return DateTimeFromQt(QDateTime(QDate(year, month, day), QTime(hour, minute, second)));
}

int AddAuto(const QString &gosnomer, const QString &comments)
{
    TAuto vehicle;
    vehicle.Gosnomer = gosnomer;
    vehicle.Model = "Model " + gosnomer;
    vehicle.Color = "белый";
    vehicle.Comments = comments;
    return DModule->AddAuto(&vehicle);
}

int AddPlace(const QString &name, bool active)
{
    TPlace place;
    place.Name = name;
    place.IsActive = active;
    return DModule->AddPlace(&place);
}

int AddTarif(const QString &name, double price, int period, int periodType)
{
    TTarif tarif;
    tarif.Name = name;
    tarif.Price = price;
    tarif.Period = period;
    tarif.PeriodType = periodType;
    tarif.IsActive = true;
    return DModule->AddTarif(&tarif);
}

int AddStay(int autoId, int placeId, TDateTime inTime, int state, TDateTime outTime, TDateTime createdTime,
            int paymentId, int minutesPaied)
{
    TDbQuery insert(DModule->Connection(),
                    "INSERT INTO AUTO_ACTION (ID_AUTO, ACTION_TYPE, ACTION_TYPE2, IN_TIME, OUT_TIME, ID_PLACE, "
                    "ID_PAYMENT, ID_MANAGER, MINUTES_PAIED, CREATED_TIME) VALUES (:autoId_, 1, :state_, :inTime_, "
                    ":outTime_, :placeId_, :paymentId_, 1, :minutes_, :createdTime_) RETURNING ID");
    insert.Bind("autoId_", autoId)
        .Bind("state_", state)
        .BindDateTime("inTime_", inTime)
        .Bind("placeId_", placeId)
        .Bind("paymentId_", paymentId)
        .Bind("minutes_", minutesPaied)
        .BindDateTime("createdTime_", createdTime == 0 ? inTime : createdTime);
    if (outTime == 0)
        insert.BindNull("outTime_");
    else
        insert.BindDateTime("outTime_", outTime);
    insert.Execute();
    return insert.AsInt("ID");
}

int Exec(const QString &sql)
{
    return DModule->Connection().ExecuteSql(sql);
}

QString Scalar(const QString &sql)
{
    TDbQuery query(DModule->Connection(), sql);
    query.Open();
    return query.Next() ? query.Value(0).toString() : QString();
}

} // namespace StoreRows
