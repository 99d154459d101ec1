// Payments and each vehicle's running total of them.
#include "data/UnitData.h"
#include "data/UnitDataSql.h"

namespace {

// Payments of one vehicle taken at two desks at once raise the same total:
// the later one waits briefly for the earlier instead of failing at once.
constexpr bool NoWait = false;
constexpr bool ReadOnly = false;

// Table names stay unaliased: callers' filters qualify columns with them
// (AUTO.ID, PAYMENTS.MINUTES, PAYMENTS.CREATED_TIME).
const char *const PaymentSelect =
    "SELECT PAYMENTS.ID, PAYMENTS.ID_AUTO, PAYMENTS.SUMMA, PAYMENTS.ID_TARIF, TARIFS.NAME AS TARIF_NAME, "
    "PAYMENTS.PERIOD, PAYMENTS.PERIOD_TYPE, PAYMENTS.PRICE, PAYMENTS.VOLUME, PAYMENTS.CREATED_TIME, "
    "PAYMENTS.CREATED_BY, PAYMENTS.COMMENTS, PAYMENTS.MINUTES_START, PAYMENTS.MINUTES, "
    "AUTO.GOSNOMER, AUTO.MODEL, AUTO.COLOR\n"
    "FROM PAYMENTS\n"
    "JOIN AUTO ON AUTO.ID = PAYMENTS.ID_AUTO\n"
    "LEFT JOIN TARIFS ON TARIFS.ID = PAYMENTS.ID_TARIF\n";

// The tariff values are the copies stored with the payment; only the name is
// the tariff's current one.
TPayment ReadPayment(const TDbQuery &query)
{
    TPayment payment;
    payment.Id = query.AsInt("ID");
    payment.AutoId = query.AsInt("ID_AUTO");
    payment.Summa = query.AsDouble("SUMMA");
    payment.Tarif.Id = query.AsInt("ID_TARIF");
    payment.Tarif.Name = query.AsString("TARIF_NAME");
    payment.Tarif.Period = query.AsInt("PERIOD");
    payment.Tarif.PeriodType = query.AsInt("PERIOD_TYPE");
    payment.Tarif.Price = query.AsDouble("PRICE");
    payment.Count = query.AsInt("VOLUME");
    payment.PayTime = query.AsDateTime("CREATED_TIME");
    payment.ManagerId = query.AsInt("CREATED_BY");
    payment.Comments = query.AsString("COMMENTS");
    payment.MinutesStart = query.AsInt("MINUTES_START");
    payment.Minutes = query.AsInt("MINUTES");
    return payment;
}

void BindPaymentValues(TDbQuery &query, const TPayment &payment)
{
    query.Bind("summa_", payment.Summa)
        .Bind("tarifId_", payment.Tarif.Id)
        .Bind("period_", payment.Tarif.Period)
        .Bind("periodType_", payment.Tarif.PeriodType)
        .Bind("price_", payment.Tarif.Price)
        .Bind("volume_", payment.Count)
        .Bind("minutesStart_", payment.MinutesStart)
        .Bind("minutes_", payment.Minutes)
        .Bind("comments_", payment.Comments);
}

void RaiseCredit(TDbConnection &connection, TDbTransaction &transaction, int autoId, double amount)
{
    TDbQuery raise(connection,
                   "UPDATE AUTO SET SUMMA_KREDIT = COALESCE(SUMMA_KREDIT, 0) + :summa_ WHERE ID = :autoId_",
                   &transaction);
    raise.Bind("summa_", amount).Bind("autoId_", autoId).Execute();
}

} // namespace

int TDModule::AddPayment(PPayment APayment)
{
    try {
        // The payment and the raise of the vehicle's total are one change, so
        // the total always equals the sum of the stored payments.
        TDbTransaction transaction(FConnection, ReadOnly, NoWait);
        TDbQuery insert(FConnection,
                        "INSERT INTO PAYMENTS (ID_AUTO, SUMMA, ID_TARIF, PERIOD, PERIOD_TYPE, PRICE, VOLUME, "
                        "MINUTES_START, MINUTES, COMMENTS, CREATED_BY, CREATED_TIME) "
                        "VALUES (:autoId_, :summa_, :tarifId_, :period_, :periodType_, :price_, :volume_, "
                        ":minutesStart_, :minutes_, :comments_, :createdBy_, :createdTime_) RETURNING ID",
                        &transaction);
        BindPaymentValues(insert, *APayment);
        insert.Bind("autoId_", APayment->AutoId)
            .Bind("createdBy_", CurrentUser.Id)
            .BindDateTime("createdTime_", Now())
            .Execute();
        const int id = insert.AsInt("ID");
        RaiseCredit(FConnection, transaction, APayment->AutoId, APayment->Summa);
        transaction.Commit();
        return id;
    } catch (const TDbError &) {
        return 0;
    }
}

bool TDModule::UpdatePayment(PPayment APayment)
{
    try {
        // The payment stays the vehicle's; a changed amount moves the
        // vehicle's total by the difference.
        TDbTransaction transaction(FConnection, ReadOnly, NoWait);
        TDbQuery old(FConnection, "SELECT ID_AUTO, SUMMA FROM PAYMENTS WHERE ID = :paymentId_ WITH LOCK",
                     &transaction);
        old.Bind("paymentId_", APayment->Id).Open();
        if (!old.Next())
            return false;
        const int autoId = old.AsInt("ID_AUTO");
        const double oldSumma = old.AsDouble("SUMMA");
        old.Close();
        TDbQuery update(FConnection,
                        "UPDATE PAYMENTS SET SUMMA = :summa_, ID_TARIF = :tarifId_, PERIOD = :period_, "
                        "PERIOD_TYPE = :periodType_, PRICE = :price_, VOLUME = :volume_, "
                        "MINUTES_START = :minutesStart_, MINUTES = :minutes_, COMMENTS = :comments_ "
                        "WHERE ID = :paymentId_",
                        &transaction);
        BindPaymentValues(update, *APayment);
        update.Bind("paymentId_", APayment->Id);
        if (update.Execute() == 0)
            return false;
        if (APayment->Summa != oldSumma)
            RaiseCredit(FConnection, transaction, autoId, APayment->Summa - oldSumma);
        transaction.Commit();
        return true;
    } catch (const TDbError &) {
        return false;
    }
}

TPayment TDModule::GetPaymentById(int APaymentId)
{
    TDbQuery query(FConnection, QString(PaymentSelect) + "WHERE PAYMENTS.ID = :paymentId_");
    query.Bind("paymentId_", APaymentId).Open();
    return query.Next() ? ReadPayment(query) : TPayment();
}

TPaymentList TDModule::GetPaymentList(const QString &AFilter)
{
    TDbQuery query(FConnection, QString(PaymentSelect)
                                    + QString("WHERE 1 = 1\n%1\n").arg(AFilter));
    query.Open();
    TPaymentList payments;
    while (query.Next()) {
        TPayment payment = ReadPayment(query);
        payment.Gosnomer = query.AsString("GOSNOMER");
        payment.Model = query.AsString("MODEL");
        payment.Color = query.AsString("COLOR");
        payments.append(std::move(payment));
    }
    SortByMoment(payments, [](const TPayment &p) { return p.PayTime; }, false);
    return payments;
}

bool TDModule::AddDebtPaymentToStay(int AAutoId, int APaymentId, int AActionId, int AMinutes, double ASumma)
{
    try {
        // The link and both totals of the stay are one change; the totals are
        // raised in the statement itself, so nothing read earlier is written
        // back over another desk's raise.
        TDbTransaction transaction(FConnection, ReadOnly, NoWait);
        TDbQuery link(FConnection,
                      "INSERT INTO AUTO_PAYMENT (ID_AUTO, ID_PAYMENT, ID_AUTO_ACTION) "
                      "VALUES (:autoId_, :paymentId_, :actionId_)",
                      &transaction);
        link.Bind("autoId_", AAutoId).Bind("paymentId_", APaymentId).Bind("actionId_", AActionId).Execute();
        TDbQuery raise(FConnection,
                       "UPDATE AUTO_ACTION SET SUMMA = COALESCE(SUMMA, 0) + :summaPaied_, "
                       "MINUTES_PAIED = COALESCE(MINUTES_PAIED, 0) + :minutesPaied_ WHERE ID = :actionId_",
                       &transaction);
        raise.Bind("summaPaied_", ASumma).Bind("minutesPaied_", AMinutes).Bind("actionId_", AActionId);
        if (raise.Execute() == 0)
            return false;
        transaction.Commit();
        return true;
    } catch (const TDbError &) {
        return false;
    }
}
