// Payments, the vehicle's running total and the debt payment of a stay, on a
// real database file.
#include <QTest>

#include "data/UnitData.h"
#include "operations/PaidTime.h"
#include "tests/support/StoreRows.h"
#include "tests/support/TestDb.h"

using namespace StoreRows;

namespace {

TPayment Payment(int autoId, double summa, const TTarif &tarif = TTarif(), int count = 1)
{
    return BuildPayment(autoId, tarif, count, summa, QString(), false);
}

double Credit(int autoId)
{
    return Scalar(QString("SELECT SUMMA_KREDIT FROM AUTO WHERE ID = %1").arg(autoId)).toDouble();
}

} // namespace

class TestStorePayments : public QObject {
    Q_OBJECT

private slots:
    void addAndReadBack()
    {
        TTestDb db;
        db.OpenDataModule();
        CurrentUser.Id = 8;
        const int car = AddAuto("А1");
        const TTarif hour = DModule->GetTarifById(AddTarif("Час", 120, 1, 2));
        TPayment p = BuildPayment(car, hour, 3, 360, "наличные", false);
        const TDateTime before = Now();
        p.Id = DModule->AddPayment(&p);
        QVERIFY(p.Id > 0);
        const TPayment read = DModule->GetPaymentById(p.Id);
        QCOMPARE(read.Id, p.Id);
        QCOMPARE(read.AutoId, car);
        QCOMPARE(read.Summa, 360.0);
        QCOMPARE(read.Tarif.Id, hour.Id);
        QCOMPARE(read.Tarif.Name, QString("Час"));
        QCOMPARE(read.Tarif.Period, 1);
        QCOMPARE(read.Tarif.PeriodType, 2);
        QCOMPARE(read.Tarif.Price, 120.0);
        QCOMPARE(read.Count, 3);
        QCOMPARE(read.MinutesStart, 60);
        QCOMPARE(read.Minutes, 60);
        QCOMPARE(read.Comments, QString("наличные"));
        QCOMPARE(read.ManagerId, 8);
        QVERIFY(read.PayTime >= before - 1.0 / 86400000 && read.PayTime <= Now());
        QCOMPARE(read.TarifId, 0);
        QVERIFY(read.Gosnomer.isEmpty() && read.Model.isEmpty() && read.Color.isEmpty());
        QCOMPARE(DModule->GetPaymentById(p.Id + 100).Id, 0);
    }

    void runningTotalFollowsStoredPaymentsOnly()
    {
        TTestDb db;
        db.OpenDataModule();
        const int car = AddAuto("А1");
        TPayment a = Payment(car, 100), b = Payment(car, 50);
        QVERIFY(DModule->AddPayment(&a) > 0);
        QVERIFY(DModule->AddPayment(&b) > 0);
        QCOMPARE(Credit(car), 150.0);
        // A payment that cannot be stored does not raise the total.
        TPayment bad = Payment(car, 1000);
        bad.Comments = QString(1001, 'x');
        QCOMPARE(DModule->AddPayment(&bad), 0);
        QCOMPARE(Credit(car), 150.0);
        QCOMPARE(Scalar("SELECT COUNT(*) FROM PAYMENTS"), QString("2"));
        QCOMPARE(Scalar(QString("SELECT SUM(SUMMA) FROM PAYMENTS WHERE ID_AUTO = %1").arg(car)).toDouble(), 150.0);
    }

    void tariffChangesDoNotAlterStoredPayments()
    {
        TTestDb db;
        db.OpenDataModule();
        const int car = AddAuto("А1");
        TTarif day = DModule->GetTarifById(AddTarif("Сутки", 900, 1, 5));
        TPayment p = BuildPayment(car, day, 1, 900, QString(), false);
        p.Id = DModule->AddPayment(&p);
        day.Price = 1500;
        day.Period = 2;
        day.Name = "Сутки+";
        QVERIFY(DModule->UpdateTarif(&day));
        const TPayment read = DModule->GetPaymentById(p.Id);
        QCOMPARE(read.Tarif.Price, 900.0);
        QCOMPARE(read.Tarif.Period, 1);
        // The name is the tariff's current one, also once it is deleted.
        QCOMPARE(read.Tarif.Name, QString("Сутки+"));
        DModule->DeleteTarifById(day.Id);
        QCOMPARE(DModule->GetPaymentById(p.Id).Tarif.Name, QString("Сутки+"));
        TPayment none = Payment(car, 10);
        none.Id = DModule->AddPayment(&none);
        QCOMPARE(DModule->GetPaymentById(none.Id).Tarif.Name, QString());
    }

    void listOrderFiltersAndMissingVehicles()
    {
        TTestDb db;
        db.OpenDataModule();
        const int car = AddAuto("А1");
        const int other = AddAuto("Б2");
        Exec(QString("INSERT INTO PAYMENTS (ID_AUTO, SUMMA, MINUTES, CREATED_TIME) VALUES (%1, 1, 0, '2024-03-02 10:00:00')").arg(car));
        Exec(QString("INSERT INTO PAYMENTS (ID_AUTO, SUMMA, MINUTES, CREATED_TIME) VALUES (%1, 2, 60, '2024-03-01 10:00:00')").arg(other));
        Exec(QString("INSERT INTO PAYMENTS (ID_AUTO, SUMMA, MINUTES, CREATED_TIME) VALUES (%1, 3, 30, '2024-03-03 10:00:00')").arg(car));
        Exec("INSERT INTO PAYMENTS (ID_AUTO, SUMMA, MINUTES, CREATED_TIME) VALUES (999, 4, 30, '2024-03-04 10:00:00')");
        const int orphan = Scalar("SELECT MAX(ID) FROM PAYMENTS").toInt();
        QCOMPARE(DModule->GetPaymentById(orphan).Id, 0);

        const TPaymentList all = DModule->GetPaymentList(QString());
        QList<double> sums;
        for (const TPayment &p : all)
            sums << p.Summa;
        QCOMPARE(sums, QList<double>({2, 1, 3}));
        QCOMPARE(all[0].Gosnomer, QString("Б2"));
        QCOMPARE(all[0].Model, QString("Model Б2"));
        QCOMPARE(all[0].Color, QString("белый"));
        // The check-in's filter: the vehicle's payments with minutes left.
        const TPaymentList offered =
            DModule->GetPaymentList(QString(" AND (AUTO.ID = %1) ").arg(car) + " AND (PAYMENTS.MINUTES > 0)");
        QCOMPARE(offered.size(), 1);
        QCOMPARE(offered[0].Summa, 3.0);
        QCOMPARE(DModule->GetPaymentList(" AND PAYMENTS.CREATED_TIME >= '2024-03-02 00:00:00' "
                                         "AND PAYMENTS.CREATED_TIME < '2024-03-03 00:00:00'").size(), 1);
        QVERIFY_THROWS_EXCEPTION(TDbError, DModule->GetPaymentList(" AND NOPE = 1"));
    }

    void listOrderBreaksTiesByIdAndPutsUndatedFirst()
    {
        TTestDb db;
        db.OpenDataModule();
        const int car = AddAuto("А1");
        // Identifiers against the order of the moments, two equal moments and
        // one payment without a moment.
        const QList<QPair<int, QString>> rows = {
            {50, "'2024-03-01 10:00:00'"}, {40, "'2024-03-01 10:00:00'"}, {60, "NULL"}, {30, "'2024-03-01 11:00:00'"}};
        for (const auto &[id, moment] : rows)
            Exec(QString("INSERT INTO PAYMENTS (ID, ID_AUTO, SUMMA, MINUTES, CREATED_TIME) VALUES (%1, %2, 1, 0, %3)")
                     .arg(id)
                     .arg(car)
                     .arg(moment));
        QList<int> ids;
        for (const TPayment &p : DModule->GetPaymentList(QString()))
            ids << p.Id;
        QCOMPARE(ids, QList<int>({60, 40, 50, 30}));
    }

    void updateStoresEditableFieldsAndMovesTheTotal()
    {
        TTestDb db;
        db.OpenDataModule();
        const int car = AddAuto("А1");
        TPayment p = Payment(car, 500);
        p.Id = DModule->AddPayment(&p);
        const TTarif week = DModule->GetTarifById(AddTarif("Неделя", 3000, 1, 6));
        TPayment edited = BuildPayment(car, week, 2, 6000, "исправлено", false);
        edited.Id = p.Id;
        QVERIFY(DModule->UpdatePayment(&edited));
        const TPayment read = DModule->GetPaymentById(p.Id);
        QCOMPARE(read.Summa, 6000.0);
        QCOMPARE(read.Tarif.Id, week.Id);
        QCOMPARE(read.Tarif.PeriodType, 6);
        QCOMPARE(read.Tarif.Price, 3000.0);
        QCOMPARE(read.Count, 2);
        QCOMPARE(read.Minutes, 10080);
        QCOMPARE(read.MinutesStart, 10080);
        QCOMPARE(read.Comments, QString("исправлено"));
        QCOMPARE(Credit(car), 6000.0);

        TPayment missing = edited;
        missing.Id = p.Id + 10;
        QVERIFY(!DModule->UpdatePayment(&missing));
        TPayment bad = edited;
        bad.Summa = 1;
        bad.Comments = QString(1001, 'x');
        QVERIFY(!DModule->UpdatePayment(&bad));
        QCOMPARE(DModule->GetPaymentById(p.Id).Summa, 6000.0);
        QCOMPARE(Credit(car), 6000.0);
    }

    void debtPaymentRaisesTheStayTotals()
    {
        TTestDb db;
        db.OpenDataModule();
        const int car = AddAuto("А1");
        const int stay = AddStay(car, AddPlace("1"), MinutesAgo(150), 0, 0, 0, 0, 60);
        const TTarif hour = DModule->GetTarifById(AddTarif("Час", 100, 1, 2));
        TPayment debt = BuildPayment(car, hour, 2, 200, QString(), true);
        debt.Id = DModule->AddPayment(&debt);
        QVERIFY(DModule->AddDebtPaymentToStay(car, debt.Id, stay, debt.Minutes, debt.Summa));
        QCOMPARE(Scalar(QString("SELECT MINUTES_PAIED || ' ' || SUMMA FROM AUTO_ACTION WHERE ID = %1").arg(stay)),
                 QString("180 200.0000000000000"));
        QCOMPARE(Scalar("SELECT ID_AUTO || ' ' || ID_PAYMENT || ' ' || ID_AUTO_ACTION FROM AUTO_PAYMENT"),
                 QString("%1 %2 %3").arg(car).arg(debt.Id).arg(stay));
        // The debt payment keeps its own minutes as bought.
        QCOMPARE(DModule->GetPaymentById(debt.Id).Minutes, 120);
        const TAuto a = DModule->GetAutoById(car);
        QVERIFY(GetStayMinutes(a.InTime, Now()) - a.MinutesPaied <= 0);
        // A second raise adds on top of the first.
        QVERIFY(DModule->AddDebtPaymentToStay(car, debt.Id, stay, 30, 50));
        QCOMPARE(Scalar(QString("SELECT MINUTES_PAIED FROM AUTO_ACTION WHERE ID = %1").arg(stay)), QString("210"));
        // A stay that does not exist: nothing is linked.
        QVERIFY(!DModule->AddDebtPaymentToStay(car, debt.Id, stay + 50, 30, 50));
        QCOMPARE(Scalar("SELECT COUNT(*) FROM AUTO_PAYMENT"), QString("2"));
    }
};

QTEST_GUILESS_MAIN(TestStorePayments)
#include "test_store_payments.moc"
