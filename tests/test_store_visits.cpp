// Check-in and check-out of stays and the lists of stays, on a real database
// file.
#include <QTest>

#include "data/UnitData.h"
#include "tests/support/StoreRows.h"
#include "tests/support/TestDb.h"

using namespace StoreRows;

namespace {

TPayment StoredPayment(int autoId, int minutes)
{
    TPayment payment;
    payment.AutoId = autoId;
    payment.Summa = 100;
    payment.Tarif.Id = 1;
    payment.Minutes = payment.MinutesStart = minutes;
    payment.Id = DModule->AddPayment(&payment);
    return payment;
}

int StoredMinutes(int paymentId)
{
    return Scalar(QString("SELECT MINUTES FROM PAYMENTS WHERE ID = %1").arg(paymentId)).toInt();
}

} // namespace

class TestStoreVisits : public QObject {
    Q_OBJECT

private slots:
    void startVisitWritesStayDrawsOnPaymentAndLinks()
    {
        TTestDb db;
        db.OpenDataModule();
        CurrentUser.Id = 4;
        TAuto car;
        car.Id = AddAuto("А1");
        TPlace place = DModule->GetPlaceById(AddPlace("1"));
        TPayment payment = StoredPayment(car.Id, 3000);
        const TDateTime before = Now();
        QVERIFY(DModule->StartVisit(&car, &place, &payment, 3000));
        const TVisit stay = DModule->GetAutoLastVisit(car.Id);
        QVERIFY(stay.Id > 0);
        QCOMPARE(stay.AutoId, car.Id);
        QCOMPARE(stay.OutStatus, 0);
        QCOMPARE(stay.OutTime, 0.0);
        QCOMPARE(stay.ManagerId, 4);
        QCOMPARE(stay.CreatedTime, stay.InTime);
        QVERIFY(stay.InTime >= before - 1.0 / 86400000 && stay.InTime <= Now());
        QCOMPARE(Scalar(QString("SELECT ID_PLACE || ' ' || ID_PAYMENT || ' ' || MINUTES_PAIED || ' ' || ACTION_TYPE "
                                "FROM AUTO_ACTION WHERE ID = %1").arg(stay.Id)),
                 QString("%1 %2 3000 1").arg(place.Id).arg(payment.Id));
        // One subtraction of a day, not a remainder.
        QCOMPARE(StoredMinutes(payment.Id), 1560);
        QCOMPARE(Scalar("SELECT ID_AUTO || ' ' || ID_PAYMENT || ' ' || ID_AUTO_ACTION FROM AUTO_PAYMENT"),
                 QString("%1 %2 %3").arg(car.Id).arg(payment.Id).arg(stay.Id));
        const TAuto read = DModule->GetAutoById(car.Id);
        QCOMPARE(read.ActionId, stay.Id);
        QCOMPARE(read.Place.Id, place.Id);
        QVERIFY(read.Place.IsBusy);
        QCOMPARE(read.Payments.size(), 1);
    }

    void drawingOfOneDay_data()
    {
        QTest::addColumn<int>("minutes");
        QTest::addColumn<int>("kept");
        QTest::newRow("less than a day is kept") << 1439 << 1439;
        QTest::newRow("one day") << 1440 << 0;
        QTest::newRow("two days") << 2880 << 1440;
        QTest::newRow("a month") << 43200 << 41760;
        QTest::newRow("1000") << 1000 << 1000;
    }

    void drawingOfOneDay()
    {
        QFETCH(int, minutes);
        QFETCH(int, kept);
        TTestDb db;
        db.OpenDataModule();
        TAuto car;
        car.Id = AddAuto("А1");
        TPayment payment = StoredPayment(car.Id, 99999);
        // The record handed in decides, not the stored value.
        payment.Minutes = minutes;
        QVERIFY(DModule->StartVisit(&car, nullptr, &payment, 0));
        QCOMPARE(StoredMinutes(payment.Id), kept);
    }

    void startVisitWithoutPaymentOrPlace()
    {
        TTestDb db;
        db.OpenDataModule();
        TAuto car;
        car.Id = AddAuto("А1");
        TPayment notStored;
        notStored.Minutes = 2000;
        QVERIFY(DModule->StartVisit(&car, nullptr, &notStored, 0));
        QCOMPARE(Scalar("SELECT ID_PLACE || ' ' || ID_PAYMENT FROM AUTO_ACTION"), QString("0 0"));
        QCOMPARE(Scalar("SELECT COUNT(*) FROM AUTO_PAYMENT"), QString("0"));
        QCOMPARE(Scalar("SELECT COUNT(*) FROM PAYMENTS"), QString("0"));
        // A stay without place is not in the list of all stays.
        QCOMPARE(DModule->GetAllAutoVisitList(QString()).size(), 0);
    }

    void startVisitRefusals()
    {
        TTestDb db;
        db.OpenDataModule();
        TPlace place = DModule->GetPlaceById(AddPlace("1"));
        QVERIFY(!DModule->StartVisit(nullptr, &place, nullptr, 0));
        TAuto nobody;
        QVERIFY(!DModule->StartVisit(&nobody, &place, nullptr, 0));
        QCOMPARE(Scalar("SELECT COUNT(*) FROM AUTO_ACTION"), QString("0"));

        TAuto first, second;
        first.Id = AddAuto("А1");
        second.Id = AddAuto("А2");
        QVERIFY(DModule->StartVisit(&first, &place, nullptr, 0));
        // The place's newest stay is open: a second check-in is refused and
        // leaves the payment untouched.
        TPayment payment = StoredPayment(second.Id, 2000);
        QVERIFY(!DModule->StartVisit(&second, &place, &payment, 60));
        QCOMPARE(Scalar("SELECT COUNT(*) FROM AUTO_ACTION"), QString("1"));
        QCOMPARE(StoredMinutes(payment.Id), 2000);
        QCOMPARE(Scalar("SELECT COUNT(*) FROM AUTO_PAYMENT"), QString("0"));
        QVERIFY(DModule->StopVisit(&first, QString()));
        QVERIFY(DModule->StartVisit(&second, &place, &payment, 60));
    }

    void startVisitFailsWhileAnotherDeskHoldsThePlace()
    {
        TTestDb db;
        db.OpenDataModule();
        TPlace place = DModule->GetPlaceById(AddPlace("1"));
        TAuto car;
        car.Id = AddAuto("А1");
        TDbConnection otherDesk;
        otherDesk.Open(db.DatabaseFile(), "SYSDBA", "gravelpit");
        {
            TDbTransaction checkIn(otherDesk);
            TDbQuery lock(otherDesk, "SELECT ID FROM PLACES WHERE ID = :id_ WITH LOCK", &checkIn);
            lock.Bind("id_", place.Id).Open();
            QVERIFY(lock.Next());
            QVERIFY(!DModule->StartVisit(&car, &place, nullptr, 0));
            QCOMPARE(Scalar("SELECT COUNT(*) FROM AUTO_ACTION"), QString("0"));
        }
        QVERIFY(DModule->StartVisit(&car, &place, nullptr, 0));
    }

    void stopVisitClosesTheNewestOpenStay()
    {
        TTestDb db;
        db.OpenDataModule();
        TAuto car;
        car.Id = AddAuto("А1");
        const int place = AddPlace("1");
        const int older = AddStay(car.Id, place, MinutesAgo(300), 0);
        const int newest = AddStay(car.Id, place, MinutesAgo(100), 0);
        QVERIFY(DModule->StopVisit(&car, "выезд"));
        QCOMPARE(Scalar(QString("SELECT ACTION_TYPE2 || ' ' || COMMENTS FROM AUTO_ACTION WHERE ID = %1").arg(newest)),
                 QString("2 выезд"));
        QVERIFY(!Scalar(QString("SELECT OUT_TIME FROM AUTO_ACTION WHERE ID = %1").arg(newest)).isEmpty());
        QCOMPARE(Scalar(QString("SELECT ACTION_TYPE2 FROM AUTO_ACTION WHERE ID = %1").arg(older)), QString("0"));
        // The newest stay is closed now: nothing more to close.
        QVERIFY(!DModule->StopVisit(&car, QString()));
        QCOMPARE(DModule->GetAutoCurrentVisits(car.Id).size(), 1);
        QCOMPARE(DModule->GetAutoCurrentVisits(car.Id)[0].Id, older);
    }

    void stopVisitRefusals()
    {
        TTestDb db;
        db.OpenDataModule();
        QVERIFY(!DModule->StopVisit(nullptr, QString()));
        TAuto never;
        never.Id = AddAuto("А1");
        QVERIFY(!DModule->StopVisit(&never, QString()));
        TAuto missing;
        missing.Id = 777;
        QVERIFY(!DModule->StopVisit(&missing, QString()));
    }

    void stopVisitClosesOnlyAStayThatIsStillOpen()
    {
        TTestDb db;
        db.OpenDataModule();
        TAuto car;
        car.Id = AddAuto("А1");
        // A null state reads as 0 in the newest stay, but the stay is not open:
        // the guarded update changes nothing and says so.
        Exec("ALTER TABLE AUTO_ACTION ALTER COLUMN ACTION_TYPE2 DROP NOT NULL");
        const int stay = AddStay(car.Id, AddPlace("1"), MinutesAgo(100), 0);
        Exec(QString("UPDATE AUTO_ACTION SET ACTION_TYPE2 = NULL WHERE ID = %1").arg(stay));
        QCOMPARE(DModule->GetAutoLastVisit(car.Id).OutStatus, 0);
        QVERIFY(!DModule->StopVisit(&car, "выезд"));
        QVERIFY(Scalar(QString("SELECT OUT_TIME FROM AUTO_ACTION WHERE ID = %1").arg(stay)).isEmpty());
        QVERIFY(Scalar(QString("SELECT COMMENTS FROM AUTO_ACTION WHERE ID = %1").arg(stay)).isEmpty());
    }

    void lastAndCurrentVisits()
    {
        TTestDb db;
        db.OpenDataModule();
        const int car = AddAuto("А1");
        QCOMPARE(DModule->GetAutoLastVisit(car).Id, 0);
        QVERIFY(DModule->GetAutoCurrentVisits(car).isEmpty());
        const int place = AddPlace("1");
        AddStay(car, place, MinutesAgo(500), 2, MinutesAgo(400));
        const int open1 = AddStay(car, place, MinutesAgo(300), 0);
        const int open2 = AddStay(car, place, MinutesAgo(200), 0);
        const TVisitList current = DModule->GetAutoCurrentVisits(car);
        QCOMPARE(current.size(), 2);
        QCOMPARE(current[0].Id, open2);
        QCOMPARE(current[1].Id, open1);
        QCOMPARE(DModule->GetAutoLastVisit(car).Id, open2);
        TAuto a;
        a.Id = car;
        QVERIFY(DModule->StopVisit(&a, QString()));
        QVERIFY(DModule->StopVisit(&a, QString()) == false);
        QCOMPARE(DModule->GetAutoCurrentVisits(car).size(), 1);
    }

    void allVisitsNewestFirstTiesByIdUndatedLast()
    {
        TTestDb db;
        db.OpenDataModule();
        const int car = AddAuto("А1");
        const int place = AddPlace("1");
        const QList<QPair<int, QString>> rows = {
            {50, "'2024-03-01 10:00:00'"}, {40, "'2024-03-01 10:00:00'"}, {60, "NULL"}, {30, "'2024-03-01 11:00:00'"}};
        for (const auto &[id, moment] : rows)
            Exec(QString("INSERT INTO AUTO_ACTION (ID, ID_AUTO, ACTION_TYPE, ACTION_TYPE2, ID_PLACE, IN_TIME, "
                         "CREATED_TIME) VALUES (%1, %2, 1, 2, %3, '2024-03-01 09:00:00', %4)")
                     .arg(id)
                     .arg(car)
                     .arg(place)
                     .arg(moment));
        QList<int> ids;
        for (const TVisit &v : DModule->GetAllAutoVisitList(QString()))
            ids << v.Id;
        QCOMPARE(ids, QList<int>({30, 50, 40, 60}));
    }

    void allVisitsList()
    {
        TTestDb db;
        db.OpenDataModule();
        const int car = AddAuto("А1");
        const int gone = AddAuto("А2");
        const int place = AddPlace("Место 1");
        const int first = AddStay(car, place, At(2024, 3, 1, 10, 0), 2, At(2024, 3, 1, 12, 0), 0, 0, 120);
        Exec(QString("UPDATE AUTO_ACTION SET SUMMA = 250.5, COMMENTS = 'ок' WHERE ID = %1").arg(first));
        const int second = AddStay(car, place, At(2024, 3, 2, 10, 0), 0);
        AddStay(car, 0, At(2024, 3, 3, 10, 0), 0);
        AddStay(car, 999, At(2024, 3, 4, 10, 0), 0);
        AddStay(gone, place, At(2024, 3, 5, 10, 0), 2, At(2024, 3, 5, 11, 0));
        Exec(QString("DELETE FROM AUTO WHERE ID = %1").arg(gone));
        Exec(QString("INSERT INTO AUTO_ACTION (ID_AUTO, ACTION_TYPE, ID_PLACE, CREATED_TIME) VALUES (%1, 3, %2, "
                     "CURRENT_TIMESTAMP)").arg(car).arg(place));

        const TVisitList list = DModule->GetAllAutoVisitList(QString());
        QCOMPARE(list.size(), 2);
        QCOMPARE(list[0].Id, second);
        QCOMPARE(list[0].Summa, 0.0);
        QCOMPARE(list[0].OutTime, 0.0);
        QCOMPARE(list[1].Id, first);
        QCOMPARE(list[1].AutoId, car);
        QCOMPARE(list[1].Gosnomer, QString("А1"));
        QCOMPARE(list[1].PlaceName, QString("Место 1"));
        QCOMPARE(list[1].InTime, At(2024, 3, 1, 10, 0));
        QCOMPARE(list[1].OutTime, At(2024, 3, 1, 12, 0));
        QCOMPARE(list[1].OutStatus, 2);
        QCOMPARE(list[1].MinutesPaied, 120);
        QCOMPARE(list[1].Summa, 250.5);
        QCOMPARE(list[1].Comments, QString("ок"));
        QCOMPARE(list[1].ManagerId, 1);
        QCOMPARE(list[1].PlaceId, 0);

        // Filters as the callers write them: qualified by table name.
        QCOMPARE(DModule->GetAllAutoVisitList(QString(" AND (AUTO.ID = %1) ").arg(car)).size(), 2);
        QCOMPARE(DModule->GetAllAutoVisitList(" AND AUTO_ACTION.IN_TIME >= '2024-03-02 00:00:00' "
                                              "AND AUTO_ACTION.OUT_TIME IS NULL").size(), 1);
        QCOMPARE(DModule->GetAllAutoVisitList(" AND PAYMENTS.ID IS NULL").size(), 2);
        QVERIFY_THROWS_EXCEPTION(TDbError, DModule->GetAllAutoVisitList(" AND BROKEN("));
    }
};

QTEST_GUILESS_MAIN(TestStoreVisits)
#include "test_store_visits.moc"
