#include "tests/support/TestDb.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTest>
#include <QCoreApplication>

#include "data/UnitData.h"

namespace {

QString RunIsql(const QStringList &args, const QString &input)
{
    QProcess isql;
    isql.start("isql-fb", args);
    if (!isql.waitForStarted())
        qFatal("isql-fb cannot be started");
    isql.write(input.toUtf8());
    isql.closeWriteChannel();
    isql.waitForFinished(120000);
    return QString::fromUtf8(isql.readAllStandardOutput() + isql.readAllStandardError());
}

} // namespace

QString TTestDb::TemplateDatabase()
{
    static QTemporaryDir dir;
    static QString file;
    if (file.isEmpty()) {
        file = dir.filePath("template.fdb");
        QProcess create;
        create.start("sh", {QString(TEST_SOURCE_DIR) + "/../tools/create-database.sh", file, TEST_SCHEMA_FILE});
        create.waitForFinished(120000);
        if (create.exitCode() != 0 || !QFile::exists(file))
            qFatal("cannot create the test database: %s", create.readAllStandardError().constData());
    }
    return file;
}

TTestDb::TTestDb()
{
    QDir(FDir.path()).mkpath("db");
    if (!QFile::copy(TemplateDatabase(), DatabaseFile()))
        qFatal("cannot copy the test database");
    QFile::setPermissions(DatabaseFile(), QFile::ReadOwner | QFile::WriteOwner);
}

TTestDb::~TTestDb()
{
    CloseDataModule();
}

QString TTestDb::ProgramPath() const
{
    return QDir(FDir.path()).absolutePath() + QDir::separator();
}

QString TTestDb::DatabaseFile() const
{
    return ProgramPath() + "db" + QDir::separator() + "database.fdb";
}

TDModule *TTestDb::OpenDataModule()
{
    CloseDataModule();
    TDataHookRecorder::Instance().Install();
    InitConfigPaths(ProgramPath());
    FModule.reset(new TDModule);
    DModule = FModule.get();
    // Tests need not wait before the first connection attempt.
    DModule->ConnectWaitMs = 0;
    if (!DModule->DataModuleCreate())
        qFatal("data module start-up failed");
    return DModule;
}

void TTestDb::CloseDataModule()
{
    if (FModule && DModule == FModule.get())
        DModule = nullptr;
    FModule.reset();
}

QString TTestDb::Isql(const QString &sql) const
{
    return RunIsql({"-q", "-ch", "UTF8", "-user", "SYSDBA", "-password", "gravelpit", DatabaseFile()}, sql);
}

QString TTestDb::IsqlValue(const QString &sql) const
{
    const QString out = Isql("SET HEADING OFF;\n" + sql);
    const QStringList lines = out.split('\n', Qt::SkipEmptyParts);
    for (const QString &line : lines)
        if (!line.trimmed().isEmpty())
            return line.trimmed();
    return QString();
}

TDataHookRecorder &TDataHookRecorder::Instance()
{
    static TDataHookRecorder recorder;
    return recorder;
}

void TDataHookRecorder::Install()
{
    Messages.clear();
    CloseRequests = 0;
    DataHooks.ShowMessage = [this](const QString &text, TMsgDlgType kind, TMsgDlgButtons buttons) {
        Messages.append({text, int(kind), buttons});
        return int(mrOk);
    };
    DataHooks.CloseMainWindow = [this] { ++CloseRequests; };
}
