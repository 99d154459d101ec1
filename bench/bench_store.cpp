// Times the store's lists and the check-in road on a generated car park
// (bench_generate), beside two anchors on the same data: the floor, a plain
// SELECT of the same rows without joins through the same database layer, and
// for the vehicles and places lists the row-by-row algorithm, run once.
//
//   bench_store [--db PATH] [--runs N]
//
// One line per operation: rows, median milliseconds, ratio to the floor and
// ratio to the row-by-row algorithm. Check-in and check-out leave their stays
// behind (the vehicles used leave again at once).
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>

#include <algorithm>
#include <ctime>
#include <cstdio>
#include <functional>
#include <vector>

#include "bench/common/PerRowLists.h"
#include "data/UnitData.h"

namespace {

struct TMeasure {
    int Rows = 0;
    double Ms = 0;
    double CpuMs = 0;
};

double ProcessCpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

// Median of `runs` timings of `work`, which returns the rows it produced. The
// engine runs in this process, so its CPU time is the work's own cost even
// when other programs share the machine.
TMeasure Median(int runs, const std::function<int()> &work)
{
    std::vector<double> times, cpu;
    TMeasure m;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        const double cpuStart = ProcessCpuMs();
        timer.start();
        m.Rows = work();
        times.push_back(double(timer.nsecsElapsed()) / 1e6);
        cpu.push_back(ProcessCpuMs() - cpuStart);
    }
    std::sort(times.begin(), times.end());
    std::sort(cpu.begin(), cpu.end());
    m.Ms = times[times.size() / 2];
    m.CpuMs = cpu[cpu.size() / 2];
    return m;
}

void PrintHeader()
{
    std::printf("%-28s %8s %10s %10s %10s %8s %8s %10s\n", "operation", "rows", "ms", "cpu ms", "floor ms",
                "x floor", "(cpu)", "x per-row");
}

void PrintLine(const char *name, const TMeasure &m, const TMeasure *floor, const TMeasure *perRow)
{
    std::printf("%-28s %8d %10.1f %10.1f", name, m.Rows, m.Ms, m.CpuMs);
    if (floor)
        std::printf(" %10.1f %8.2f %8.2f", floor->Ms, m.Ms / floor->Ms, m.CpuMs / floor->CpuMs);
    else
        std::printf(" %10s %8s %8s", "-", "-", "-");
    if (perRow)
        std::printf(" %10.4f  (per-row: %d rows, %.0f ms, cpu %.0f ms)", m.Ms / perRow->Ms, perRow->Rows, perRow->Ms,
                    perRow->CpuMs);
    std::printf("\n");
    std::fflush(stdout);
}

// A plain SELECT read into records through the same layer: the cost of the
// rows themselves.
template <typename Fill>
int ReadAll(const QString &sql, Fill fill)
{
    TDbQuery query(DModule->Connection(), sql);
    query.Open();
    int rows = 0;
    while (query.Next()) {
        fill(query);
        ++rows;
    }
    return rows;
}

int FloorAutos()
{
    TAutoList list;
    return ReadAll("SELECT ID, GOSNOMER, MODEL, COLOR, OWNER_PHONE, OWNER_FIO, OWNER_ADDRESS, OWNER_DOCUMENT, COMMENTS "
                   "FROM AUTO WHERE IS_DELETED = 0 ORDER BY GOSNOMER, MODEL, COLOR, ID",
                   [&](const TDbQuery &q) {
                       TAuto a;
                       a.Id = q.AsInt("ID");
                       a.Gosnomer = q.AsString("GOSNOMER");
                       a.Model = q.AsString("MODEL");
                       a.Color = q.AsString("COLOR");
                       a.OwnerPhone = q.AsString("OWNER_PHONE");
                       a.OwnerFIO = q.AsString("OWNER_FIO");
                       a.OwnerAddress = q.AsString("OWNER_ADDRESS");
                       a.OwnerDocument = q.AsString("OWNER_DOCUMENT");
                       a.Comments = q.AsString("COMMENTS");
                       list.append(a);
                   });
}

int FloorPresent(const QString &moment)
{
    TAutoList list;
    return ReadAll(QString("SELECT ID_AUTO, ID_PLACE, IN_TIME, OUT_TIME, ID_PAYMENT, MINUTES_PAIED FROM AUTO_ACTION "
                           "WHERE ACTION_TYPE = 1 AND IN_TIME <= '%1' "
                           "AND (ACTION_TYPE2 < 2 OR ACTION_TYPE2 > 2 OR (ACTION_TYPE2 = 2 AND OUT_TIME >= '%1'))")
                       .arg(moment),
                   [&](const TDbQuery &q) {
                       TAuto a;
                       a.Id = q.AsInt("ID_AUTO");
                       a.Place.Id = q.AsInt("ID_PLACE");
                       a.InTime = q.AsDateTime("IN_TIME");
                       a.OutTime = q.AsDateTime("OUT_TIME");
                       a.PaimentId = q.AsInt("ID_PAYMENT");
                       a.MinutesPaied = q.AsInt("MINUTES_PAIED");
                       list.append(a);
                   });
}

int FloorPlaces(bool activeOnly)
{
    TPlaceList list;
    return ReadAll(QString("SELECT ID, NAME, COMMENTS, IS_ACTIVE FROM PLACES "
                           "WHERE (IS_DELETED = 0 OR IS_DELETED IS NULL) %1 ORDER BY NAME, ID")
                       .arg(activeOnly ? "AND IS_ACTIVE > 0" : ""),
                   [&](const TDbQuery &q) {
                       TPlace p;
                       p.Id = q.AsInt("ID");
                       p.Name = q.AsString("NAME");
                       p.Comments = q.AsString("COMMENTS");
                       p.IsActive = q.AsInt("IS_ACTIVE") > 0;
                       list.append(p);
                   });
}

int FloorVisits()
{
    TVisitList list;
    return ReadAll("SELECT ID, ID_AUTO, IN_TIME, OUT_TIME, ID_MANAGER, COMMENTS, CREATED_TIME, ACTION_TYPE2, "
                   "MINUTES_PAIED, SUMMA FROM AUTO_ACTION WHERE ACTION_TYPE = 1 AND ID_PLACE > 0 "
                   "ORDER BY CREATED_TIME DESC, ID DESC",
                   [&](const TDbQuery &q) {
                       TVisit v;
                       v.Id = q.AsInt("ID");
                       v.AutoId = q.AsInt("ID_AUTO");
                       v.InTime = q.AsDateTime("IN_TIME");
                       v.OutTime = q.AsDateTime("OUT_TIME");
                       v.ManagerId = q.AsInt("ID_MANAGER");
                       v.Comments = q.AsString("COMMENTS");
                       v.CreatedTime = q.AsDateTime("CREATED_TIME");
                       v.OutStatus = q.AsInt("ACTION_TYPE2");
                       v.MinutesPaied = q.AsInt("MINUTES_PAIED");
                       v.Summa = q.AsDouble("SUMMA");
                       list.append(v);
                   });
}

int FloorPayments()
{
    TPaymentList list;
    return ReadAll("SELECT ID, ID_AUTO, SUMMA, ID_TARIF, PERIOD, PERIOD_TYPE, PRICE, VOLUME, CREATED_TIME, CREATED_BY, "
                   "COMMENTS, MINUTES_START, MINUTES FROM PAYMENTS ORDER BY CREATED_TIME, ID",
                   [&](const TDbQuery &q) {
                       TPayment p;
                       p.Id = q.AsInt("ID");
                       p.AutoId = q.AsInt("ID_AUTO");
                       p.Summa = q.AsDouble("SUMMA");
                       p.Tarif.Id = q.AsInt("ID_TARIF");
                       p.Tarif.Period = q.AsInt("PERIOD");
                       p.Tarif.PeriodType = q.AsInt("PERIOD_TYPE");
                       p.Tarif.Price = q.AsDouble("PRICE");
                       p.Count = q.AsInt("VOLUME");
                       p.PayTime = q.AsDateTime("CREATED_TIME");
                       p.ManagerId = q.AsInt("CREATED_BY");
                       p.Comments = q.AsString("COMMENTS");
                       p.MinutesStart = q.AsInt("MINUTES_START");
                       p.Minutes = q.AsInt("MINUTES");
                       list.append(p);
                   });
}

void Compare(const char *what, bool same, const QString &difference)
{
    std::printf("  %s: %s\n", what, same ? "same rows as the per-row algorithm" : qPrintable("DIFFERENT: " + difference));
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QString database = QDir::tempPath() + "/tollvane-bench/database.fdb";
    int runs = 5;
    const QStringList args = app.arguments();
    for (int i = 1; i + 1 < args.size(); i += 2) {
        if (args[i] == "--db")
            database = args[i + 1];
        else if (args[i] == "--runs")
            runs = std::max(1, args[i + 1].toInt());
    }
    TDModule module;
    module.DatabaseFileName = database;
    module.ConnectWaitMs = 0;
    if (!module.Connect(1)) {
        std::fprintf(stderr, "cannot open %s\n", qPrintable(database));
        return 1;
    }
    DModule = &module;
    CurrentUser.Id = 1;
    std::printf("%s, median of %d runs\n", qPrintable(database), runs);
    std::fflush(stdout);
    PrintHeader();

    const QString moment = FormatDateTime("YYYY-MM-DD HH:NN:00", Now());
    {
        TAutoList list;
        const TMeasure m = Median(runs, [&] { return int((list = module.GetAutoList(QString())).size()); });
        const TMeasure floor = Median(runs, FloorAutos);
        TAutoList perRowList;
        const TMeasure perRow = Median(1, [&] {
            return int((perRowList = PerRowAutoList(module.Connection(), QString())).size());
        });
        PrintLine("GetAutoList", m, &floor, &perRow);
        QString difference;
        Compare("GetAutoList", SameAutos(list, perRowList, difference), difference);
        const QString filter = " AND (GOSNOMER LIKE 'А1%' OR COMMENTS LIKE 'пост%')";
        const TMeasure filtered = Median(runs, [&] { return int(module.GetAutoList(filter).size()); });
        PrintLine("GetAutoList (filtered)", filtered, nullptr, nullptr);
    }
    {
        const TMeasure m = Median(runs, [&] { return int(module.GetAutoPresentList(moment, QString()).size()); });
        const TMeasure floor = Median(runs, [&] { return FloorPresent(moment); });
        PrintLine("GetAutoPresentList (now)", m, &floor, nullptr);
    }
    {
        TPlaceList list;
        const TMeasure m = Median(runs, [&] { return int((list = module.GetPlaceList(false)).size()); });
        const TMeasure floor = Median(runs, [] { return FloorPlaces(false); });
        TPlaceList perRowList;
        const TMeasure perRow = Median(1, [&] {
            return int((perRowList = PerRowPlaceList(module.Connection(), false)).size());
        });
        PrintLine("GetPlaceList", m, &floor, &perRow);
        QString difference;
        Compare("GetPlaceList", SamePlaces(list, perRowList, difference), difference);
    }
    {
        const TMeasure m = Median(runs, [&] { return int(module.GetPlaceFreeList().size()); });
        const TMeasure floor = Median(runs, [] { return FloorPlaces(true); });
        PrintLine("GetPlaceFreeList", m, &floor, nullptr);
    }
    {
        const TMeasure m = Median(runs, [&] { return int(module.GetAllAutoVisitList(QString()).size()); });
        const TMeasure floor = Median(runs, FloorVisits);
        PrintLine("GetAllAutoVisitList", m, &floor, nullptr);
    }
    {
        const TMeasure m = Median(runs, [&] { return int(module.GetPaymentList(QString()).size()); });
        const TMeasure floor = Median(runs, FloorPayments);
        PrintLine("GetPaymentList", m, &floor, nullptr);
    }

    // A present vehicle with its history, then check-ins of absent vehicles
    // onto free places and their check-outs.
    const TAutoList present = module.GetAutoPresentList(moment, QString());
    const int presentId = present.isEmpty() ? 1 : present.first().Id;
    const TMeasure byId = Median(runs * 4, [&] {
        const TAuto a = module.GetAutoById(presentId);
        return 1 + int(a.Visits.size() + a.Payments.size());
    });
    PrintLine("GetAutoById", byId, nullptr, nullptr);

    TTarif hour = module.GetTarifList(true).value(0);
    const TPlaceList free = module.GetPlaceFreeList();
    QList<TAuto> checkedIn;
    int next = 0;
    const TMeasure checkIn = Median(std::min<int>(runs * 4, int(free.size())), [&] {
        TAuto a;
        a.Id = 7 + next * 13;
        TPlace place = free[next++];
        TPayment payment;
        payment.AutoId = a.Id;
        payment.Summa = hour.Price;
        payment.Tarif = hour;
        payment.Count = 1;
        payment.MinutesStart = payment.Minutes = 60;
        payment.Id = module.AddPayment(&payment);
        const bool ok = payment.Id > 0 && module.StartVisit(&a, &place, &payment, payment.Minutes);
        if (ok)
            checkedIn.append(a);
        return ok ? 1 : 0;
    });
    PrintLine("check-in (AddPayment+Start)", checkIn, nullptr, nullptr);
    int out = 0;
    const TMeasure checkOut = Median(int(checkedIn.size()), [&] {
        return module.StopVisit(&checkedIn[out++], QString()) ? 1 : 0;
    });
    PrintLine("check-out (StopVisit)", checkOut, nullptr, nullptr);
    return 0;
}
