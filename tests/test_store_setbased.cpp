// Every list costs the same number of statements whatever its length: a list
// run on 3 vehicles and on 30 runs exactly as many statements.
#include <QTest>

#include <functional>

#include "data/UnitData.h"
#include "tests/support/StoreRows.h"
#include "tests/support/TestDb.h"

using namespace StoreRows;

namespace {

struct TListRun {
    qint64 Statements;
    int Rows;
};

TListRun Run(const std::function<int()> &list)
{
    const qint64 before = TDbQuery::ExecutedCount();
    const int rows = list();
    return {TDbQuery::ExecutedCount() - before, rows};
}

// Vehicles each with a closed stay and an open one on a place of their own,
// a check-in payment and a linked debt payment.
void AddVehicles(int from, int to, int tarifId)
{
    for (int i = from; i < to; ++i) {
        const int car = AddAuto(QString("Н%1").arg(i, 3, 10, QChar('0')));
        const int place = AddPlace(QString("М%1").arg(i, 3, 10, QChar('0')));
        AddPlace(QString("С%1").arg(i, 3, 10, QChar('0')));
        TPayment payment;
        payment.AutoId = car;
        payment.Summa = 100 + i;
        payment.Tarif.Id = tarifId;
        payment.Minutes = 1500;
        payment.Id = DModule->AddPayment(&payment);
        AddStay(car, place, MinutesAgo(3000 + i), 2, MinutesAgo(2900 + i));
        TAuto a;
        a.Id = car;
        TPlace p;
        p.Id = place;
        QVERIFY(DModule->StartVisit(&a, &p, &payment, 1500));
    }
}

} // namespace

class TestStoreSetBased : public QObject {
    Q_OBJECT

private slots:
    void listsCostAFixedNumberOfStatements_data()
    {
        QTest::addColumn<QString>("list");
        for (const char *name : {"GetAutoList", "GetAutoPresentList", "GetPlaceList", "GetPlaceFreeList",
                                 "GetAllAutoVisitList", "GetPaymentList", "GetTarifList", "GetClientList"})
            QTest::newRow(name) << QString(name);
    }

    void listsCostAFixedNumberOfStatements()
    {
        QFETCH(QString, list);
        TTestDb db;
        db.OpenDataModule();
        const int tarif = AddTarif("Сутки", 900, 1, 5);
        const QHash<QString, std::function<int()>> lists = {
            {"GetAutoList", [] { return int(DModule->GetAutoList(QString()).size()); }},
            {"GetAutoPresentList",
             [] {
                 const QString nextMinute = FormatDateTime("YYYY-MM-DD HH:NN:00", Now() + 1.0 / 1440);
                 return int(DModule->GetAutoPresentList(nextMinute, QString()).size());
             }},
            {"GetPlaceList", [] { return int(DModule->GetPlaceList(false).size()); }},
            {"GetPlaceFreeList", [] { return int(DModule->GetPlaceFreeList().size()); }},
            {"GetAllAutoVisitList", [] { return int(DModule->GetAllAutoVisitList(QString()).size()); }},
            {"GetPaymentList", [] { return int(DModule->GetPaymentList(QString()).size()); }},
            {"GetTarifList", [] { return int(DModule->GetTarifList(false).size()); }},
            {"GetClientList", [] { return int(DModule->GetClientList(false, QString()).size()); }},
        };
        const auto &run = lists[list];

        AddVehicles(0, 3, tarif);
        Exec("INSERT INTO CLIENTS (LAST_NAME) VALUES ('К1')");
        const TListRun small = Run(run);
        AddVehicles(3, 30, tarif);
        for (int i = 0; i < 27; ++i)
            AddTarif(QString("Т%1").arg(i), 10, 1, 2);
        Exec("INSERT INTO CLIENTS (LAST_NAME) SELECT 'К' || ID FROM AUTO");
        const TListRun large = Run(run);

        QVERIFY2(large.Rows >= 10 * small.Rows && small.Rows > 0,
                 qPrintable(QString("%1 rows, then %2").arg(small.Rows).arg(large.Rows)));
        QCOMPARE(large.Statements, small.Statements);
        QCOMPARE(small.Statements, qint64(1));
    }

    void byIdLookupsCostAFixedNumberOfStatements()
    {
        TTestDb db;
        db.OpenDataModule();
        const int tarif = AddTarif("Сутки", 900, 1, 5);
        AddVehicles(0, 1, tarif);
        const int car = Scalar("SELECT MIN(ID) FROM AUTO").toInt();
        const TListRun few = Run([&] { return int(DModule->GetAutoById(car).Visits.size()); });
        for (int i = 0; i < 20; ++i)
            AddStay(car, 0, MinutesAgo(5000 + i), 2, MinutesAgo(4990 + i));
        const TListRun many = Run([&] { return int(DModule->GetAutoById(car).Visits.size()); });
        QCOMPARE(many.Rows, few.Rows + 20);
        QCOMPARE(many.Statements, few.Statements);
        QCOMPARE(few.Statements, qint64(3));
    }
};

QTEST_GUILESS_MAIN(TestStoreSetBased)
#include "test_store_setbased.moc"
