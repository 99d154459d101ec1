// Stays: check-in, check-out and the lists of stays.
#include "data/UnitData.h"
#include "data/UnitDataSql.h"

namespace {

const char *const VisitColumns = "ID, ID_AUTO, IN_TIME, OUT_TIME, ID_MANAGER, COMMENTS, CREATED_TIME, ACTION_TYPE2";

TVisit ReadVisit(const TDbQuery &query)
{
    TVisit visit;
    visit.Id = query.AsInt("ID");
    visit.AutoId = query.AsInt("ID_AUTO");
    visit.InTime = query.AsDateTime("IN_TIME");
    visit.OutTime = query.AsDateTime("OUT_TIME");
    visit.ManagerId = query.AsInt("ID_MANAGER");
    visit.Comments = query.AsString("COMMENTS");
    visit.CreatedTime = query.AsDateTime("CREATED_TIME");
    visit.OutStatus = query.AsInt("ACTION_TYPE2");
    return visit;
}

// Locks the place's row for the transaction, so that a second desk checking a
// vehicle in to the same place fails at once instead of both succeeding, and
// tells whether the place's newest stay leaves it free.
bool LockFreePlace(TDbConnection &connection, TDbTransaction &transaction, int placeId)
{
    TDbQuery lock(connection, "SELECT ID FROM PLACES WHERE ID = :placeId_ WITH LOCK", &transaction);
    lock.Bind("placeId_", placeId).Open();
    lock.Next();
    lock.Close();
    TDbQuery newest(connection,
                    "SELECT FIRST 1 ACTION_TYPE2 FROM AUTO_ACTION WHERE ID_PLACE = :placeId_ AND ACTION_TYPE = 1 "
                    "ORDER BY CREATED_TIME DESC, ID DESC",
                    &transaction);
    newest.Bind("placeId_", placeId).Open();
    return !newest.Next() || newest.AsInt("ACTION_TYPE2") == 2;
}

} // namespace

bool TDModule::StartVisit(PAuto AAuto, PPlace APlace, PPayment APayment, int AMinutesPaied)
{
    if (!AAuto || AAuto->Id == 0)
        return false;
    const int placeId = APlace ? APlace->Id : 0;
    const int paymentId = APayment && APayment->Id >= 1 ? APayment->Id : 0;
    try {
        // The stay, the drawing on the payment and the link are one change.
        TDbTransaction transaction(FConnection);
        if (placeId > 0 && !LockFreePlace(FConnection, transaction, placeId))
            return false;
        // The moment is taken under the lock: a desk that checked a vehicle in
        // and out on the place meanwhile wrote an earlier moment, so this stay
        // is the place's newest.
        const TDateTime now = Now();
        TDbQuery insert(FConnection,
                        "INSERT INTO AUTO_ACTION (ID_AUTO, IN_TIME, ACTION_TYPE, ID_PAYMENT, ID_PLACE, ID_MANAGER, "
                        "MINUTES_PAIED, CREATED_TIME) VALUES (:autoId_, :inTime_, 1, :paymentId_, :placeId_, "
                        ":managerId_, :minutesPaied_, :createdTime_) RETURNING ID",
                        &transaction);
        insert.Bind("autoId_", AAuto->Id)
            .BindDateTime("inTime_", now)
            .Bind("paymentId_", paymentId)
            .Bind("placeId_", placeId)
            .Bind("managerId_", CurrentUser.Id)
            .Bind("minutesPaied_", AMinutesPaied)
            .BindDateTime("createdTime_", now)
            .Execute();
        const int stayId = insert.AsInt("ID");
        if (paymentId > 0) {
            // Every check-in against a payment takes one day of its time,
            // once; less than a day left is kept.
            const int minutes = APayment->Minutes >= 1440 ? APayment->Minutes - 1440 : APayment->Minutes;
            TDbQuery draw(FConnection, "UPDATE PAYMENTS SET MINUTES = :minutes_ WHERE ID = :paymentId_",
                          &transaction);
            draw.Bind("minutes_", minutes).Bind("paymentId_", paymentId).Execute();
            TDbQuery link(FConnection,
                          "INSERT INTO AUTO_PAYMENT (ID_AUTO, ID_PAYMENT, ID_AUTO_ACTION) "
                          "VALUES (:autoId_, :paymentId_, :stayId_)",
                          &transaction);
            link.Bind("autoId_", AAuto->Id).Bind("paymentId_", paymentId).Bind("stayId_", stayId).Execute();
        }
        transaction.Commit();
        return stayId > 0;
    } catch (const TDbError &) {
        return false;
    }
}

bool TDModule::StopVisit(PAuto AAuto, const QString &AComments)
{
    if (!AAuto)
        return false;
    try {
        const TVisit last = GetAutoLastVisit(AAuto->Id);
        if (last.Id == 0 || last.OutStatus != 0)
            return false;
        // Closes the stay only while it is still open: a second desk that
        // closed it first leaves nothing to change here.
        TDbQuery update(FConnection, "UPDATE AUTO_ACTION SET OUT_TIME = :outTime_, ACTION_TYPE2 = 2, "
                                     "COMMENTS = :comments_ WHERE ID = :id_ AND ACTION_TYPE2 = 0");
        update.BindDateTime("outTime_", Now()).Bind("comments_", AComments).Bind("id_", last.Id);
        return update.Execute() > 0;
    } catch (const TDbError &) {
        return false;
    }
}

TVisit TDModule::GetAutoLastVisit(int AAutoId)
{
    TDbQuery query(FConnection, QString("SELECT FIRST 1 %1 FROM AUTO_ACTION WHERE ID_AUTO = :autoId_ "
                                        "AND ACTION_TYPE = 1 ORDER BY CREATED_TIME DESC, ID DESC")
                                    .arg(VisitColumns));
    query.Bind("autoId_", AAutoId).Open();
    return query.Next() ? ReadVisit(query) : TVisit();
}

TVisitList TDModule::GetAutoCurrentVisits(int AAutoId)
{
    TDbQuery query(FConnection, QString("SELECT %1 FROM AUTO_ACTION WHERE ID_AUTO = :autoId_ AND ACTION_TYPE = 1 "
                                        "AND OUT_TIME IS NULL ORDER BY CREATED_TIME DESC, ID DESC")
                                    .arg(VisitColumns));
    query.Bind("autoId_", AAutoId).Open();
    TVisitList visits;
    while (query.Next())
        visits.append(ReadVisit(query));
    return visits;
}

TVisitList TDModule::GetAllAutoVisitList(const QString &AFilter)
{
    // Table names stay unaliased: callers' filters qualify columns with them
    // (AUTO.ID, AUTO_ACTION.IN_TIME). The stay's payment is joined only so a
    // filter may name it; it adds no column and, joined by key, no row.
    TDbQuery query(FConnection,
                   QString("SELECT AUTO_ACTION.ID, AUTO_ACTION.ID_AUTO, AUTO.GOSNOMER, AUTO_ACTION.IN_TIME, "
                           "AUTO_ACTION.OUT_TIME, AUTO_ACTION.ID_MANAGER, AUTO_ACTION.COMMENTS, "
                           "PLACES.NAME AS PLACE_NAME, AUTO_ACTION.CREATED_TIME, AUTO_ACTION.ACTION_TYPE2, "
                           "AUTO_ACTION.MINUTES_PAIED, AUTO_ACTION.SUMMA\n"
                           "FROM AUTO_ACTION\n"
                           "JOIN AUTO ON AUTO.ID = AUTO_ACTION.ID_AUTO\n"
                           "JOIN PLACES ON PLACES.ID = AUTO_ACTION.ID_PLACE\n"
                           "%1"
                           "WHERE AUTO_ACTION.ACTION_TYPE = 1\n"
                           "%2\n")
                       .arg(AFilter.contains("PAYMENTS", Qt::CaseInsensitive)
                                ? "LEFT JOIN PAYMENTS ON PAYMENTS.ID = AUTO_ACTION.ID_PAYMENT\n"
                                : "",
                            AFilter));
    query.Open();
    TVisitList visits;
    while (query.Next()) {
        TVisit visit = ReadVisit(query);
        visit.Gosnomer = query.AsString("GOSNOMER");
        visit.PlaceName = query.AsString("PLACE_NAME");
        visit.MinutesPaied = query.AsInt("MINUTES_PAIED");
        visit.Summa = query.AsDouble("SUMMA");
        visits.append(std::move(visit));
    }
    SortByMoment(visits, [](const TVisit &v) { return v.CreatedTime; }, true);
    return visits;
}
