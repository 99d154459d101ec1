// The Firebird layer on a real database file: typed values both ways, named
// parameters, independent cursors and errors as exceptions.
#include <QTest>

#include "platform/FbDatabase.h"
#include "tests/support/TestDb.h"

class TestDbLayer : public QObject {
    Q_OBJECT


private slots:
    void typedValuesRoundTrip()
    {
        TTestDb db;
        TDbConnection c;
        c.Open(db.DatabaseFile(), "SYSDBA", "gravelpit");
        const TDateTime moment = DateTimeFromQt(QDateTime(QDate(2024, 3, 15), QTime(23, 59, 58, 123)));
        TDbQuery insert(c, "INSERT INTO TARIFS (NAME, PRICE, PERIOD, START_DATE, START_TIME, UPDATED_TIME) "
                           "VALUES (:name_, :price_, :period_, :date_, :time_, :moment_) RETURNING ID");
        insert.Bind("name_", QString("Сутки 'люкс'")).Bind("price_", 12.25).Bind("period_", 7)
            .BindDateTime("date_", moment).BindDateTime("time_", moment).BindDateTime("moment_", moment);
        insert.Execute();
        const int id = insert.AsInt("ID");
        QVERIFY(id > 0);

        TDbQuery read(c, "SELECT * FROM TARIFS WHERE ID = :id_");
        read.Bind("id_", id).Open();
        QVERIFY(read.Next());
        QCOMPARE(read.AsString("NAME"), QString("Сутки 'люкс'"));
        QCOMPARE(read.AsDouble("PRICE"), 12.25);
        QCOMPARE(read.AsInt("PERIOD"), 7);
        QCOMPARE(read.AsDateTime("UPDATED_TIME"), moment);
        QCOMPARE(read.AsDateTime("START_DATE"), DateFromQt(QDate(2024, 3, 15)));
        QCOMPARE(TimeToQt(read.AsDateTime("START_TIME")), QTime(23, 59, 58, 123));
        QVERIFY(read.IsNull("END_DATE"));
        QCOMPARE(read.AsInt("END_DATE"), 0);
        QCOMPARE(read.AsString("COMMENTS"), QString());
        QVERIFY(!read.Next());
    }

    void fieldsByNameInAnyOrderAndCase()
    {
        TTestDb db;
        TDbConnection c;
        c.Open(db.DatabaseFile(), "SYSDBA", "gravelpit");
        TDbQuery read(c, "SELECT 1 AS A, 2 AS B, 3 AS A, 'x' AS \"Mixed\" FROM RDB$DATABASE");
        read.Open();
        QVERIFY(read.Next());
        // Of two equal names the first counts, whatever was read before it.
        QCOMPARE(read.AsInt("B"), 2);
        QCOMPARE(read.AsInt("A"), 1);
        QCOMPARE(read.AsInt("B"), 2);
        QCOMPARE(read.AsInt(QStringLiteral("a")), 1);
        QCOMPARE(read.AsString("mixed"), QString("x"));
        QCOMPARE(read.FieldIndex("b"), 1);
        QCOMPARE(read.FieldIndex("C"), -1);
        QVERIFY_THROWS_EXCEPTION(TDbError, read.AsInt("C"));
    }

    void parameterMarkersInsideLiteralsStayText()
    {
        TTestDb db;
        TDbConnection c;
        c.Open(db.DatabaseFile(), "SYSDBA", "gravelpit");
        TDbQuery insert(c, "INSERT INTO PLACES (NAME, COMMENTS) VALUES (:name_, 'a :not_a_param '' here')");
        insert.Bind("name_", "A1").Execute();
        TDbQuery read(c, "SELECT COMMENTS FROM PLACES WHERE NAME = :name_");
        read.Bind("name_", "A1").Open();
        QVERIFY(read.Next());
        QCOMPARE(read.AsString("COMMENTS"), QString("a :not_a_param ' here"));
    }

    void nestedCursorsAreIndependent()
    {
        TTestDb db;
        TDbConnection c;
        c.Open(db.DatabaseFile(), "SYSDBA", "gravelpit");
        for (int i = 1; i <= 3; ++i)
            TDbQuery(c, "INSERT INTO PLACES (NAME) VALUES (:n_)").Bind("n_", QString::number(i)).Execute();
        TDbQuery outer(c, "SELECT ID, NAME FROM PLACES ORDER BY NAME");
        outer.Open();
        QStringList seen;
        while (outer.Next()) {
            TDbQuery inner(c, "SELECT COUNT(*) AS N FROM PLACES WHERE ID <> :id_");
            inner.Bind("id_", outer.AsInt("ID")).Open();
            QVERIFY(inner.Next());
            QCOMPARE(inner.AsInt("N"), 2);
            seen << outer.AsString("NAME");
        }
        QCOMPARE(seen, QStringList({"1", "2", "3"}));
    }

    void writesAreCommittedAtOnce()
    {
        TTestDb db;
        {
            TDbConnection c;
            c.Open(db.DatabaseFile(), "SYSDBA", "gravelpit");
            TDbQuery(c, "INSERT INTO PLACES (NAME) VALUES ('Committed')").Execute();
            TDbConnection second;
            second.Open(db.DatabaseFile(), "SYSDBA", "gravelpit");
            TDbQuery read(second, "SELECT COUNT(*) AS N FROM PLACES");
            read.Open();
            QVERIFY(read.Next());
            QCOMPARE(read.AsInt("N"), 1);
        }
        QVERIFY(db.Isql("SELECT NAME FROM PLACES;").contains("Committed"));
    }

    void sharedTransactionRollsBackUnlessCommitted()
    {
        TTestDb db;
        TDbConnection c;
        c.Open(db.DatabaseFile(), "SYSDBA", "gravelpit");
        {
            TDbTransaction tr(c);
            TDbQuery(c, "INSERT INTO PLACES (NAME) VALUES ('lost')", &tr).Execute();
        }
        {
            TDbTransaction tr(c);
            TDbQuery(c, "INSERT INTO PLACES (NAME) VALUES ('kept')", &tr).Execute();
            tr.Commit();
        }
        TDbQuery read(c, "SELECT LIST(NAME) AS L FROM PLACES");
        read.Open();
        QVERIFY(read.Next());
        QCOMPARE(read.AsString("L"), QString("kept"));
    }

    void errorsCarryTypeAndMessage_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::newRow("syntax") << "SELEC * FROM PLACES";
        QTest::newRow("unknown table") << "SELECT * FROM NO_SUCH_TABLE";
        QTest::newRow("too long text") << "INSERT INTO AUTO (OWNER_SERNO) VALUES ('1234567')";
    }

    void errorsCarryTypeAndMessage()
    {
        QFETCH(QString, sql);
        TTestDb db;
        TDbConnection c;
        c.Open(db.DatabaseFile(), "SYSDBA", "gravelpit");
        try {
            TDbQuery query(c, sql);
            query.Execute();
            QFAIL("no error raised");
        } catch (const TDbError &error) {
            QCOMPARE(error.TypeName(), QString("TDbError"));
            QVERIFY(!error.Message().isEmpty());
        }
        // The connection is still usable after the failure.
        TDbQuery ok(c, "SELECT COUNT(*) AS N FROM PLACES");
        ok.Open();
        QVERIFY(ok.Next());
    }

    void openingAMissingFileFails()
    {
        TDbConnection c;
        QVERIFY_THROWS_EXCEPTION(TDbError, c.Open("/nonexistent/folder/database.fdb", "SYSDBA", "gravelpit"));
        QVERIFY(!c.IsOpen());
    }

    void missingParameterIsAnError()
    {
        TTestDb db;
        TDbConnection c;
        c.Open(db.DatabaseFile(), "SYSDBA", "gravelpit");
        TDbQuery query(c, "SELECT * FROM PLACES WHERE ID = :id_");
        QVERIFY_THROWS_EXCEPTION(TDbError, query.Open());
    }
};

QTEST_GUILESS_MAIN(TestDbLayer)
#include "test_dblayer.moc"
