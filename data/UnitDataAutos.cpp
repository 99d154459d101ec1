// Vehicles with their current stay, and clients.
#include "data/UnitData.h"
#include "data/UnitDataSql.h"

namespace {

// Exactly the columns of IX_AUTO_GOSNOMER, so the engine walks the index instead
// of sorting wide vehicle rows; the open stays of one vehicle follow each other.
// The vehicles list, which reads every vehicle, sorts in memory instead.
const char *const DefaultAutoOrder = "AUTO.GOSNOMER, AUTO.MODEL, AUTO.COLOR, AUTO.ID";

// DefaultAutoOrder applied to rows already read, texts compared as the engine
// compares them.
void SortInDefaultOrder(TAutoList &list)
{
    std::vector<quint64> numbers;
    numbers.reserve(size_t(list.size()));
    for (const TAuto &vehicle : list)
        numbers.push_back(ColumnSortPrefix(vehicle.Gosnomer));
    SortRows(list, [&](qsizetype a, qsizetype b) {
        if (numbers[a] != numbers[b])
            return numbers[a] < numbers[b];
        const TAuto &x = list[a];
        const TAuto &y = list[b];
        int c = CompareAsColumn(x.Gosnomer, y.Gosnomer);
        if (c == 0)
            c = CompareAsColumn(x.Model, y.Model);
        if (c == 0)
            c = CompareAsColumn(x.Color, y.Color);
        return c != 0 ? c < 0 : x.Id < y.Id;
    });
}

// The vehicle columns every vehicle read fills.
const char *const AutoColumns = "AUTO.ID, AUTO.GOSNOMER, AUTO.MODEL, AUTO.COLOR, AUTO.OWNER_PHONE, AUTO.OWNER_FIO, "
                                "AUTO.OWNER_ADDRESS, AUTO.OWNER_DOCUMENT, AUTO.COMMENTS";

// The vehicles not deleted, with the caller's filter applied to the vehicle's
// own columns before any join, so that a name such as COMMENTS can only mean
// the vehicle's.
QString FilteredAutos(const QString &AFilter)
{
    return QString("(SELECT * FROM AUTO WHERE IS_DELETED = 0\n%1\n) AUTO").arg(AFilter);
}

// Place of the stay STAY (none when the stay names no place) with its
// occupancy, and the payment taken at check-in.
QString StayPlaceAndPaymentJoins()
{
    return "LEFT JOIN PAYMENTS STAY_PAYMENT ON STAY_PAYMENT.ID = STAY.ID_PAYMENT\n"
           "LEFT JOIN PLACES STAY_PLACE ON STAY_PLACE.ID = STAY.ID_PLACE AND STAY.ID_PLACE > 0\n"
           + PlaceOccupancyJoins("STAY_PLACE");
}

QString StayColumns()
{
    return "STAY.ID AS STAY_ID, STAY.ID_PLACE, STAY.IN_TIME, STAY.OUT_TIME, STAY.ID_PAYMENT, STAY.MINUTES_PAIED, "
           "STAY_PAYMENT.SUMMA AS PAYMENT_SUMMA, "
           + PlaceColumns("STAY_PLACE");
}

void ReadAutoColumns(const TDbQuery &query, TAuto &vehicle)
{
    vehicle.Id = query.AsInt("ID");
    vehicle.Gosnomer = query.AsString("GOSNOMER");
    vehicle.Model = query.AsString("MODEL");
    vehicle.Color = query.AsString("COLOR");
    vehicle.OwnerPhone = query.AsString("OWNER_PHONE");
    vehicle.OwnerFIO = query.AsString("OWNER_FIO");
    vehicle.OwnerAddress = query.AsString("OWNER_ADDRESS");
    vehicle.OwnerDocument = query.AsString("OWNER_DOCUMENT");
    vehicle.Comments = query.AsString("COMMENTS");
}

// The stay's place, minutes and payment. The place is looked up only when the
// stay names one; a place row that is gone leaves Place empty.
void ReadStay(const TDbQuery &query, TAuto &vehicle)
{
    if (query.AsInt("ID_PLACE") > 0)
        vehicle.Place = ReadPlace(query);
    vehicle.MinutesPaied = query.AsInt("MINUTES_PAIED");
    vehicle.PaimentId = query.AsInt("ID_PAYMENT");
}

void BindAuto(TDbQuery &query, const TAuto &vehicle)
{
    query.Bind("gosnomer_", vehicle.Gosnomer)
        .Bind("model_", vehicle.Model)
        .Bind("color_", vehicle.Color)
        .Bind("ownerPhone_", vehicle.OwnerPhone)
        .Bind("ownerFio_", vehicle.OwnerFIO)
        .Bind("ownerAddress_", vehicle.OwnerAddress)
        .Bind("ownerDocument_", vehicle.OwnerDocument)
        .Bind("comments_", vehicle.Comments)
        .Bind("ownerSerno_", vehicle.OWNER_SERNO)
        .Bind("ownerNumPassport_", vehicle.OWNER_NUMPASSPORT)
        .Bind("ownerVidanPassport_", vehicle.OWNER_VIDANPASSPORT)
        .Bind("numPrishep_", vehicle.NUMPRISHEP)
        .Bind("boolPassport_", vehicle.BOOLPASSPORT ? 1 : 0)
        .Bind("boolPrishep_", vehicle.BOOLPRISHEP ? 1 : 0)
        .Bind("dataVidan_", OptionalDate(vehicle.DATAVIDAN));
}

} // namespace

int TDModule::AddAuto(PAuto AAuto)
{
    try {
        TDbQuery insert(FConnection,
                        "INSERT INTO AUTO (GOSNOMER, MODEL, COLOR, OWNER_PHONE, OWNER_FIO, OWNER_ADDRESS, "
                        "OWNER_DOCUMENT, COMMENTS, CREATED_TIME, CREATED_BY, OWNER_SERNO, OWNER_NUMPASSPORT, "
                        "OWNER_VIDANPASSPORT, NUMPRISHEP, BOOLPASSPORT, BOOLPRISHEP, DATAVIDAN) "
                        "VALUES (:gosnomer_, :model_, :color_, :ownerPhone_, :ownerFio_, :ownerAddress_, "
                        ":ownerDocument_, :comments_, :createdTime_, :createdBy_, :ownerSerno_, :ownerNumPassport_, "
                        ":ownerVidanPassport_, :numPrishep_, :boolPassport_, :boolPrishep_, :dataVidan_) "
                        "RETURNING ID");
        BindAuto(insert, *AAuto);
        insert.BindDateTime("createdTime_", Now()).Bind("createdBy_", CurrentUser.Id).Execute();
        return insert.AsInt("ID");
    } catch (const TDbError &) {
        return 0;
    }
}

bool TDModule::UpdateAuto(PAuto AAuto)
{
    try {
        TDbQuery update(FConnection,
                        "UPDATE AUTO SET GOSNOMER = :gosnomer_, MODEL = :model_, COLOR = :color_, "
                        "OWNER_PHONE = :ownerPhone_, OWNER_FIO = :ownerFio_, OWNER_ADDRESS = :ownerAddress_, "
                        "OWNER_DOCUMENT = :ownerDocument_, COMMENTS = :comments_, OWNER_SERNO = :ownerSerno_, "
                        "OWNER_NUMPASSPORT = :ownerNumPassport_, OWNER_VIDANPASSPORT = :ownerVidanPassport_, "
                        "NUMPRISHEP = :numPrishep_, BOOLPASSPORT = :boolPassport_, BOOLPRISHEP = :boolPrishep_, "
                        "DATAVIDAN = :dataVidan_, UPDATED_TIME = :updatedTime_, UPDATED_BY = :updatedBy_ "
                        "WHERE ID = :autoId_");
        BindAuto(update, *AAuto);
        update.BindDateTime("updatedTime_", Now()).Bind("updatedBy_", CurrentUser.Id).Bind("autoId_", AAuto->Id);
        return update.Execute() > 0;
    } catch (const TDbError &) {
        return false;
    }
}

TAuto TDModule::GetAutoById(int AAutoId)
{
    TAuto vehicle;
    {
        // Of several open stays the newest counts, as check-out closes that one.
        TDbQuery query(FConnection,
                       QString("SELECT FIRST 1 %1, AUTO.OWNER_SERNO, AUTO.OWNER_NUMPASSPORT, AUTO.OWNER_VIDANPASSPORT, "
                               "AUTO.NUMPRISHEP, AUTO.BOOLPASSPORT, AUTO.BOOLPRISHEP, AUTO.DATAVIDAN, %2\n"
                               "FROM AUTO\n"
                               "LEFT JOIN AUTO_ACTION STAY ON STAY.ID_AUTO = AUTO.ID AND STAY.ACTION_TYPE = 1 AND %3\n"
                               "%4"
                               "WHERE AUTO.ID = :autoId_ AND AUTO.IS_DELETED = 0\n"
                               "ORDER BY STAY.CREATED_TIME DESC, STAY.ID DESC")
                           .arg(AutoColumns, StayColumns(), StayIsOpen("STAY"), StayPlaceAndPaymentJoins()));
        query.Bind("autoId_", AAutoId).Open();
        if (query.Next()) {
            ReadAutoColumns(query, vehicle);
            ReadStay(query, vehicle);
            if (query.AsInt("ID_PLACE") > 0)
                vehicle.InTime = query.AsDateTime("IN_TIME");
            vehicle.ActionId = query.AsInt("STAY_ID");
            vehicle.OWNER_SERNO = query.AsString("OWNER_SERNO");
            vehicle.OWNER_NUMPASSPORT = query.AsString("OWNER_NUMPASSPORT");
            vehicle.OWNER_VIDANPASSPORT = query.AsString("OWNER_VIDANPASSPORT");
            vehicle.NUMPRISHEP = query.AsString("NUMPRISHEP");
            vehicle.BOOLPASSPORT = query.AsInt("BOOLPASSPORT") == 1;
            vehicle.BOOLPRISHEP = query.AsInt("BOOLPRISHEP") == 1;
            vehicle.DATAVIDAN = query.AsDateTime("DATAVIDAN");
        }
    }
    // Payments and stays are read under the requested id whether or not the
    // vehicle row was found.
    TDbQuery payments(FConnection, "SELECT PAYMENTS.ID, PAYMENTS.ID_TARIF, PAYMENTS.SUMMA, PAYMENTS.MINUTES_START, "
                                   "PAYMENTS.MINUTES FROM AUTO_PAYMENT "
                                   "JOIN PAYMENTS ON PAYMENTS.ID = AUTO_PAYMENT.ID_PAYMENT "
                                   "WHERE AUTO_PAYMENT.ID_AUTO = :autoId_ "
                                   "ORDER BY PAYMENTS.CREATED_TIME, PAYMENTS.ID");
    payments.Bind("autoId_", AAutoId).Open();
    while (payments.Next()) {
        TPayment payment;
        payment.Id = payments.AsInt("ID");
        payment.AutoId = AAutoId;
        payment.TarifId = payments.AsInt("ID_TARIF");
        payment.Summa = payments.AsDouble("SUMMA");
        payment.MinutesStart = payments.AsInt("MINUTES_START");
        payment.Minutes = payments.AsInt("MINUTES");
        vehicle.Payments.append(payment);
    }
    TDbQuery stays(FConnection, "SELECT ID, ID_AUTO, IN_TIME, OUT_TIME, ID_PLACE FROM AUTO_ACTION "
                                "WHERE ACTION_TYPE = 1 AND ID_AUTO = :autoId_ ORDER BY CREATED_TIME, ID");
    stays.Bind("autoId_", AAutoId).Open();
    while (stays.Next()) {
        TVisit visit;
        visit.Id = stays.AsInt("ID");
        visit.AutoId = stays.AsInt("ID_AUTO");
        visit.InTime = stays.AsDateTime("IN_TIME");
        visit.OutTime = stays.AsDateTime("OUT_TIME");
        visit.PlaceId = stays.AsInt("ID_PLACE");
        vehicle.Visits.append(visit);
    }
    return vehicle;
}

TAutoList TDModule::GetAutoList(const QString &AFilter, const QString &AOrder)
{
    // One row per vehicle and open stay; a vehicle with two open stays is
    // listed twice. InTime is the latest check-in of any of its rows. The
    // default order is applied here: walking the number index fetches the
    // whole table in number order, page after scattered page, and took as
    // long again as reading the rows as stored and sorting them.
    const bool defaultOrder = AOrder.trimmed().isEmpty();
    TDbQuery query(FConnection,
                   QString("SELECT %1, %2,\n"
                           "(SELECT MAX(LAST_STAY.IN_TIME) FROM AUTO_ACTION LAST_STAY "
                           "WHERE LAST_STAY.ID_AUTO = AUTO.ID) AS LAST_IN_TIME\n"
                           "FROM %3\n"
                           "LEFT JOIN AUTO_ACTION STAY ON STAY.ID_AUTO = AUTO.ID AND STAY.ACTION_TYPE = 1 AND %4\n"
                           "%5%6")
                       .arg(AutoColumns, StayColumns(), FilteredAutos(AFilter), StayIsOpen("STAY"),
                            StayPlaceAndPaymentJoins(), defaultOrder ? QString() : OrderClause(AOrder, QString())));
    query.Open();
    TAutoList list;
    while (query.Next()) {
        TAuto vehicle;
        ReadAutoColumns(query, vehicle);
        ReadStay(query, vehicle);
        vehicle.SummaPaied = query.AsDouble("PAYMENT_SUMMA");
        vehicle.InTime = query.AsDateTime("LAST_IN_TIME");
        list.append(std::move(vehicle));
    }
    if (defaultOrder)
        SortInDefaultOrder(list);
    return list;
}

TAutoList TDModule::GetAutoPresentList(const QString &ATimeStr, const QString &AFilter, const QString &AOrder)
{
    // Present at the moment: checked in at or before it and either still open
    // or left at or after it. The moment travels as a parameter; the engine
    // reads the "YYYY-MM-DD HH:NN:SS" text as a timestamp.
    TDbQuery query(FConnection,
                   QString("SELECT %1, %2\n"
                           "FROM %3\n"
                           "JOIN AUTO_ACTION STAY ON STAY.ID_AUTO = AUTO.ID AND STAY.ACTION_TYPE = 1 "
                           "AND STAY.IN_TIME <= CAST(:moment_ AS TIMESTAMP) "
                           "AND (%4 OR (STAY.ACTION_TYPE2 = 2 AND STAY.OUT_TIME >= CAST(:moment_ AS TIMESTAMP)))\n"
                           "%5%6")
                       .arg(AutoColumns, StayColumns(), FilteredAutos(AFilter), StayIsOpen("STAY"),
                            StayPlaceAndPaymentJoins(), OrderClause(AOrder, DefaultAutoOrder)));
    query.Bind("moment_", ATimeStr).Open();
    TAutoList list;
    while (query.Next()) {
        TAuto vehicle;
        ReadAutoColumns(query, vehicle);
        ReadStay(query, vehicle);
        if (query.AsInt("ID_PLACE") > 0)
            vehicle.InTime = query.AsDateTime("IN_TIME");
        vehicle.OutTime = query.AsDateTime("OUT_TIME");
        vehicle.SummaPaied = query.AsDouble("PAYMENT_SUMMA");
        list.append(vehicle);
    }
    return list;
}

TClientList TDModule::GetClientList(bool AActiveOnly, const QString &AFilter, const QString &AOrder)
{
    TDbQuery query(FConnection,
                   QString("SELECT ID, FIRST_NAME, LAST_NAME, MIDDLE_NAME, PHONE, EMAIL, ADDRESS, PASSPORT_NUMBER, "
                           "PASSPORT_DATE, PASSPORT_ISSUE, COMMENTS, IS_ACTIVE, SUMMA FROM CLIENTS "
                           "WHERE IS_DELETED = 0 %1\n%2\n%3")
                       .arg(AActiveOnly ? "AND IS_ACTIVE > 0" : "", AFilter,
                            OrderClause(AOrder, "LAST_NAME, FIRST_NAME, MIDDLE_NAME, ID")));
    query.Open();
    TClientList clients;
    while (query.Next()) {
        TClient client;
        client.Id = query.AsInt("ID");
        client.FirstName = query.AsString("FIRST_NAME");
        client.LastName = query.AsString("LAST_NAME");
        client.MiddleName = query.AsString("MIDDLE_NAME");
        client.Phone = query.AsString("PHONE");
        client.Email = query.AsString("EMAIL");
        client.Address = query.AsString("ADDRESS");
        client.PassportNumber = query.AsString("PASSPORT_NUMBER");
        client.PassportDate = query.AsDateTime("PASSPORT_DATE");
        client.PassportIssue = query.AsString("PASSPORT_ISSUE");
        client.Comments = query.AsString("COMMENTS");
        client.IsActive = query.AsInt("IS_ACTIVE") > 0;
        client.Summa = query.AsDouble("SUMMA");
        clients.append(client);
    }
    return clients;
}
