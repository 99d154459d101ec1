#include "data/UnitDataSql.h"

QString NewestStayIdOfPlace(const QString &placeAlias, bool withVehicle)
{
    // The vehicle's row is tested with EXISTS rather than joined, so that the
    // engine walks the place's stays newest first on the descending index and
    // stops at the first match instead of sorting them all.
    return QString("(SELECT FIRST 1 NX.ID FROM AUTO_ACTION NX "
                   "WHERE NX.ID_PLACE = %1.ID AND NX.ACTION_TYPE = 1%2 "
                   "ORDER BY NX.CREATED_TIME DESC, NX.ID DESC)")
        .arg(placeAlias, withVehicle ? " AND EXISTS (SELECT 1 FROM AUTO NXA WHERE NXA.ID = NX.ID_AUTO)" : "");
}

QString PlaceColumns(const QString &placeAlias)
{
    return QString("%1.ID AS PLACE_ID, %1.NAME AS PLACE_NAME, %1.COMMENTS AS PLACE_COMMENTS, "
                   "%1.IS_ACTIVE AS PLACE_IS_ACTIVE, "
                   "CASE WHEN NEWEST.ID IS NOT NULL AND COALESCE(NEWEST.ACTION_TYPE2, 0) <> 2 "
                   "THEN 1 ELSE 0 END AS PLACE_IS_BUSY, "
                   "CASE WHEN NEWEST.ID IS NOT NULL AND COALESCE(NEWEST.ACTION_TYPE2, 0) <> 2 "
                   "THEN NEWEST_AUTO.GOSNOMER END AS PLACE_GOSNOMER")
        .arg(placeAlias);
}

QString PlaceOccupancyJoins(const QString &placeAlias)
{
    // Without a place row (a vehicle that is not parked) the newest stay is
    // not looked for at all.
    return QString("LEFT JOIN AUTO_ACTION NEWEST ON NEWEST.ID = CASE WHEN %1.ID IS NOT NULL THEN %2 END\n"
                   "LEFT JOIN AUTO NEWEST_AUTO ON NEWEST_AUTO.ID = NEWEST.ID_AUTO\n")
        .arg(placeAlias, NewestStayIdOfPlace(placeAlias, true));
}

TPlace ReadPlace(const TDbQuery &query)
{
    TPlace place;
    if (query.IsNull("PLACE_ID"))
        return place;
    place.Id = query.AsInt("PLACE_ID");
    place.Name = query.AsString("PLACE_NAME");
    place.Comments = query.AsString("PLACE_COMMENTS");
    place.IsActive = query.AsInt("PLACE_IS_ACTIVE") > 0;
    place.IsBusy = query.AsInt("PLACE_IS_BUSY") == 1;
    place.Gosnomer = query.AsString("PLACE_GOSNOMER");
    return place;
}

QString StayIsOpen(const QString &stayAlias)
{
    return QString("(%1.ACTION_TYPE2 < 2 OR %1.ACTION_TYPE2 > 2)").arg(stayAlias);
}

QString OrderClause(const QString &AOrder, const QString &defaultOrder)
{
    return "ORDER BY " + (AOrder.trimmed().isEmpty() ? defaultOrder : AOrder);
}

QVariant OptionalDate(TDateTime value)
{
    return value == 0 ? QVariant() : QVariant(DateToQt(value));
}
