// Places with their occupancy, and tariffs, on a real database file.
#include <QTest>

#include "data/UnitData.h"
#include "tests/support/StoreRows.h"
#include "tests/support/TestDb.h"

using namespace StoreRows;

class TestStorePlaces : public QObject {
    Q_OBJECT

private slots:
    void placeRoundTripAndUpdate()
    {
        TTestDb db;
        db.OpenDataModule();
        TPlace place;
        place.Name = "А-01";
        place.Comments = "у 'въезда'";
        place.IsActive = true;
        const int id = DModule->AddPlace(&place);
        QVERIFY(id > 0);
        TPlace read = DModule->GetPlaceById(id);
        QCOMPARE(read.Id, id);
        QCOMPARE(read.Name, QString("А-01"));
        QCOMPARE(read.Comments, QString("у 'въезда'"));
        QVERIFY(read.IsActive);
        QVERIFY(!read.IsBusy);
        QCOMPARE(read.Gosnomer, QString());

        read.Name = "А-02";
        read.IsActive = false;
        QVERIFY(DModule->UpdatePlace(&read));
        const TPlace updated = DModule->GetPlaceById(id);
        QCOMPARE(updated.Name, QString("А-02"));
        QVERIFY(!updated.IsActive);
        // Two places of the same name are two rows with their own ids.
        QVERIFY(AddPlace("А-02") != id);
    }

    void placeFailuresAndNotFound()
    {
        TTestDb db;
        db.OpenDataModule();
        TPlace tooLong;
        tooLong.Name = QString(101, 'x');
        QCOMPARE(DModule->AddPlace(&tooLong), 0);
        QCOMPARE(Scalar("SELECT COUNT(*) FROM PLACES"), QString("0"));
        TPlace missing;
        missing.Id = 999;
        missing.Name = "нет";
        QVERIFY(!DModule->UpdatePlace(&missing));
        const int id = AddPlace("Б-1");
        tooLong.Id = id;
        QVERIFY(!DModule->UpdatePlace(&tooLong));
        QCOMPARE(DModule->GetPlaceById(id).Name, QString("Б-1"));
        const TPlace none = DModule->GetPlaceById(999);
        QCOMPARE(none.Id, 0);
        QVERIFY(none.Name.isEmpty());
    }

    void occupancyComesFromTheNewestStayOnly()
    {
        TTestDb db;
        db.OpenDataModule();
        const int car1 = AddAuto("А111АА77");
        const int car2 = AddAuto("В222ВВ77");
        const int busy = AddPlace("1");
        const int olderOpen = AddPlace("2");
        const int empty = AddPlace("3");
        const int closed = AddPlace("4");
        // Newest stay open: busy with that vehicle, whatever came before.
        AddStay(car1, busy, MinutesAgo(600), 2, MinutesAgo(500));
        AddStay(car2, busy, MinutesAgo(60), 0);
        // An older stay still open under a newer closed one: free.
        AddStay(car1, olderOpen, MinutesAgo(300), 0);
        AddStay(car2, olderOpen, MinutesAgo(200), 2, MinutesAgo(100));
        AddStay(car1, closed, MinutesAgo(90), 2, MinutesAgo(30));

        const TPlace b = DModule->GetPlaceById(busy);
        QVERIFY(b.IsBusy);
        QCOMPARE(b.Gosnomer, QString("В222ВВ77"));
        QVERIFY(!DModule->GetPlaceById(olderOpen).IsBusy);
        QVERIFY(!DModule->GetPlaceById(empty).IsBusy);
        QVERIFY(!DModule->GetPlaceById(closed).IsBusy);

        const TPlaceList list = DModule->GetPlaceList(false);
        QCOMPARE(list.size(), 4);
        QCOMPARE(list[0].Id, busy);
        QVERIFY(list[0].IsBusy);
        QCOMPARE(list[0].Gosnomer, QString("В222ВВ77"));
        QVERIFY(!list[1].IsBusy);
        QVERIFY(list[1].Gosnomer.isEmpty());

        QList<int> free;
        for (const TPlace &p : DModule->GetPlaceFreeList()) {
            free << p.Id;
            QVERIFY(!p.IsActive && !p.IsBusy && p.Gosnomer.isEmpty());
        }
        QCOMPARE(free, QList<int>({olderOpen, empty, closed}));
    }

    void newestIsByCreationTimeNotByInTime()
    {
        TTestDb db;
        db.OpenDataModule();
        const int car = AddAuto("С333СС77");
        const int place = AddPlace("1");
        // Written later but with an earlier check-in moment: still the newest.
        AddStay(car, place, MinutesAgo(100), 2, MinutesAgo(90), MinutesAgo(50));
        AddStay(car, place, MinutesAgo(40), 0, 0, MinutesAgo(60));
        QVERIFY(!DModule->GetPlaceById(place).IsBusy);
        QCOMPARE(DModule->GetPlaceFreeList().size(), 1);
    }

    void stayOfAMissingVehicleCountsOnlyForTheFreeList()
    {
        TTestDb db;
        db.OpenDataModule();
        const int car = AddAuto("Е444ЕЕ77");
        const int place = AddPlace("1");
        AddStay(car, place, MinutesAgo(100), 0);
        AddStay(4242, place, MinutesAgo(50), 2, MinutesAgo(40));
        // Occupancy joins the vehicle: the newest stay with a vehicle is open.
        const TPlace p = DModule->GetPlaceById(place);
        QVERIFY(p.IsBusy);
        QCOMPARE(p.Gosnomer, QString("Е444ЕЕ77"));
        // The free list looks at the newest stay without the vehicle.
        QCOMPARE(DModule->GetPlaceFreeList().size(), 1);
    }

    void inactiveAndDeletedPlaces()
    {
        TTestDb db;
        db.OpenDataModule();
        const int car = AddAuto("К555КК77");
        const int active = AddPlace("1");
        const int inactiveBusy = AddPlace("2", false);
        const int inactiveFree = AddPlace("3", false);
        const int deleted = AddPlace("4");
        const int nullFlag = AddPlace("5");
        AddStay(car, inactiveBusy, MinutesAgo(10), 0);
        Exec(QString("UPDATE PLACES SET IS_DELETED = NULL WHERE ID = %1").arg(nullFlag));
        CurrentUser.Id = 7;
        DModule->DeletePlaceById(deleted);
        QCOMPARE(Scalar(QString("SELECT DELETED_BY FROM PLACES WHERE ID = %1").arg(deleted)), QString("7"));
        QVERIFY(!Scalar(QString("SELECT DELETED_TIME FROM PLACES WHERE ID = %1").arg(deleted)).isEmpty());

        QList<int> all, activeOnly, free;
        for (const TPlace &p : DModule->GetPlaceList(false))
            all << p.Id;
        for (const TPlace &p : DModule->GetPlaceList(true))
            activeOnly << p.Id;
        for (const TPlace &p : DModule->GetPlaceFreeList())
            free << p.Id;
        QCOMPARE(all, QList<int>({active, inactiveBusy, inactiveFree, nullFlag}));
        QCOMPARE(activeOnly, QList<int>({active, nullFlag}));
        QCOMPARE(free, QList<int>({active, nullFlag}));
        QVERIFY(DModule->GetPlaceList(false)[1].IsBusy);
        // Found by id only.
        QCOMPARE(DModule->GetPlaceById(deleted).Id, deleted);
    }

    void tariffRoundTrip()
    {
        TTestDb db;
        db.OpenDataModule();
        CurrentUser.Id = 3;
        TTarif tarif;
        tarif.Name = "Сутки";
        tarif.Comments = "круглосуточно";
        tarif.Price = 850.5;
        tarif.Period = 1;
        tarif.PeriodType = 5;
        tarif.StartDate = DateFromQt(QDate(2024, 1, 1));
        tarif.StopDate = DateFromQt(QDate(2024, 12, 31));
        tarif.StartTime = TimeFromQt(QTime(8, 0));
        tarif.StopTime = TimeFromQt(QTime(20, 30));
        tarif.IsActive = true;
        tarif.Count = 5;
        const TDateTime before = Now();
        const int id = DModule->AddTarif(&tarif);
        QVERIFY(id > 0);
        TTarif read = DModule->GetTarifById(id);
        QCOMPARE(read.Id, id);
        QCOMPARE(read.Name, QString("Сутки"));
        QCOMPARE(read.Comments, QString("круглосуточно"));
        QCOMPARE(read.Price, 850.5);
        QCOMPARE(read.Period, 1);
        QCOMPARE(read.PeriodType, 5);
        QCOMPARE(DateToQt(read.StartDate), QDate(2024, 1, 1));
        QCOMPARE(DateToQt(read.StopDate), QDate(2024, 12, 31));
        QCOMPARE(TimeToQt(read.StartTime), QTime(8, 0));
        QCOMPARE(TimeToQt(read.StopTime), QTime(20, 30));
        QVERIFY(read.UpdatedTime >= before - 1.0 / 86400000);
        QCOMPARE(read.UpdatedByUserId, 3);
        QVERIFY(read.IsActive);
        QCOMPARE(read.Count, 0);

        read.Price = 900;
        read.IsActive = false;
        QVERIFY(DModule->UpdateTarif(&read));
        QCOMPARE(DModule->GetTarifById(id).Price, 900.0);
        TTarif missing = read;
        missing.Id = 999;
        QVERIFY(!DModule->UpdateTarif(&missing));
        TTarif bad = read;
        bad.Name = QString(101, 'x');
        QVERIFY(!DModule->UpdateTarif(&bad));
        QCOMPARE(DModule->AddTarif(&bad), 0);
        QCOMPARE(DModule->GetTarifById(999).Id, 0);
    }

    void tariffLists()
    {
        TTestDb db;
        db.OpenDataModule();
        const int b = AddTarif("Б", 10, 1, 2);
        const int a = AddTarif("А", 10, 1, 2);
        TTarif inactive;
        inactive.Name = "В";
        inactive.IsActive = false;
        const int c = DModule->AddTarif(&inactive);
        const int d = AddTarif("Г", 10, 1, 2);
        DModule->DeleteTarifById(d);
        QList<int> all, active;
        for (const TTarif &t : DModule->GetTarifList(false))
            all << t.Id;
        for (const TTarif &t : DModule->GetTarifList(true))
            active << t.Id;
        QCOMPARE(all, QList<int>({a, b, c}));
        QCOMPARE(active, QList<int>({a, b}));
        QCOMPARE(DModule->GetTarifById(d).Id, d);
    }
};

QTEST_GUILESS_MAIN(TestStorePlaces)
#include "test_store_places.moc"
