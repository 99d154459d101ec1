// The daily archive on a prepared backup folder.
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTest>

#include <zip.h>

#include "data/UnitData.h"
#include "tests/support/TestDb.h"

namespace {

void Touch(const QString &path)
{
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write("old");
}

} // namespace

class TestArchive : public QObject {
    Q_OBJECT

    QStringList Run(TTestDb &db, const QStringList &existing, QDate today)
    {
        QDir(db.ProgramPath()).mkpath("backup");
        for (const QString &name : existing)
            Touch(db.ProgramPath() + "backup/" + name);
        DataHooks.Today = [today] { return today; };
        db.OpenDataModule();
        db.CloseDataModule();
        DataHooks.Today = nullptr;
        QStringList left = QDir(db.ProgramPath() + "backup").entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
        left.sort();
        return left;
    }

private slots:
    void pruning_data()
    {
        QTest::addColumn<QStringList>("existing");
        QTest::addColumn<QStringList>("expected");
        const QStringList three = {"ARX_DB_240312.ZIP", "ARX_DB_240313.ZIP", "ARX_DB_240314.ZIP"};
        QTest::newRow("first start of a day")
            << three << QStringList({"ARX_DB_240313.ZIP", "ARX_DB_240314.ZIP", "ARX_DB_240315.ZIP"});
        QTest::newRow("second start of the day")
            << QStringList({"ARX_DB_240313.ZIP", "ARX_DB_240314.ZIP", "ARX_DB_240315.ZIP"})
            << QStringList({"ARX_DB_240314.ZIP", "ARX_DB_240315.ZIP"});
        QTest::newRow("short names go at once")
            << QStringList({"notes.txt", "ARX_DB_240314.ZIP"})
            << QStringList({"ARX_DB_240314.ZIP", "ARX_DB_240315.ZIP"});
        QTest::newRow("long name sorting first is pruned first")
            << QStringList({"AAAA-long-file-name.txt", "ARX_DB_240313.ZIP", "ARX_DB_240314.ZIP"})
            << QStringList({"ARX_DB_240313.ZIP", "ARX_DB_240314.ZIP", "ARX_DB_240315.ZIP"});
        QTest::newRow("case-insensitive order")
            << QStringList({"arx_db_240313.zip", "ARX_DB_240312.ZIP", "ARX_DB_240314.ZIP"})
            << QStringList({"ARX_DB_240314.ZIP", "ARX_DB_240315.ZIP", "arx_db_240313.zip"});
        QTest::newRow("empty folder") << QStringList() << QStringList({"ARX_DB_240315.ZIP"});
    }

    void pruning()
    {
        QFETCH(QStringList, existing);
        QFETCH(QStringList, expected);
        TTestDb db;
        QCOMPARE(Run(db, existing, QDate(2024, 3, 15)), expected);
    }

    void archiveHoldsTheDatabase()
    {
        TTestDb db;
        Run(db, {}, QDate(2026, 1, 2));
        const QString zipPath = db.ProgramPath() + "backup/ARX_DB_260102.ZIP";
        int err = 0;
        zip_t *z = zip_open(QFile::encodeName(zipPath).constData(), ZIP_RDONLY, &err);
        QVERIFY(z);
        QCOMPARE(zip_get_num_entries(z, 0), zip_int64_t(1));
        QCOMPARE(QString::fromUtf8(zip_get_name(z, 0, 0)), QString("database.fdb"));
        zip_stat_t st;
        QCOMPARE(zip_stat_index(z, 0, 0, &st), 0);
        zip_close(z);
        QCOMPARE(qint64(st.size), QFileInfo(db.DatabaseFile()).size());
        // The copy is a working database.
        const QString out = db.ProgramPath() + "restored";
        QDir().mkpath(out);
        z = zip_open(QFile::encodeName(zipPath).constData(), ZIP_RDONLY, &err);
        zip_file_t *f = zip_fopen_index(z, 0, 0);
        QFile target(out + "/database.fdb");
        QVERIFY(target.open(QIODevice::WriteOnly));
        char buf[65536];
        zip_int64_t n;
        while ((n = zip_fread(f, buf, sizeof buf)) > 0)
            target.write(buf, n);
        zip_fclose(f);
        zip_close(z);
        target.close();
        TDbConnection c;
        c.Open(out + "/database.fdb", "SYSDBA", "gravelpit");
        TDbQuery q(c, "SELECT COUNT(*) AS N FROM USERS");
        q.Open();
        QVERIFY(q.Next());
    }

    void unusableBackupFolderEndsWithAMessage()
    {
        TTestDb db;
        Touch(db.ProgramPath() + "backup"); // a file where the folder should be
        TDataHookRecorder::Instance().Install();
        InitConfigPaths(db.ProgramPath());
        TDModule module;
        module.ConnectWaitMs = 0;
        QVERIFY(!module.DataModuleCreate());
        const auto &rec = TDataHookRecorder::Instance();
        QCOMPARE(rec.Messages.size(), 1);
        QVERIFY(rec.Messages[0].Text.startsWith("Не удалось создать архивную копию базы данных:"));
        QCOMPARE(rec.CloseRequests, 1);
        QVERIFY(!module.Connection().IsOpen());
    }
};

QTEST_GUILESS_MAIN(TestArchive)
#include "test_archive.moc"
