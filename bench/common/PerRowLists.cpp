#include "bench/common/PerRowLists.h"

namespace {

// A place read with its own statement, then its occupancy from its newest
// stay with a second one.
TPlace PerRowPlace(TDbConnection &connection, int placeId)
{
    TPlace place;
    TDbQuery row(connection, "SELECT ID, NAME, COMMENTS, IS_ACTIVE FROM PLACES WHERE ID = :id_");
    row.Bind("id_", placeId).Open();
    if (!row.Next())
        return place;
    place.Id = row.AsInt("ID");
    place.Name = row.AsString("NAME");
    place.Comments = row.AsString("COMMENTS");
    place.IsActive = row.AsInt("IS_ACTIVE") > 0;
    row.Close();
    TDbQuery newest(connection, "SELECT FIRST 1 AUTO_ACTION.ACTION_TYPE2, AUTO.GOSNOMER FROM AUTO_ACTION "
                                "JOIN AUTO ON AUTO.ID = AUTO_ACTION.ID_AUTO "
                                "WHERE AUTO_ACTION.ID_PLACE = :id_ AND AUTO_ACTION.ACTION_TYPE = 1 "
                                "ORDER BY AUTO_ACTION.CREATED_TIME DESC, AUTO_ACTION.ID DESC");
    newest.Bind("id_", placeId).Open();
    if (newest.Next() && newest.AsInt("ACTION_TYPE2") != 2) {
        place.IsBusy = true;
        place.Gosnomer = newest.AsString("GOSNOMER");
    }
    return place;
}

} // namespace

TAutoList PerRowAutoList(TDbConnection &connection, const QString &AFilter)
{
    TDbQuery query(connection,
                   QString("SELECT AUTO.ID, AUTO.GOSNOMER, AUTO.MODEL, AUTO.COLOR, AUTO.OWNER_PHONE, AUTO.OWNER_FIO, "
                           "AUTO.OWNER_ADDRESS, AUTO.OWNER_DOCUMENT, AUTO.COMMENTS, STAY.ID_PLACE, STAY.ID_PAYMENT, "
                           "STAY.MINUTES_PAIED, PAYMENTS.SUMMA AS PAYMENT_SUMMA\n"
                           "FROM (SELECT * FROM AUTO WHERE IS_DELETED = 0\n%1\n) AUTO\n"
                           "LEFT JOIN AUTO_ACTION STAY ON STAY.ID_AUTO = AUTO.ID AND STAY.ACTION_TYPE = 1 "
                           "AND STAY.ACTION_TYPE2 <> 2\n"
                           "LEFT JOIN PAYMENTS ON PAYMENTS.ID = STAY.ID_PAYMENT\n"
                           "ORDER BY AUTO.GOSNOMER, AUTO.MODEL, AUTO.COLOR, AUTO.ID")
                       .arg(AFilter));
    query.Open();
    TAutoList list;
    while (query.Next()) {
        TAuto vehicle;
        vehicle.Id = query.AsInt("ID");
        vehicle.Gosnomer = query.AsString("GOSNOMER");
        vehicle.Model = query.AsString("MODEL");
        vehicle.Color = query.AsString("COLOR");
        vehicle.OwnerPhone = query.AsString("OWNER_PHONE");
        vehicle.OwnerFIO = query.AsString("OWNER_FIO");
        vehicle.OwnerAddress = query.AsString("OWNER_ADDRESS");
        vehicle.OwnerDocument = query.AsString("OWNER_DOCUMENT");
        vehicle.Comments = query.AsString("COMMENTS");
        vehicle.Place.Id = query.AsInt("ID_PLACE");
        if (vehicle.Place.Id > 0)
            vehicle.Place = PerRowPlace(connection, vehicle.Place.Id);
        vehicle.SummaPaied = query.AsDouble("PAYMENT_SUMMA");
        vehicle.MinutesPaied = query.AsInt("MINUTES_PAIED");
        vehicle.PaimentId = query.AsInt("ID_PAYMENT");
        list.append(vehicle);
    }
    for (TAuto &vehicle : list) {
        TDbQuery last(connection, "SELECT MAX(IN_TIME) AS LAST_IN FROM AUTO_ACTION WHERE ID_AUTO = :id_");
        last.Bind("id_", vehicle.Id).Open();
        if (last.Next())
            vehicle.InTime = last.AsDateTime("LAST_IN");
    }
    return list;
}

TPlaceList PerRowPlaceList(TDbConnection &connection, bool AActiveOnly)
{
    TDbQuery query(connection, QString("SELECT ID FROM PLACES WHERE (IS_DELETED = 0 OR IS_DELETED IS NULL) %1 "
                                       "ORDER BY NAME, ID")
                                   .arg(AActiveOnly ? "AND IS_ACTIVE > 0" : ""));
    query.Open();
    QList<int> ids;
    while (query.Next())
        ids.append(query.AsInt("ID"));
    TPlaceList places;
    for (int id : ids)
        places.append(PerRowPlace(connection, id));
    return places;
}

namespace {

QString PlaceText(const TPlace &p)
{
    return QString("%1|%2|%3|%4|%5|%6").arg(p.Id).arg(p.Name, p.Comments).arg(p.IsBusy).arg(p.IsActive).arg(p.Gosnomer);
}

QString AutoText(const TAuto &a)
{
    return QString("%1|%2|%3|%4|%5|%6|%7|%8|%9|")
               .arg(a.Id)
               .arg(a.Gosnomer, a.Model, a.Color, a.OwnerPhone, a.OwnerFIO, a.OwnerAddress, a.OwnerDocument, a.Comments)
           + PlaceText(a.Place)
           + QString("|%1|%2|%3|%4|%5").arg(a.InTime, 0, 'f', 9).arg(a.OutTime, 0, 'f', 9).arg(a.MinutesPaied)
                 .arg(a.SummaPaied).arg(a.PaimentId);
}

template <typename T, typename F>
bool SameRows(const QList<T> &a, const QList<T> &b, F text, QString &difference)
{
    if (a.size() != b.size()) {
        difference = QString("%1 rows against %2").arg(a.size()).arg(b.size());
        return false;
    }
    for (int i = 0; i < a.size(); ++i) {
        if (text(a[i]) != text(b[i])) {
            difference = QString("row %1: %2 against %3").arg(i).arg(text(a[i]), text(b[i]));
            return false;
        }
    }
    return true;
}

} // namespace

bool SameAutos(const TAutoList &a, const TAutoList &b, QString &difference)
{
    return SameRows(a, b, AutoText, difference);
}

bool SamePlaces(const TPlaceList &a, const TPlaceList &b, QString &difference)
{
    return SameRows(a, b, PlaceText, difference);
}
