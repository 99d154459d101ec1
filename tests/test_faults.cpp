// Faults the desk meets at start and at work, tried on the whole application
// as main() starts it: a corrupted config.xml, a missing database, a database
// another process holds, a backup folder that cannot take the daily copy, and
// missing templates. Each gives its message or its fallback; the run ends
// cleanly or goes on with what was stored.
#include <QComboBox>
#include <QDir>
#include <QDoubleSpinBox>
#include <QLineEdit>
#include <QProcess>
#include <QSpinBox>
#include <QToolButton>
#include <QtTest>

#include <csignal>
#include <sys/resource.h>

#include "data/UnitData.h"
#include "platform/ErrorBox.h"
#include "platform/MemTable.h"
#include "reports/A7Rep.h"
#include "reports/UnitReportSumma.h"
#include "shell/AppStart.h"
#include "shell/UnitAutos.h"
#include "shell/UnitMain.h"
#include "tests/support/ModalAnswer.h"
#include "tests/support/OpsKit.h"
#include "tests/support/TestDb.h"

using namespace OpsKit;

namespace {

const QString LoginCaption = "Вход пользователя";

void WriteFile(const QString &AFileName, const QByteArray &AContent)
{
    QFile file(AFileName);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(AContent);
}

QByteArray ReadFile(const QString &AFileName)
{
    QFile file(AFileName);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

std::unique_ptr<TApplicationRun> NewRun(const TTestDb &ADb)
{
    auto run = std::make_unique<TApplicationRun>(ADb.ProgramPath());
    run->Module().ConnectWaitMs = 0;
    return run;
}

// The windows left on the screen besides the main window.
QStringList OtherVisibleWindows()
{
    QStringList windows;
    for (QWidget *widget : QApplication::topLevelWidgets())
        if (widget->isVisible() && widget != FormMain)
            windows << QString::fromLatin1(widget->metaObject()->className()) + " " + widget->windowTitle();
    return windows;
}

// Holds the database file with the embedded engine of another process, the
// way a second desk started on the same file does.
class THolder {
public:
    explicit THolder(const TTestDb &ADb)
    {
        FProcess.start("isql-fb", {"-q", "-user", "SYSDBA", "-password", "gravelpit", ADb.DatabaseFile()});
        FProcess.waitForStarted();
        FProcess.write("SELECT 'held' FROM RDB$DATABASE;\n");
        while (!FProcess.readAllStandardOutput().contains("held") && FProcess.waitForReadyRead(20000)) {
        }
    }
    ~THolder()
    {
        FProcess.closeWriteChannel();
        if (!FProcess.waitForFinished(10000))
            FProcess.kill();
    }
    bool Holds() const { return FProcess.state() == QProcess::Running; }

private:
    QProcess FProcess;
};

// The backup folder with the immutable attribute: not even root may create
// a file in it. The attribute is taken off again on destruction.
class TImmutableFolder {
public:
    explicit TImmutableFolder(const QString &APath) : FPath(APath)
    {
        QDir().mkpath(APath);
        FSet = QProcess::execute("chattr", {"+i", APath}) == 0;
    }
    ~TImmutableFolder()
    {
        if (FSet)
            QProcess::execute("chattr", {"-i", FPath});
    }
    bool IsSet() const { return FSet; }

private:
    QString FPath;
    bool FSet = false;
};

// A disk that takes no more than a few kilobytes from this process: files
// may not grow beyond the limit, writes past it fail as on a full disk.
class TFullDisk {
public:
    TFullDisk()
    {
        getrlimit(RLIMIT_FSIZE, &FBefore);
        FSignal = std::signal(SIGXFSZ, SIG_IGN);
        rlimit small = FBefore;
        small.rlim_cur = 4096;
        setrlimit(RLIMIT_FSIZE, &small);
    }
    ~TFullDisk()
    {
        setrlimit(RLIMIT_FSIZE, &FBefore);
        std::signal(SIGXFSZ, FSignal);
    }

private:
    rlimit FBefore{};
    void (*FSignal)(int) = nullptr;
};

enum TStartFault { MissingDatabase, HeldDatabase, BackupIsAFile, ReadOnlyBackup, FullBackupDisk };

// Logs in as the administrator on a run that has started.
void LogInAsAdmin(TApplicationRun &ARun)
{
    TModalAnswer answer;
    answer.Do([](QWidget *dialog) {
        Child<QComboBox>(dialog, "EditLogin")->setEditText("admin");
        Child<QLineEdit>(dialog, "EditPassword")->setText("Gates908");
        ClickLater(dialog, "btnOk");
    });
    QVERIFY(ARun.Start());
    QTRY_VERIFY_WITH_TIMEOUT(CurrentUser.Id > 0, 20000);
    QCOMPARE(answer.Pending(), 0);
}

} // namespace

class TestFaults : public QObject {
    Q_OBJECT
private slots:
    void corruptedConfigFallsBackToTheDefaultFolder_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("asFolder");
        QTest::newRow("garbage") << QByteArray("\x01\xff\xfe garbage \x00\x02", 16) << false;
        QTest::newRow("cut off") << QByteArray("<?xml version=\"1.0\"?>\r\n<config><data><DataFilePath>/nowhere/")
                                 << false;
        QTest::newRow("empty file") << QByteArray() << false;
        QTest::newRow("wrong root text") << QByteArray("<config>just text</config>") << false;
        QTest::newRow("a folder named config.xml") << QByteArray() << true;
    }
    // The run opens the database of the default folder and asks for the
    // login; config.xml stays as it was.
    void corruptedConfigFallsBackToTheDefaultFolder()
    {
        QFETCH(QByteArray, content);
        QFETCH(bool, asFolder);
        TTestDb db;
        const QString config = db.ProgramPath() + "config.xml";
        if (asFolder)
            QVERIFY(QDir().mkpath(config));
        else
            WriteFile(config, content);

        TModalAnswer answer;
        answer.Press("btnClose");
        auto run = NewRun(db);
        QVERIFY(run->Start());
        QCOMPARE(run->Module().DatabaseFileName, db.DatabaseFile());
        QVERIFY(run->Module().Connection().IsOpen());
        // Giving up the login ends the run.
        QTRY_VERIFY_WITH_TIMEOUT(answer.Pending() == 0 && !run->Main().isVisible(), 20000);
        QCOMPARE(answer.Seen().size(), 1);
        QCOMPARE(answer.Seen().at(0).Caption, LoginCaption);
        QCOMPARE(QFileInfo(config).isDir(), asFolder);
        if (!asFolder)
            QCOMPARE(ReadFile(config), content);
    }

    void startFaultEndsTheRunWithItsMessage_data()
    {
        QTest::addColumn<int>("fault");
        QTest::addColumn<QString>("message");
        const QString archive = "Не удалось создать архивную копию базы данных:\n";
        QTest::newRow("missing database") << int(MissingDatabase) << "E1000: Не найден файл БД!\nРабота не возможна!\n";
        QTest::newRow("database held by another process")
            << int(HeldDatabase)
            << "E1001: Невозможно подключиться к файлу БД!\nРабота невозможна!\nОбратитесь к системному "
               "администратору.\nТекст ошибки: ";
        QTest::newRow("backup is a file") << int(BackupIsAFile) << archive;
        QTest::newRow("read-only backup folder") << int(ReadOnlyBackup) << archive;
        QTest::newRow("full disk under the backup folder") << int(FullBackupDisk) << archive;
    }
    // The message comes as an error box before any login; the main window
    // closes, the start reports failure (main() returns 1) and no window is
    // left open.
    void startFaultEndsTheRunWithItsMessage()
    {
        QFETCH(int, fault);
        QFETCH(QString, message);
        TTestDb db;
        const QString backup = db.ProgramPath() + "backup";
        std::unique_ptr<THolder> holder;
        std::unique_ptr<TImmutableFolder> immutable;
        std::unique_ptr<TFullDisk> full;
        TModalAnswer answer;
        switch (TStartFault(fault)) {
        case MissingDatabase:
            QVERIFY(QFile::remove(db.DatabaseFile()));
            answer.Press("OK"); // the path comes first, alone
            break;
        case HeldDatabase:
            holder = std::make_unique<THolder>(db);
            QVERIFY(holder->Holds());
            break;
        case BackupIsAFile:
            WriteFile(backup, "not a folder");
            break;
        case ReadOnlyBackup:
            immutable = std::make_unique<TImmutableFolder>(backup);
            if (!immutable->IsSet())
                QSKIP("this file system has no immutable attribute");
            break;
        case FullBackupDisk:
            break;
        }
        answer.Press("Cancel");

        auto run = NewRun(db);
        if (fault == FullBackupDisk)
            full = std::make_unique<TFullDisk>();
        const bool started = run->Start();
        full.reset();
        QVERIFY(!started);
        QCOMPARE(answer.Pending(), 0);
        const TModalSeen &box = answer.Seen().last();
        QVERIFY2(Lines(box.Text).startsWith(message), qPrintable(box.Text));
        QCOMPARE(box.Buttons, QStringList({"Cancel"}));
        for (const TModalSeen &seen : answer.Seen())
            QVERIFY(seen.Caption != LoginCaption && !seen.Unexpected);
        QVERIFY(!run->Main().isVisible());
        QVERIFY(!run->Module().Connection().IsOpen());
        QVERIFY(OtherVisibleWindows().isEmpty());
        run.reset();
        holder.reset();
        // Nothing half-written is left in place of today's copy.
        if (fault == FullBackupDisk || fault == ReadOnlyBackup)
            QCOMPARE(QDir(backup).entryList(QDir::Files), QStringList());
        if (fault == FullBackupDisk) {
            // With room again the next start makes the copy and runs.
            answer.Press("btnClose");
            auto again = NewRun(db);
            QVERIFY(again->Start());
            QCOMPARE(QDir(backup).entryList(QDir::Files).size(), 1);
            QTRY_VERIFY_WITH_TIMEOUT(answer.Pending() == 0, 20000);
            QCOMPARE(answer.Seen().last().Caption, LoginCaption);
        }
    }

    // The check-in is stored although its receipt cannot be made; the error
    // box names the missing template and the operator goes on working.
    void missingReceiptTemplateKeepsTheCheckIn()
    {
        TTestDb db;
        auto run = NewRun(db);
        LogInAsAdmin(*run);
        if (QTest::currentTestFailed())
            return;
        SeedPlace("Место 1");
        SeedTarif("Час", 100, 1, 2);
        CurrentAuto = DModule->GetAutoById(SeedAuto("К500КК50"));
        run->Main().SetNewCurrentAuto(CurrentAuto);

        TModalAnswer answer;
        answer.Do([](QWidget *dialog) {
            auto *places = Child<QComboBox>(dialog, "ComboPlace");
            places->setCurrentIndex(1);
            auto *tarifs = Child<QComboBox>(dialog, "ComboTarif");
            tarifs->setCurrentIndex(tarifs->findText("Час (", Qt::MatchStartsWith));
            Child<QSpinBox>(dialog, "SpinCount")->setValue(1);
            ClickLater(dialog, "ButtonSave");
        });
        answer.Press("Yes");    // print the receipt
        answer.Press("Cancel"); // the error box
        run->Main().ActionAutoIn->trigger();
        QCOMPARE(answer.Pending(), 0);
        QCOMPARE(answer.Seen().size(), 3);
        const QString error = answer.Seen().at(2).Text;
        QVERIFY2(error.startsWith("Шаблон отчета не найден: ") && error.contains("ШаблонЧек.xlsx"), qPrintable(error));
        QVERIFY(OtherVisibleWindows().isEmpty());
        QCOMPARE(FormAutos->Table->Value(0, "STATUS_STR").toString(), QString("Место 1"));

        run.reset();
        QCOMPARE(db.IsqlValue("SELECT COUNT(*) FROM PAYMENTS WHERE SUMMA = 100;"), QString("1"));
        QCOMPARE(db.IsqlValue("SELECT COUNT(*) FROM AUTO_ACTION WHERE OUT_TIME IS NULL AND ID_PAYMENT > 0;"),
                 QString("1"));
    }

    // A report without its template: the error box names it, no progress
    // window stays, and the report keeps its rows and may be exported again.
    void missingReportTemplateLeavesTheReportUsable()
    {
        TTestDb db;
        auto run = NewRun(db);
        LogInAsAdmin(*run);
        if (QTest::currentTestFailed())
            return;
        Exec("INSERT INTO PAYMENTS (ID_AUTO, SUMMA, CREATED_TIME) VALUES (" + QString::number(SeedAuto("Е100ЕЕ77"))
             + ", 250, CURRENT_TIMESTAMP)");
        run->Main().ActionReportSumma->trigger();
        QVERIFY(FormReportSumma);
        QCOMPARE(FormReportSumma->RxMemoryDataExItems->RecordCount(), 1);

        QStringList shown;
        const TWorkbookViewer before = TA7Rep::SetViewer([&](const QString &file) { shown << file; });
        const auto restore = qScopeGuard([&] { TA7Rep::SetViewer(before); });
        TModalAnswer answer;
        answer.Press("Cancel");
        QTest::mouseClick(FormReportSumma->BtnPrint, Qt::LeftButton);
        QCOMPARE(answer.Pending(), 0);
        const QString error = answer.Seen().at(0).Text;
        QVERIFY2(error.startsWith("Шаблон отчета не найден: ") && error.contains("ШаблонОтчет_о_выручке.xlsx"),
                 qPrintable(error));
        QVERIFY(shown.isEmpty());
        QVERIFY(OtherVisibleWindows().isEmpty());
        QVERIFY(FormReportSumma->isVisible());
        QCOMPARE(FormReportSumma->RxMemoryDataExItems->RecordCount(), 1);

        // The template put in place, the same window exports.
        QDir(db.ProgramPath()).mkpath("Templates");
        QVERIFY(QFile::copy(QString(TEST_TEMPLATES_DIR) + "/ШаблонОтчет_о_выручке.xlsx",
                            db.ProgramPath() + "Templates/ШаблонОтчет_о_выручке.xlsx"));
        QTest::mouseClick(FormReportSumma->BtnPrint, Qt::LeftButton);
        QCOMPARE(shown.size(), 1);
        QCOMPARE(answer.Seen().size(), 1);
    }
};

int main(int argc, char **argv)
{
    TApplication app(argc, argv);
    TestFaults test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_faults.moc"
