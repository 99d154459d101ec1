// Start-up of the data module on real program folders: config.xml, the
// missing and unreadable database, options, the column upgrade, the seeded
// accounts and the daily archive.
#include <QDir>
#include <QFile>
#include <QStringEncoder>
#include <QTest>

#include <zip.h>

#include "data/UnitData.h"
#include "tests/support/TestDb.h"

namespace {

void WriteFile(const QString &path, const QByteArray &content)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
}

QStringList BackupEntries(const TTestDb &db)
{
    QStringList names = QDir(db.ProgramPath() + "backup").entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot);
    names.sort();
    return names;
}

} // namespace

class TestStartup : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        DataHooks.Today = nullptr;
    }

    void configFileIsCreatedWithThreeLines()
    {
        TTestDb db;
        InitConfigPaths(db.ProgramPath());
        ReadConfigFile(db.ProgramPath() + "config.xml");
        QFile file(db.ProgramPath() + "config.xml");
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(),
                 QByteArray("<?xml version=\"1.0\" encoding=\"windows-1251\"?>\r\n<config>\r\n</config>\r\n"));
        QCOMPARE(ConfigData.DataFilePath, db.ProgramPath() + "db/");
        QCOMPARE(ConfigData.XMLConfigFileName, QString("config.xml"));
        QCOMPARE(ConfigData.XMLConfigFilePath, db.ProgramPath());
    }

    void configFileVariants_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("expected"); // "" = default folder
        const QByteArray head = "<?xml version=\"1.0\" encoding=\"windows-1251\"?>\r\n";
        QTest::newRow("data first") << head + "<config><data><DataFilePath>/srv/park/</DataFilePath></data></config>"
                                    << "/srv/park/";
        QTest::newRow("other element first")
            << head + "<config><other/><data><DataFilePath>/srv/park/</DataFilePath></data></config>" << "";
        QTest::newRow("malformed") << head + "<config><data><DataFilePath>/srv/park/</data>" << "";
        QTest::newRow("not xml") << QByteArray("\x01\x02garbage") << "";
        QTest::newRow("empty root") << head + "<config></config>" << "";
        QTest::newRow("empty path") << head + "<config><data><DataFilePath>  </DataFilePath></data></config>" << "";
        QTest::newRow("no path element") << head + "<config><data/></config>" << "";
        QStringEncoder cp1251("windows-1251");
        QTest::newRow("cyrillic in windows-1251")
            << head + "<config><data><DataFilePath>" + QByteArray(cp1251.encode(QString("/srv/Стоянка/")))
                   + "</DataFilePath></data></config>"
            << "/srv/Стоянка/";
    }

    void configFileVariants()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, expected);
        TTestDb db;
        WriteFile(db.ProgramPath() + "config.xml", content);
        InitConfigPaths(db.ProgramPath());
        ReadConfigFile(db.ProgramPath() + "config.xml");
        QCOMPARE(ConfigData.DataFilePath, expected.isEmpty() ? db.ProgramPath() + "db/" : expected);
    }

    void missingDatabaseEndsWithE1000AndNoArchive()
    {
        TTestDb db;
        QFile::remove(db.DatabaseFile());
        TDataHookRecorder::Instance().Install();
        InitConfigPaths(db.ProgramPath());
        // Without the trailing separator the name is glued to the folder.
        ConfigData.DataFilePath = db.ProgramPath() + "db";
        TDModule module;
        QVERIFY(!module.DataModuleCreate());
        const auto &rec = TDataHookRecorder::Instance();
        QCOMPARE(module.DatabaseFileName, db.ProgramPath() + "dbdatabase.fdb");
        QCOMPARE(rec.Messages.size(), 2);
        QCOMPARE(rec.Messages[0].Text, module.DatabaseFileName);
        QCOMPARE(rec.Messages[1].Text, "E1000: Не найден файл БД!\r\nРабота не возможна!\r\n" + module.DatabaseFileName
                                           + "\r\nОбратитесь к системному администратору.");
        QCOMPARE(rec.Messages[1].Kind, int(mtError));
        QCOMPARE(rec.Messages[1].Buttons, MsgButton(mbCancel));
        QCOMPARE(rec.CloseRequests, 1);
        QVERIFY(!QDir(db.ProgramPath() + "backup").exists());
    }

    void unreadableDatabaseEndsWithE1001AfterFiveAttempts()
    {
        TTestDb db;
        WriteFile(db.DatabaseFile(), QByteArray(8192, 'x'));
        TDataHookRecorder::Instance().Install();
        InitConfigPaths(db.ProgramPath());
        TDModule module;
        QElapsedTimer timer;
        timer.start();
        QVERIFY(!module.DataModuleCreate());
        QVERIFY(timer.elapsed() >= 2500);
        const auto &rec = TDataHookRecorder::Instance();
        QCOMPARE(rec.Messages.size(), 1);
        QVERIFY(rec.Messages[0].Text.startsWith("E1001: Невозможно подключиться к файлу БД!\r\nРабота невозможна!\r\n"
                                                "Обратитесь к системному администратору.\r\nТекст ошибки: TDbError "));
        QVERIFY(rec.Messages[0].Text.size() > 140);
        QCOMPARE(rec.CloseRequests, 1);
    }

    void startupLoadsOptions()
    {
        TTestDb db;
        db.Isql("INSERT INTO OPTIONS (\"NAME\", \"VAL\") VALUES ('PARKING_NAME', 'Стоянка \"Север\"');"
                "INSERT INTO OPTIONS (\"NAME\", \"VAL\") VALUES ('PARKING_PHONE', '+7 900');"
                "INSERT INTO OPTIONS (\"NAME\", \"VAL\") VALUES ('ALLOW_CREDIT', 'YES'); COMMIT;");
        db.OpenDataModule();
        QCOMPARE(ConfigData.ParkingName, QString("Стоянка \"Север\""));
        QCOMPARE(ConfigData.ParkingPhone, QString("+7 900"));
        QCOMPARE(ConfigData.ParkingAddress, QString());
        QVERIFY(ConfigData.IsAllowCredit);
        QVERIFY(TDataHookRecorder::Instance().Messages.isEmpty());
    }

    void allowCreditIsExactYes_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<bool>("allowed");
        QTest::newRow("YES") << "YES" << true;
        QTest::newRow("yes") << "yes" << false;
        QTest::newRow("NO") << "NO" << false;
        QTest::newRow("YES blank") << "YES " << false;
    }

    void allowCreditIsExactYes()
    {
        QFETCH(QString, value);
        QFETCH(bool, allowed);
        TTestDb db;
        TDModule *m = db.OpenDataModule();
        QVERIFY(m->SetOption("ALLOW_CREDIT", value));
        db.OpenDataModule();
        QCOMPARE(ConfigData.IsAllowCredit, allowed);
    }

    void optionsRoundTripExactly_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("value");
        QTest::newRow("plain") << "PARKING_NAME" << "Автостоянка №1";
        QTest::newRow("apostrophes") << "PARKING_NAME" << "O'Brien's \"парк\"";
        QTest::newRow("injection") << "PARKING_SITE" << "x'; DELETE FROM USERS; --";
        QTest::newRow("apostrophe in name") << "MY'KEY" << "v";
    }

    void optionsRoundTripExactly()
    {
        QFETCH(QString, name);
        QFETCH(QString, value);
        TTestDb db;
        TDModule *m = db.OpenDataModule();
        QCOMPARE(m->GetOption(name), QString());
        QVERIFY(m->SetOption(name, "first"));
        QVERIFY(m->SetOption(name, value));
        QCOMPARE(m->GetOption(name), value);
        db.CloseDataModule();
        QCOMPARE(db.IsqlValue("SELECT COUNT(*) FROM USERS;"), QString("2"));
        QCOMPARE(db.IsqlValue("SELECT COUNT(*) FROM OPTIONS;"), QString("1"));
    }

    void dbVersion_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<int>("version");
        QTest::newRow("absent") << QString() << 0;
        QTest::newRow("one") << "1" << 1;
        QTest::newRow("seven") << "7" << 7;
        QTest::newRow("not a number") << "1.0beta" << 0;
    }

    void dbVersion()
    {
        QFETCH(QString, stored);
        QFETCH(int, version);
        TTestDb db;
        TDModule *m = db.OpenDataModule();
        if (!stored.isNull())
            m->SetOption("DB_VERSION", stored);
        QCOMPARE(m->GetDBVersion(), version);
        QCOMPARE(m->UpdateDBStructure(0), 1);
        QCOMPARE(m->UpdateDBStructure(1), 0);
        m = db.OpenDataModule();
        QCOMPARE(m->GetOption("DB_VERSION"), stored.isNull() ? QString() : stored);
    }

    void columnUpgradeAddsOnlyWhatIsMissing()
    {
        TTestDb db;
        db.Isql("ALTER TABLE AUTO DROP DATAVIDAN; COMMIT;");
        {
            TDModule *m = db.OpenDataModule();
            QVERIFY(m->ColumnExists("DATAVIDAN"));
            QVERIFY(m->ColumnExists("BOOLPRISHEP"));
            QVERIFY(!m->ColumnExists("datavidan"));
            QVERIFY(!m->ColumnExists("NO_SUCH_COLUMN"));
        }
        db.CloseDataModule();
        // DATAVIDAN came back as the last column; nothing else was added twice.
        QCOMPARE(db.IsqlValue("SELECT TRIM(RDB$FIELD_NAME) FROM RDB$RELATION_FIELDS "
                              "WHERE RDB$RELATION_NAME = 'AUTO' ORDER BY RDB$FIELD_POSITION DESC ROWS 1;"),
                 QString("DATAVIDAN"));
        QCOMPARE(db.IsqlValue("SELECT COUNT(*) FROM RDB$RELATION_FIELDS WHERE RDB$RELATION_NAME = 'AUTO';"),
                 QString("22"));
    }

    void columnUpgradeOnAnOldDatabase()
    {
        TTestDb db;
        db.Isql("ALTER TABLE AUTO DROP OWNER_SERNO, DROP OWNER_NUMPASSPORT, DROP OWNER_VIDANPASSPORT, "
                "DROP BOOLPASSPORT, DROP BOOLPRISHEP, DROP NUMPRISHEP, DROP DATAVIDAN; COMMIT;");
        TDModule *m = db.OpenDataModule();
        for (const char *column : {"OWNER_SERNO", "OWNER_NUMPASSPORT", "OWNER_VIDANPASSPORT", "BOOLPASSPORT",
                                   "BOOLPRISHEP", "NUMPRISHEP", "DATAVIDAN"})
            QVERIFY2(m->ColumnExists(column), column);
    }
};

QTEST_GUILESS_MAIN(TestStartup)
#include "test_startup.moc"
