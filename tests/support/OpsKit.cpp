#include "tests/support/OpsKit.h"

#include "data/UnitData.h"
#include "platform/FbDatabase.h"

namespace OpsKit {

int SeedAuto(const QString &AGosnomer, const QString &AModel, const QString &AColor)
{
    TAuto autoRecord;
    autoRecord.Gosnomer = AGosnomer;
    autoRecord.Model = AModel;
    autoRecord.Color = AColor;
    const int id = DModule->AddAuto(&autoRecord);
    if (id <= 0)
        qFatal("cannot seed the vehicle");
    return id;
}

int SeedPlace(const QString &AName)
{
    TPlace place;
    place.Name = AName;
    place.IsActive = true;
    const int id = DModule->AddPlace(&place);
    if (id <= 0)
        qFatal("cannot seed the place");
    return id;
}

TTarif SeedTarif(const QString &AName, double APrice, int APeriod, int APeriodType)
{
    TTarif tarif;
    tarif.Name = AName;
    tarif.Price = APrice;
    tarif.Period = APeriod;
    tarif.PeriodType = APeriodType;
    tarif.IsActive = true;
    const int id = DModule->AddTarif(&tarif);
    if (id <= 0)
        qFatal("cannot seed the tariff");
    return DModule->GetTarifById(id);
}

QVariant Scalar(const QString &ASql)
{
    TDbQuery query(DModule->Connection(), ASql);
    query.Open();
    return query.Next() ? query.Value(0) : QVariant();
}

int ScalarInt(const QString &ASql)
{
    return Scalar(ASql).toInt();
}

double ScalarDouble(const QString &ASql)
{
    return Scalar(ASql).toDouble();
}

void Exec(const QString &ASql)
{
    DModule->Connection().ExecuteSql(ASql);
}

void BackdateStay(int AActionId, int AMinutes)
{
    const TDateTime inTime = Now() - (AMinutes * 60.0 + 5.0) / 86400.0;
    TDbQuery query(DModule->Connection(), "UPDATE AUTO_ACTION SET IN_TIME = :inTime_ WHERE ID = :id_");
    query.BindDateTime("inTime_", inTime).Bind("id_", AActionId);
    query.Execute();
}

QString Lines(const QString &AText)
{
    return QString(AText).replace("\r\n", "\n");
}

} // namespace OpsKit
