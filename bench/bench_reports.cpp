// Refresh and export of the three report windows on a generated car park.
//
//   bench_reports [--dir FOLDER] [--stays N]
//
// FOLDER is laid out as a program folder (db/database.fdb, Templates/); the
// database is made by bench_generate beside this program when it is missing,
// with N stays, each with its own payment (default 100000).
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>

#include <cstdio>
#include <functional>

#include "data/UnitData.h"
#include "reports/A7Rep.h"
#include "reports/UnitReportAuto.h"
#include "reports/UnitReportService.h"
#include "reports/UnitReportSumma.h"

namespace {

double Seconds(const std::function<void()> &action)
{
    QElapsedTimer timer;
    timer.start();
    action();
    return timer.nsecsElapsed() / 1e9;
}

bool Generate(const QString &database, int stays)
{
    QDir().mkpath(QFileInfo(database).path());
    QProcess generator;
    generator.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    generator.start(QCoreApplication::applicationDirPath() + "/bench_generate",
                    {"--db", database, "--places", "500", "--autos", "20000", "--stays", QString::number(stays),
                     "--present", "300"});
    return generator.waitForFinished(-1) && generator.exitCode() == 0;
}

void CopyTemplates(const QString &programPath)
{
    const QDir source(QStringLiteral(TOLLVANE_SOURCE_DIR "/Templates"));
    QDir(programPath).mkpath("Templates");
    for (const QString &name : source.entryList({"*.xlsx"}, QDir::Files)) {
        const QString target = QDir(programPath).filePath("Templates/" + name);
        QFile::remove(target);
        QFile::copy(source.filePath(name), target);
    }
}

// Refreshes and exports one report window, printing rows and seconds.
void Measure(const char *name, TReportFrame &form, QStringList &shown)
{
    form.show();  // the first refresh, with the window's defaults
    const double refresh = Seconds([&] { form.RefreshTable(); });
    const int rows = form.RxMemoryDataExItems->RecordCount();
    const double exported = Seconds([&] { form.BtnPrintClick(); });
    std::printf("%-10s rows %7d   refresh %6.3f s   export %6.3f s%s\n", name, rows, refresh, exported,
                shown.isEmpty() ? "   (no workbook)" : "");
    for (const QString &file : shown)
        QFile::remove(file);
    shown.clear();
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));

    QString folder = QDir::tempPath() + "/tollvane-bench-reports";
    int stays = 100000;
    const QStringList args = app.arguments();
    for (int i = 1; i + 1 < args.size(); i += 2) {
        if (args[i] == "--dir")
            folder = args[i + 1];
        else if (args[i] == "--stays")
            stays = args[i + 1].toInt();
    }
    const QString programPath = QDir(folder).absolutePath() + "/";
    const QString database = programPath + "db/database.fdb";
    if (!QFile::exists(database) && !Generate(database, stays)) {
        std::fprintf(stderr, "cannot generate %s\n", qPrintable(database));
        return 1;
    }
    CopyTemplates(programPath);

    DataHooks.ShowMessage = [](const QString &text, TMsgDlgType, TMsgDlgButtons) {
        std::fprintf(stderr, "%s\n", qPrintable(text));
        return int(mrOk);
    };
    InitConfigPaths(programPath);
    TDModule module;
    DModule = &module;
    if (!module.DataModuleCreate())
        return 1;

    QStringList shown;
    TA7Rep::SetViewer([&shown](const QString &file) { shown << file; });
    std::printf("car park %s\n", qPrintable(database));
    // The data module's share of a refresh.
    std::printf("list operation alone: GetPaymentList %.3f s, GetAllAutoVisitList %.3f s\n",
                Seconds([] { DModule->GetPaymentList(QString()); }),
                Seconds([] { DModule->GetAllAutoVisitList(QString()); }));
    {
        TFormReportSumma revenue;
        Measure("revenue", revenue, shown);
    }
    {
        TFormReportAuto entries;
        Measure("entries", entries, shown);
    }
    {
        TFormReportService present;
        Measure("present", present, shown);
    }
    DModule = nullptr;
    return 0;
}
