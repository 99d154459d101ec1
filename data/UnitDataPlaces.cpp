// Parking places with their occupancy, and tariffs.
#include "data/UnitData.h"
#include "data/UnitDataSql.h"

namespace {

// Places and tariffs flagged as deleted stay reachable by id, never by a list;
// a null flag is a row that is not deleted.
const char *const PlaceIsListed = "(PLACES.IS_DELETED = 0 OR PLACES.IS_DELETED IS NULL)";
const char *const TarifIsListed = "(IS_DELETED = 0 OR IS_DELETED IS NULL)";

QString PlaceSelect()
{
    return QString("SELECT %1 FROM PLACES\n%2").arg(PlaceColumns("PLACES"), PlaceOccupancyJoins("PLACES"));
}

TPlaceList ReadPlaces(TDbQuery &query)
{
    TPlaceList places;
    query.Open();
    while (query.Next())
        places.append(ReadPlace(query));
    return places;
}

const char *const TarifColumns = "ID, NAME, COMMENTS, PRICE, PERIOD, PERIOD_TYPE, START_DATE, START_TIME, END_DATE, "
                                 "END_TIME, UPDATED_TIME, UPDATED_BY, IS_ACTIVE";

TTarif ReadTarif(const TDbQuery &query)
{
    TTarif tarif;
    tarif.Id = query.AsInt("ID");
    tarif.Name = query.AsString("NAME");
    tarif.Comments = query.AsString("COMMENTS");
    tarif.Price = query.AsDouble("PRICE");
    tarif.Period = query.AsInt("PERIOD");
    tarif.PeriodType = query.AsInt("PERIOD_TYPE");
    tarif.StartDate = query.AsDateTime("START_DATE");
    tarif.StartTime = query.AsDateTime("START_TIME");
    tarif.StopDate = query.AsDateTime("END_DATE");
    tarif.StopTime = query.AsDateTime("END_TIME");
    tarif.UpdatedTime = query.AsDateTime("UPDATED_TIME");
    tarif.UpdatedByUserId = query.AsInt("UPDATED_BY");
    tarif.IsActive = query.AsInt("IS_ACTIVE") > 0;
    return tarif;
}

void BindTarif(TDbQuery &query, const TTarif &tarif, TDateTime now)
{
    query.Bind("name_", tarif.Name)
        .Bind("comments_", tarif.Comments)
        .Bind("price_", tarif.Price)
        .Bind("period_", tarif.Period)
        .Bind("periodType_", tarif.PeriodType)
        .Bind("startDate_", OptionalDate(tarif.StartDate))
        .BindDateTime("startTime_", tarif.StartTime)
        .Bind("endDate_", OptionalDate(tarif.StopDate))
        .BindDateTime("endTime_", tarif.StopTime)
        .BindDateTime("updatedTime_", now)
        .Bind("updatedBy_", CurrentUser.Id)
        .Bind("isActive_", tarif.IsActive ? 1 : 0);
}

// Soft delete of a place or a tariff: who and when.
void MarkDeleted(TDbConnection &connection, const QString &table, int id)
{
    try {
        TDbQuery update(connection, QString("UPDATE %1 SET IS_DELETED = 1, DELETED_BY = :deletedBy_, "
                                            "DELETED_TIME = :deletedTime_ WHERE ID = :id_")
                                        .arg(table));
        update.Bind("deletedBy_", CurrentUser.Id).BindDateTime("deletedTime_", Now()).Bind("id_", id).Execute();
    } catch (const TDbError &) {
    }
}

} // namespace

// ------------------------------------------------------------ places

int TDModule::AddPlace(PPlace APlace)
{
    try {
        TDbQuery insert(FConnection, "INSERT INTO PLACES (NAME, COMMENTS, IS_ACTIVE) "
                                     "VALUES (:name_, :comments_, :isActive_) RETURNING ID");
        insert.Bind("name_", APlace->Name)
            .Bind("comments_", APlace->Comments)
            .Bind("isActive_", APlace->IsActive ? 1 : 0)
            .Execute();
        return insert.AsInt("ID");
    } catch (const TDbError &) {
        return 0;
    }
}

bool TDModule::UpdatePlace(PPlace APlace)
{
    try {
        TDbQuery update(FConnection, "UPDATE PLACES SET NAME = :name_, COMMENTS = :comments_, "
                                     "IS_ACTIVE = :isActive_ WHERE ID = :placeId_");
        update.Bind("name_", APlace->Name)
            .Bind("comments_", APlace->Comments)
            .Bind("isActive_", APlace->IsActive ? 1 : 0)
            .Bind("placeId_", APlace->Id);
        return update.Execute() > 0;
    } catch (const TDbError &) {
        return false;
    }
}

void TDModule::DeletePlaceById(int AItemId)
{
    MarkDeleted(FConnection, "PLACES", AItemId);
}

TPlace TDModule::GetPlaceById(int APlaceId)
{
    TDbQuery query(FConnection, PlaceSelect() + "WHERE PLACES.ID = :placeId_");
    query.Bind("placeId_", APlaceId).Open();
    return query.Next() ? ReadPlace(query) : TPlace();
}

TPlaceList TDModule::GetPlaceList(bool AActiveOnly)
{
    TDbQuery query(FConnection, PlaceSelect()
                                    + QString("WHERE %1 %2\nORDER BY PLACES.NAME, PLACES.ID")
                                          .arg(PlaceIsListed, AActiveOnly ? "AND PLACES.IS_ACTIVE > 0" : ""));
    return ReadPlaces(query);
}

TPlaceList TDModule::GetPlaceFreeList()
{
    // The newest stay decides, here without the join with the vehicle; a
    // place is free without stays or when that stay is closed.
    TDbQuery query(FConnection,
                   QString("SELECT PLACES.ID, PLACES.NAME, PLACES.COMMENTS FROM PLACES\n"
                           "LEFT JOIN AUTO_ACTION NEWEST ON NEWEST.ID = %1\n"
                           "WHERE %2 AND PLACES.IS_ACTIVE > 0\n"
                           "AND (NEWEST.ID IS NULL OR NEWEST.ACTION_TYPE2 = 2)\n"
                           "ORDER BY PLACES.NAME, PLACES.ID")
                       .arg(NewestStayIdOfPlace("PLACES", false), PlaceIsListed));
    query.Open();
    TPlaceList places;
    while (query.Next()) {
        TPlace place;
        place.Id = query.AsInt("ID");
        place.Name = query.AsString("NAME");
        place.Comments = query.AsString("COMMENTS");
        places.append(place);
    }
    return places;
}

// ------------------------------------------------------------ tariffs

int TDModule::AddTarif(PTarif ATarif)
{
    try {
        TDbQuery insert(FConnection,
                        "INSERT INTO TARIFS (NAME, PRICE, PERIOD, PERIOD_TYPE, START_DATE, END_DATE, START_TIME, "
                        "END_TIME, UPDATED_TIME, UPDATED_BY, COMMENTS, IS_ACTIVE) "
                        "VALUES (:name_, :price_, :period_, :periodType_, :startDate_, :endDate_, :startTime_, "
                        ":endTime_, :updatedTime_, :updatedBy_, :comments_, :isActive_) RETURNING ID");
        BindTarif(insert, *ATarif, Now());
        insert.Execute();
        return insert.AsInt("ID");
    } catch (const TDbError &) {
        return 0;
    }
}

bool TDModule::UpdateTarif(PTarif ATarif)
{
    try {
        TDbQuery update(FConnection,
                        "UPDATE TARIFS SET NAME = :name_, COMMENTS = :comments_, PRICE = :price_, PERIOD = :period_, "
                        "PERIOD_TYPE = :periodType_, START_DATE = :startDate_, START_TIME = :startTime_, "
                        "END_DATE = :endDate_, END_TIME = :endTime_, UPDATED_TIME = :updatedTime_, "
                        "UPDATED_BY = :updatedBy_, IS_ACTIVE = :isActive_ WHERE ID = :tarifId_");
        BindTarif(update, *ATarif, Now());
        update.Bind("tarifId_", ATarif->Id);
        return update.Execute() > 0;
    } catch (const TDbError &) {
        return false;
    }
}

void TDModule::DeleteTarifById(int ATarifId)
{
    MarkDeleted(FConnection, "TARIFS", ATarifId);
}

TTarif TDModule::GetTarifById(int ATarifId)
{
    TDbQuery query(FConnection, QString("SELECT %1 FROM TARIFS WHERE ID = :tarifId_").arg(TarifColumns));
    query.Bind("tarifId_", ATarifId).Open();
    return query.Next() ? ReadTarif(query) : TTarif();
}

TTarifList TDModule::GetTarifList(bool AActiveOnly)
{
    TDbQuery query(FConnection, QString("SELECT %1 FROM TARIFS WHERE %2 %3 ORDER BY NAME, ID")
                                    .arg(TarifColumns, TarifIsListed, AActiveOnly ? "AND IS_ACTIVE > 0" : ""));
    query.Open();
    TTarifList tarifs;
    while (query.Next())
        tarifs.append(ReadTarif(query));
    return tarifs;
}

QString TDModule::GetPeriodTypeStr(int APeriodType)
{
    static const char *const Names[] = {"Разово", "Минуты", "Час", "Дней", "Ночь", "Сутки", "Недели", "Месяц", "Год"};
    if (APeriodType < 0 || APeriodType > 8)
        return QString();
    return QString::fromUtf8(Names[APeriodType]);
}
