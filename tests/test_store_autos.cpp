// Vehicles with their current stay, the vehicles list, the presence list and
// clients, on a real database file.
#include <QTest>

#include <algorithm>
#include <functional>

#include "data/UnitData.h"
#include "tests/support/StoreRows.h"
#include "tests/support/TestDb.h"

using namespace StoreRows;

namespace {

TAuto FullVehicle()
{
    TAuto a;
    a.Gosnomer = "А123ВС77";
    a.Model = "Лада Веста";
    a.Color = "серый";
    a.OwnerPhone = "+7 900 000-00-00";
    a.OwnerFIO = "Иванов Иван Иванович";
    a.OwnerAddress = "ул. Лесная, 1";
    a.OwnerDocument = "вод. удостоверение";
    a.OWNER_SERNO = "45 06";
    a.OWNER_NUMPASSPORT = "123456";
    a.OWNER_VIDANPASSPORT = "ОВД «Центральный»";
    a.BOOLPASSPORT = true;
    a.DATAVIDAN = DateFromQt(QDate(2010, 5, 20));
    a.BOOLPRISHEP = true;
    a.NUMPRISHEP = "ВВ1234 77";
    a.Comments = "постоянный";
    return a;
}

} // namespace

class TestStoreAutos : public QObject {
    Q_OBJECT

private slots:
    void addReadUpdate()
    {
        TTestDb db;
        db.OpenDataModule();
        CurrentUser.Id = 5;
        TAuto a = FullVehicle();
        const int id = DModule->AddAuto(&a);
        QVERIFY(id > 0);
        QCOMPARE(Scalar(QString("SELECT CREATED_BY FROM AUTO WHERE ID = %1").arg(id)), QString("5"));
        TAuto read = DModule->GetAutoById(id);
        QCOMPARE(read.Id, id);
        QCOMPARE(read.Gosnomer, a.Gosnomer);
        QCOMPARE(read.Model, a.Model);
        QCOMPARE(read.Color, a.Color);
        QCOMPARE(read.OwnerPhone, a.OwnerPhone);
        QCOMPARE(read.OwnerFIO, a.OwnerFIO);
        QCOMPARE(read.OwnerAddress, a.OwnerAddress);
        QCOMPARE(read.OwnerDocument, a.OwnerDocument);
        QCOMPARE(read.OWNER_SERNO, a.OWNER_SERNO);
        QCOMPARE(read.OWNER_NUMPASSPORT, a.OWNER_NUMPASSPORT);
        QCOMPARE(read.OWNER_VIDANPASSPORT, a.OWNER_VIDANPASSPORT);
        QVERIFY(read.BOOLPASSPORT);
        QCOMPARE(DateToQt(read.DATAVIDAN), QDate(2010, 5, 20));
        QVERIFY(read.BOOLPRISHEP);
        QCOMPARE(read.NUMPRISHEP, a.NUMPRISHEP);
        QCOMPARE(read.Comments, a.Comments);
        // Not on the car park.
        QCOMPARE(read.Place.Id, 0);
        QCOMPARE(read.InTime, 0.0);
        QCOMPARE(read.MinutesPaied, 0);
        QCOMPARE(read.PaimentId, 0);
        QCOMPARE(read.ActionId, 0);

        read.Gosnomer = "Х999ХХ99";
        read.BOOLPASSPORT = false;
        read.DATAVIDAN = 0;
        CurrentUser.Id = 6;
        QVERIFY(DModule->UpdateAuto(&read));
        const TAuto updated = DModule->GetAutoById(id);
        QCOMPARE(updated.Gosnomer, QString("Х999ХХ99"));
        QVERIFY(!updated.BOOLPASSPORT);
        QCOMPARE(updated.DATAVIDAN, 0.0);
        QCOMPARE(Scalar(QString("SELECT UPDATED_BY FROM AUTO WHERE ID = %1").arg(id)), QString("6"));
    }

    void failuresAndNotFound()
    {
        TTestDb db;
        db.OpenDataModule();
        TAuto a = FullVehicle();
        a.OWNER_SERNO = "1234567";
        QCOMPARE(DModule->AddAuto(&a), 0);
        QCOMPARE(Scalar("SELECT COUNT(*) FROM AUTO"), QString("0"));
        TAuto good = FullVehicle();
        const int id = DModule->AddAuto(&good);
        a.Id = id;
        QVERIFY(!DModule->UpdateAuto(&a));
        QCOMPARE(DModule->GetAutoById(id).OWNER_SERNO, QString("45 06"));
        good.Id = 999;
        QVERIFY(!DModule->UpdateAuto(&good));

        // An id without a vehicle: Id 0, texts empty, yet its stays and linked
        // payments are read.
        const int place = AddPlace("1");
        const int stay = AddStay(999, place, MinutesAgo(30), 0);
        Exec(QString("INSERT INTO PAYMENTS (ID_AUTO, SUMMA, MINUTES, CREATED_TIME) VALUES (999, 10, 5, CURRENT_TIMESTAMP)"));
        Exec(QString("INSERT INTO AUTO_PAYMENT (ID_AUTO, ID_PAYMENT, ID_AUTO_ACTION) "
                     "SELECT 999, MAX(ID), %1 FROM PAYMENTS").arg(stay));
        const TAuto none = DModule->GetAutoById(999);
        QCOMPARE(none.Id, 0);
        QVERIFY(none.Gosnomer.isEmpty());
        QCOMPARE(none.Place.Id, 0);
        QCOMPARE(none.Visits.size(), 1);
        QCOMPARE(none.Visits[0].Id, stay);
        QCOMPARE(none.Payments.size(), 1);
        QCOMPARE(none.Payments[0].AutoId, 999);
        QCOMPARE(none.Payments[0].Minutes, 5);
    }

    void byIdWithCurrentStayPaymentsAndStays()
    {
        TTestDb db;
        db.OpenDataModule();
        const int car = AddAuto("М777ММ77");
        const int other = AddAuto("Н888НН77");
        const int place = AddPlace("П-7");
        const int formerPlace = AddPlace("П-8");
        const TDateTime in = MinutesAgo(45);
        const int old = AddStay(car, formerPlace, MinutesAgo(3000), 2, MinutesAgo(2900));
        Exec(QString("INSERT INTO PAYMENTS (ID_AUTO, SUMMA, ID_TARIF, MINUTES_START, MINUTES, CREATED_TIME) "
                     "VALUES (%1, 300, 4, 60, 60, CURRENT_TIMESTAMP)").arg(car));
        const int paymentId = Scalar("SELECT MAX(ID) FROM PAYMENTS").toInt();
        const int current = AddStay(car, place, in, 0, 0, 0, paymentId, 60);
        Exec(QString("INSERT INTO AUTO_PAYMENT (ID_AUTO, ID_PAYMENT, ID_AUTO_ACTION) VALUES (%1, %2, %3)")
                 .arg(car).arg(paymentId).arg(current));
        AddStay(other, formerPlace, MinutesAgo(10), 0);

        const TAuto a = DModule->GetAutoById(car);
        QCOMPARE(a.Place.Id, place);
        QCOMPARE(a.Place.Name, QString("П-7"));
        QVERIFY(a.Place.IsBusy);
        QCOMPARE(a.Place.Gosnomer, QString("М777ММ77"));
        QCOMPARE(a.InTime, in);
        QCOMPARE(a.MinutesPaied, 60);
        QCOMPARE(a.PaimentId, paymentId);
        QCOMPARE(a.ActionId, current);
        QCOMPARE(a.SummaPaied, 0.0);
        QCOMPARE(a.Payments.size(), 1);
        QCOMPARE(a.Payments[0].Id, paymentId);
        QCOMPARE(a.Payments[0].TarifId, 4);
        QCOMPARE(a.Payments[0].Summa, 300.0);
        QCOMPARE(a.Payments[0].MinutesStart, 60);
        QCOMPARE(a.Visits.size(), 2);
        QCOMPARE(a.Visits[0].Id, old);
        QCOMPARE(a.Visits[0].PlaceId, formerPlace);
        QVERIFY(a.Visits[0].OutTime > 0);
        QCOMPARE(a.Visits[1].Id, current);
        QCOMPARE(a.Visits[1].OutTime, 0.0);
    }

    void softDeletedVehicleIsNeverReturned()
    {
        TTestDb db;
        db.OpenDataModule();
        const int kept = AddAuto("А1");
        const int gone = AddAuto("А2");
        Exec(QString("UPDATE AUTO SET IS_DELETED = 1 WHERE ID = %1").arg(gone));
        QCOMPARE(DModule->GetAutoById(gone).Id, 0);
        const TAutoList list = DModule->GetAutoList(QString());
        QCOMPARE(list.size(), 1);
        QCOMPARE(list[0].Id, kept);
    }

    void listWithCurrentStayAndLatestCheckIn()
    {
        TTestDb db;
        db.OpenDataModule();
        const int parked = AddAuto("В002");
        const int leftYesterday = AddAuto("В001");
        const int twice = AddAuto("В003");
        const int never = AddAuto("В004");
        const int nullState = AddAuto("В005");
        const int p1 = AddPlace("1"), p2 = AddPlace("2"), p3 = AddPlace("3"), p4 = AddPlace("4");
        Exec(QString("INSERT INTO PAYMENTS (ID_AUTO, SUMMA, CREATED_TIME) VALUES (%1, 150, CURRENT_TIMESTAMP)").arg(parked));
        const int pay = Scalar("SELECT MAX(ID) FROM PAYMENTS").toInt();
        const TDateTime parkedIn = MinutesAgo(30);
        AddStay(parked, p1, MinutesAgo(5000), 2, MinutesAgo(4000));
        AddStay(parked, p1, parkedIn, 0, 0, 0, pay, 60);
        const TDateTime yesterday = MinutesAgo(1440);
        AddStay(leftYesterday, p2, yesterday, 2, MinutesAgo(1400));
        AddStay(twice, p3, MinutesAgo(20), 0);
        AddStay(twice, p4, MinutesAgo(10), 0);
        // A stay row of another kind still counts for the latest check-in.
        Exec(QString("INSERT INTO AUTO_ACTION (ID_AUTO, ACTION_TYPE, IN_TIME, CREATED_TIME) "
                     "VALUES (%1, 5, '2030-01-01 10:00:00', '2030-01-01 10:00:00')").arg(never));
        // An older database may hold a null state: neither current nor present.
        Exec("ALTER TABLE AUTO_ACTION ALTER COLUMN ACTION_TYPE2 DROP NOT NULL");
        AddStay(nullState, p2, MinutesAgo(3), 0);
        Exec(QString("UPDATE AUTO_ACTION SET ACTION_TYPE2 = NULL WHERE ID_AUTO = %1").arg(nullState));

        const TAutoList list = DModule->GetAutoList(QString());
        QStringList order;
        for (const TAuto &a : list)
            order << a.Gosnomer;
        QCOMPARE(order, QStringList({"В001", "В002", "В003", "В003", "В004", "В005"}));
        QCOMPARE(list[0].Place.Id, 0);
        QCOMPARE(list[0].InTime, yesterday);
        QCOMPARE(list[1].Place.Id, p1);
        QVERIFY(list[1].Place.IsBusy);
        QCOMPARE(list[1].Place.Gosnomer, QString("В002"));
        QCOMPARE(list[1].SummaPaied, 150.0);
        QCOMPARE(list[1].MinutesPaied, 60);
        QCOMPARE(list[1].PaimentId, pay);
        QCOMPARE(list[1].InTime, parkedIn);
        QCOMPARE(list[1].OWNER_SERNO, QString());
        QCOMPARE(QSet<int>({list[2].Place.Id, list[3].Place.Id}), QSet<int>({p3, p4}));
        QCOMPARE(list[4].InTime, DateTimeFromQt(QDateTime(QDate(2030, 1, 1), QTime(10, 0))));
        QCOMPARE(list[4].Place.Id, 0);
        QCOMPARE(list[5].Place.Id, 0);
        QCOMPARE(list[5].PaimentId, 0);
        // The place under the null-state stay is busy by the occupancy rule.
        QVERIFY(DModule->GetPlaceById(p2).IsBusy);
    }

    void listOrderIsTheNumberIndexsOrder()
    {
        TTestDb db;
        db.OpenDataModule();
        // The order the list had when the engine walked the number index.
        // Nulls, blanks, trailing spaces and a tab, case, Cyrillic, a character
        // beyond U+FFFF against one just below it, equal numbers ordered by
        // model and colour.
        const QVariant null;
        const QList<QVariantList> vehicles = {
            {"B", "m", "c"}, {"A", "m", "c"}, {"A ", "m", "c"}, {"A\t", "m", "c"}, {"a", "m", "c"},
            {null, "m", "c"}, {"", "m", "c"}, {" ", "m", "c"}, {"Ж", "m", "c"}, {"ж", "m", "c"},
            {"Ё", "m", "c"}, {QString::fromUcs4(U"\U0001F600"), "m", "c"}, {QString(QChar(0xFB00)), "m", "c"},
            {"A!", "m", "c"}, {"AB", "m", "c"}, {"В1", "Лада", "синий"}, {"В1", "Лада", null},
            {"В1", null, "белый"}, {"В1", "Kia", "белый"}, {"В1", "Лада", "белый"}};
        for (const QVariantList &v : vehicles) {
            TDbQuery insert(DModule->Connection(),
                            "INSERT INTO AUTO (GOSNOMER, MODEL, COLOR) VALUES (:gosnomer_, :model_, :color_)");
            insert.Bind("gosnomer_", v[0]).Bind("model_", v[1]).Bind("color_", v[2]).Execute();
        }
        QList<int> engineOrder;
        TDbQuery ordered(DModule->Connection(), "SELECT ID FROM AUTO PLAN (AUTO ORDER IX_AUTO_GOSNOMER) "
                                                "ORDER BY GOSNOMER, MODEL, COLOR, ID");
        ordered.Open();
        while (ordered.Next())
            engineOrder << ordered.AsInt("ID");
        QList<int> listed;
        for (const TAuto &a : DModule->GetAutoList(QString()))
            listed << a.Id;
        QCOMPARE(listed, engineOrder);
        // A caller's order is the engine's.
        listed.clear();
        for (const TAuto &a : DModule->GetAutoList(QString(), "AUTO.ID DESC"))
            listed << a.Id;
        std::sort(engineOrder.begin(), engineOrder.end(), std::greater<int>());
        QCOMPARE(listed, engineOrder);
    }

    void vehicleOnAPlaceWhoseNewestStayIsAnothersShowsThatOccupancy()
    {
        TTestDb db;
        db.OpenDataModule();
        const int first = AddAuto("Р1");
        const int second = AddAuto("Р2");
        const int place = AddPlace("1");
        AddStay(first, place, MinutesAgo(60), 0);
        AddStay(second, place, MinutesAgo(30), 2, MinutesAgo(20));
        const TAutoList list = DModule->GetAutoList(QString());
        QCOMPARE(list[0].Place.Id, place);
        QVERIFY(!list[0].Place.IsBusy);
        QVERIFY(list[0].Place.Gosnomer.isEmpty());
        // A stay on a place that no longer exists leaves Place empty.
        Exec(QString("DELETE FROM PLACES WHERE ID = %1").arg(place));
        QCOMPARE(DModule->GetAutoList(QString())[0].Place.Id, 0);
        QCOMPARE(DModule->GetAutoById(first).Place.Id, 0);
    }

    void filterTestsTheVehiclesOwnColumns()
    {
        TTestDb db;
        db.OpenDataModule();
        const int a = AddAuto("Т100", "ночной");
        const int b = AddAuto("Т200", "дневной");
        const int place = AddPlace("1");
        AddStay(b, place, MinutesAgo(10), 0);
        // The stay's own comment must not be what the filter sees.
        Exec("UPDATE AUTO_ACTION SET COMMENTS = 'ночной'");
        Exec("UPDATE PAYMENTS SET COMMENTS = 'ночной'");
        const TAutoList list = DModule->GetAutoList(" AND (COMMENTS LIKE '%ночн%')");
        QCOMPARE(list.size(), 1);
        QCOMPARE(list[0].Id, a);
        const TAutoList present = DModule->GetAutoPresentList(FormatDateTime("YYYY-MM-DD HH:NN:00", Now()),
                                                              " AND (COMMENTS LIKE '%дневн%')");
        QCOMPARE(present.size(), 1);
        QCOMPARE(present[0].Id, b);
        QCOMPARE(DModule->GetAutoList(" AND GOSNOMER = 'Т200' AND AUTO.MODEL LIKE 'Model%'").size(), 1);
        QCOMPARE(DModule->GetAutoList(" AND (GOSNOMER LIKE '" + LikeLiteral("Т1%") + "%'" + LikeEscapeClause() + ")").size(), 0);
    }

    void malformedFilterRaises()
    {
        TTestDb db;
        db.OpenDataModule();
        AddAuto("У1");
        QVERIFY_THROWS_EXCEPTION(TDbError, DModule->GetAutoList(" AND NO_SUCH_COLUMN = 1"));
        QVERIFY_THROWS_EXCEPTION(TDbError, DModule->GetAutoPresentList("2024-01-01 10:00:00", " AND ((("));
        QVERIFY_THROWS_EXCEPTION(TDbError, DModule->GetAutoPresentList("not a moment", QString()));
    }

    void presentListBoundsAreInclusive()
    {
        TTestDb db;
        db.OpenDataModule();
        const int leftCar = AddAuto("Ф1");
        const int openCar = AddAuto("Ф2");
        const int laterCar = AddAuto("Ф3");
        const int nullCar = AddAuto("Ф4");
        const int p1 = AddPlace("1"), p2 = AddPlace("2"), p3 = AddPlace("3");
        Exec(QString("INSERT INTO PAYMENTS (ID_AUTO, SUMMA, CREATED_TIME) VALUES (%1, 99, CURRENT_TIMESTAMP)").arg(leftCar));
        const int pay = Scalar("SELECT MAX(ID) FROM PAYMENTS").toInt();
        AddStay(leftCar, p1, At(2024, 3, 15, 10, 0), 2, At(2024, 3, 15, 12, 0), 0, pay, 120);
        AddStay(openCar, p2, At(2024, 3, 15, 11, 0), 0);
        AddStay(laterCar, p3, At(2024, 3, 15, 12, 1), 0);
        Exec("ALTER TABLE AUTO_ACTION ALTER COLUMN ACTION_TYPE2 DROP NOT NULL");
        const int nullStay = AddStay(nullCar, p3, At(2024, 3, 15, 9, 0), 0);
        Exec(QString("UPDATE AUTO_ACTION SET ACTION_TYPE2 = NULL WHERE ID = %1").arg(nullStay));

        auto ids = [](const TAutoList &list) {
            QList<int> out;
            for (const TAuto &a : list)
                out << a.Id;
            return out;
        };
        QCOMPARE(ids(DModule->GetAutoPresentList("2024-03-15 09:59:00", QString())), QList<int>());
        QCOMPARE(ids(DModule->GetAutoPresentList("2024-03-15 10:00:00", QString())), QList<int>({leftCar}));
        QCOMPARE(ids(DModule->GetAutoPresentList("2024-03-15 12:00:00", QString())), QList<int>({leftCar, openCar}));
        QCOMPARE(ids(DModule->GetAutoPresentList("2024-03-15 12:01:00", QString())), QList<int>({openCar, laterCar}));

        const TAutoList atExit = DModule->GetAutoPresentList("2024-03-15 12:00:00", QString());
        QCOMPARE(atExit[0].Place.Id, p1);
        QCOMPARE(atExit[0].InTime, At(2024, 3, 15, 10, 0));
        QCOMPARE(atExit[0].OutTime, At(2024, 3, 15, 12, 0));
        QCOMPARE(atExit[0].SummaPaied, 99.0);
        QCOMPARE(atExit[0].MinutesPaied, 120);
        QCOMPARE(atExit[0].PaimentId, pay);
        QCOMPARE(atExit[1].OutTime, 0.0);
        QVERIFY(atExit[1].Place.IsBusy);
    }

    void clients()
    {
        TTestDb db;
        db.OpenDataModule();
        Exec("INSERT INTO CLIENTS (FIRST_NAME, LAST_NAME, PHONE, PASSPORT_DATE, IS_ACTIVE, SUMMA) "
             "VALUES ('Пётр', 'Сидоров', '1', '2001-02-03', 1, -50)");
        Exec("INSERT INTO CLIENTS (FIRST_NAME, LAST_NAME, IS_ACTIVE) VALUES ('Анна', 'Авдеева', 0)");
        Exec("INSERT INTO CLIENTS (FIRST_NAME, LAST_NAME, IS_ACTIVE, IS_DELETED) VALUES ('Борис', 'Белов', 1, 1)");
        const TClientList all = DModule->GetClientList(false, QString());
        QCOMPARE(all.size(), 2);
        QCOMPARE(all[0].LastName, QString("Авдеева"));
        QVERIFY(!all[0].IsActive);
        QCOMPARE(all[1].FirstName, QString("Пётр"));
        QCOMPARE(all[1].Summa, -50.0);
        QCOMPARE(DateToQt(all[1].PassportDate), QDate(2001, 2, 3));
        QCOMPARE(DModule->GetClientList(true, QString()).size(), 1);
        QCOMPARE(DModule->GetClientList(false, " AND PHONE = '1'").size(), 1);
    }
};

QTEST_GUILESS_MAIN(TestStoreAutos)
#include "test_store_autos.moc"
