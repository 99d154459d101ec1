// One operator desk driven by a program: checks vehicles in and out on the
// car park's places, as fast as the database lets it, through the data
// module's own operations. Several of them against one server database race
// each other on the same places; the test scripts check what they leave.
//
//   tool_desk --setup PLACES [--folder DATAFILEPATH] [--program DIR]
//   tool_desk --desk N [--vehicles V] [--ops MAX] [--seconds S] [--log FILE]
//             [--folder DATAFILEPATH] [--program DIR]
//
// DATAFILEPATH is what config.xml would hold (a folder, or "host:/folder/" on
// a server); without it the program folder's db/ is used. --setup adds the
// places and a tariff. A desk adds its own V vehicles, then repeats until MAX
// operations or S seconds: pick a place; when a vehicle stands on it, check
// that vehicle out (every second time after a debt payment), else check one
// of the desk's own vehicles in on it with a new payment. --log appends one
// line per committed change ("payment ID", "stay ID", "debt PAYMENT STAY",
// "out STAY"), written after the commit. The last line printed gives the
// figures; the exit code is 0, or 1 when the data module did not start.
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QRandomGenerator>

#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

#include "data/UnitData.h"
#include "operations/PaidTime.h"

namespace {

struct TDeskFigures {
    int CheckIns = 0;
    int CheckOuts = 0;
    int Debts = 0;
    int RefusedIns = 0;
    int RefusedOuts = 0;
    int RefusedDebts = 0;
    int Payments = 0;
    double Takings = 0;
    int Operations() const { return CheckIns + CheckOuts + Debts; }
    int Refused() const { return RefusedIns + RefusedOuts + RefusedDebts; }
};

// Lines reach the file with one write each, so a killed desk leaves whole
// lines of what it had committed.
class TCommitLog {
public:
    explicit TCommitLog(const QString &fileName)
    {
        if (!fileName.isEmpty())
            FFd = ::open(QFile::encodeName(fileName).constData(), O_WRONLY | O_CREAT | O_APPEND, 0644);
    }
    ~TCommitLog()
    {
        if (FFd >= 0)
            ::close(FFd);
    }
    void Write(const QString &line)
    {
        if (FFd < 0)
            return;
        const QByteArray text = (line + '\n').toUtf8();
        if (::write(FFd, text.constData(), size_t(text.size())) != text.size())
            std::fprintf(stderr, "tool_desk: cannot write the log\n");
    }

private:
    int FFd = -1;
};

class TDesk {
public:
    TDesk(int number, TCommitLog &log) : FNumber(number), FLog(log), FRandom(quint32(number) * 7919u + 17u) {}

    bool Prepare(int vehicles)
    {
        const TTarifList tarifs = DModule->GetTarifList(true);
        FPlaces = DModule->GetPlaceList(true);
        if (tarifs.isEmpty() || FPlaces.isEmpty()) {
            std::fprintf(stderr, "tool_desk: no active places or tariff (run --setup first)\n");
            return false;
        }
        FTarif = tarifs.first();
        for (int i = 1; i <= vehicles; ++i) {
            TAuto vehicle;
            vehicle.Gosnomer = QString("Д%1-%2").arg(FNumber).arg(i, 3, 10, QChar('0'));
            vehicle.Id = DModule->AddAuto(&vehicle);
            if (vehicle.Id == 0) {
                std::fprintf(stderr, "tool_desk: cannot add a vehicle\n");
                return false;
            }
            FOwnIds.append(vehicle.Id);
        }
        return true;
    }

    void Run(int maxOps, int seconds)
    {
        QElapsedTimer timer;
        timer.start();
        while (FFigures.Operations() + FFigures.Refused() < maxOps && timer.elapsed() < qint64(seconds) * 1000)
            Step();
        FElapsedMs = timer.elapsed();
    }

    void Print() const
    {
        std::printf("desk %d: operations %d (in %d, out %d, debt %d), conflicts refused %d (in %d, out %d, "
                    "debt %d), payments %d for %.0f, time %.2f s\n",
                    FNumber, FFigures.Operations(), FFigures.CheckIns, FFigures.CheckOuts, FFigures.Debts,
                    FFigures.Refused(), FFigures.RefusedIns, FFigures.RefusedOuts, FFigures.RefusedDebts,
                    FFigures.Payments, FFigures.Takings, double(FElapsedMs) / 1000.0);
        std::fflush(stdout);
    }

private:
    void Step()
    {
        // The vehicles list as an operator sees it: who stands where now.
        const TAutoList vehicles = DModule->GetAutoList(QString());
        TPlace place = FPlaces.at(int(FRandom.bounded(quint32(FPlaces.size()))));
        for (const TAuto &vehicle : vehicles) {
            if (vehicle.Place.Id == place.Id) {
                CheckOut(vehicle.Id);
                return;
            }
        }
        QList<int> away;
        for (const TAuto &vehicle : vehicles)
            if (FOwnIds.contains(vehicle.Id) && vehicle.Place.Id == 0)
                away.append(vehicle.Id);
        if (!away.isEmpty())
            CheckIn(away.at(int(FRandom.bounded(quint32(away.size())))), place);
        else
            CheckOut(FOwnIds.at(int(FRandom.bounded(quint32(FOwnIds.size())))));
    }

    // A new payment of one tariff period; 0 when it was not stored.
    int Pay(int autoId, bool debt, TPayment &payment)
    {
        payment = BuildPayment(autoId, FTarif, 1, double(CalcPaymentSumma(1, FTarif.Price)), QString(), debt);
        payment.Id = DModule->AddPayment(&payment);
        if (payment.Id > 0) {
            FLog.Write(QString("payment %1").arg(payment.Id));
            ++FFigures.Payments;
            FFigures.Takings += payment.Summa;
        }
        return payment.Id;
    }

    void CheckIn(int autoId, TPlace place)
    {
        TAuto vehicle = DModule->GetAutoById(autoId);
        TPayment payment;
        if (Pay(autoId, false, payment) == 0)
            return;
        if (!DModule->StartVisit(&vehicle, &place, &payment, payment.Minutes)) {
            // Another desk took the place first; the payment stays the
            // vehicle's, offered again at its next check-in.
            ++FFigures.RefusedIns;
            return;
        }
        ++FFigures.CheckIns;
        FLog.Write(QString("stay %1").arg(DModule->GetAutoLastVisit(autoId).Id));
    }

    void CheckOut(int autoId)
    {
        TAuto vehicle = DModule->GetAutoById(autoId);
        if (vehicle.ActionId == 0) {
            ++FFigures.RefusedOuts;
            return;
        }
        if (++FCheckOutTurn % 2 == 0) {
            TPayment debt;
            if (Pay(autoId, true, debt) == 0)
                return;
            if (DModule->AddDebtPaymentToStay(autoId, debt.Id, vehicle.ActionId, debt.Minutes, debt.Summa)) {
                ++FFigures.Debts;
                FLog.Write(QString("debt %1 %2").arg(debt.Id).arg(vehicle.ActionId));
            } else {
                ++FFigures.RefusedDebts;
            }
        }
        if (DModule->StopVisit(&vehicle, QString())) {
            ++FFigures.CheckOuts;
            FLog.Write(QString("out %1").arg(vehicle.ActionId));
        } else {
            ++FFigures.RefusedOuts;
        }
    }

    int FNumber;
    TCommitLog &FLog;
    QRandomGenerator FRandom;
    TPlaceList FPlaces;
    TTarif FTarif;
    QList<int> FOwnIds;
    TDeskFigures FFigures;
    int FCheckOutTurn = 0;
    qint64 FElapsedMs = 0;
};

bool Setup(int places)
{
    for (int i = 1; i <= places; ++i) {
        TPlace place;
        place.Name = QString("М%1").arg(i, 2, 10, QChar('0'));
        place.IsActive = true;
        if (DModule->AddPlace(&place) == 0)
            return false;
    }
    TTarif tarif;
    tarif.Name = "Час";
    tarif.Price = 50;
    tarif.Period = 1;
    tarif.PeriodType = 2;
    tarif.IsActive = true;
    return DModule->AddTarif(&tarif) > 0;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addHelpOption();
    const QCommandLineOption folderOption("folder", "Database folder as config.xml names it.", "path");
    const QCommandLineOption programOption("program", "Program folder (default: the current folder).", "dir");
    const QCommandLineOption setupOption("setup", "Add this many places and a tariff, then end.", "places");
    const QCommandLineOption deskOption("desk", "Desk number.", "n", "1");
    const QCommandLineOption vehiclesOption("vehicles", "Vehicles of this desk.", "n", "4");
    const QCommandLineOption opsOption("ops", "Most operations.", "n", "300");
    const QCommandLineOption secondsOption("seconds", "Most seconds.", "s", "60");
    const QCommandLineOption logOption("log", "File of committed changes.", "file");
    parser.addOptions(
        {folderOption, programOption, setupOption, deskOption, vehiclesOption, opsOption, secondsOption, logOption});
    parser.process(app);

    InitConfigPaths(parser.isSet(programOption) ? QDir(parser.value(programOption)).absolutePath()
                                                : QDir::currentPath());
    if (parser.isSet(folderOption))
        ConfigData.DataFilePath = parser.value(folderOption);
    TDModule module;
    DModule = &module;
    if (!module.DataModuleCreate())
        return 1;
    CurrentUser = module.LoginUser("admin", "Gates908");

    if (parser.isSet(setupOption))
        return Setup(parser.value(setupOption).toInt()) ? 0 : 1;

    TCommitLog log(parser.value(logOption));
    TDesk desk(parser.value(deskOption).toInt(), log);
    if (!desk.Prepare(parser.value(vehiclesOption).toInt()))
        return 1;
    desk.Run(parser.value(opsOption).toInt(), parser.value(secondsOption).toInt());
    desk.Print();
    return 0;
}
