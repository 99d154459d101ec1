// Start-up on a database named in Firebird's server syntax: no local file
// check and no archive, and an unreachable server ends in E1001.
#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include "data/UnitData.h"
#include "tests/support/TestDb.h"

class TestRemoteStart : public QObject {
    Q_OBJECT

private slots:
    void serverNames_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("remote");
        QTest::newRow("host and path") << "localhost:/var/lib/tollvane/database.fdb" << true;
        QTest::newRow("host, port and path") << "db-server/3051:/srv/park/database.fdb" << true;
        QTest::newRow("address and path") << "127.0.0.1:/srv/park/database.fdb" << true;
        QTest::newRow("blanks around") << "  localhost:/srv/database.fdb" << true;
        QTest::newRow("absolute file") << "/opt/tollvane/db/database.fdb" << false;
        QTest::newRow("relative file") << "db/database.fdb" << false;
        QTest::newRow("Windows drive") << "D:\\Parking\\db\\database.fdb" << false;
        QTest::newRow("Windows drive, slashes") << "C:/Parking/db/database.fdb" << false;
        QTest::newRow("colon inside a file name") << "/srv/a:b/database.fdb" << false;
    }

    void serverNames()
    {
        QFETCH(QString, name);
        QFETCH(bool, remote);
        TDModule module;
        module.DatabaseFileName = name;
        QCOMPARE(module.IsRemoteDatabase(), remote);
    }

    void unreachableServerEndsInE1001()
    {
        QTemporaryDir program;
        InitConfigPaths(program.path());
        // Nothing listens on port 1 of loopback: the connection is refused.
        ConfigData.DataFilePath = "127.0.0.1/1:/nowhere/db/";
        TDataHookRecorder &recorder = TDataHookRecorder::Instance();
        recorder.Install();
        TDModule module;
        module.ConnectWaitMs = 0;
        QVERIFY(!module.DataModuleCreate());
        QCOMPARE(module.DatabaseFileName, QString("127.0.0.1/1:/nowhere/db/database.fdb"));
        QCOMPARE(recorder.Messages.size(), 1);
        QVERIFY2(recorder.Messages.first().Text.startsWith("E1001: "), qPrintable(recorder.Messages.first().Text));
        QCOMPARE(recorder.CloseRequests, 1);
        QVERIFY(!QDir(program.path()).exists("backup"));
    }
};

QTEST_GUILESS_MAIN(TestRemoteStart)
#include "test_remote_start.moc"
