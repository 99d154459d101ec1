#pragma once
// The data store: the records, the run's globals and the data module with one
// method per database operation.
#include <QDate>
#include <QString>

#include <functional>
#include <memory>

#include "data/Records.h"
#include "platform/FbDatabase.h"
#include "platform/MsgTypes.h"

extern TConfigData ConfigData;
extern TUser CurrentUser;
extern TAuto CurrentAuto;

// What the data module must show the operator, and its request to end the
// application, go through these hooks; the shell installs the message box and
// the closing of the main window, tests install recorders.
struct TDataHooks {
    std::function<int(const QString &text, TMsgDlgType kind, TMsgDlgButtons buttons)> ShowMessage;
    std::function<void()> CloseMainWindow;
    // The calendar day of the daily archive; replaceable so tests can set it.
    std::function<QDate()> Today;
};
extern TDataHooks DataHooks;

int DataShowMessage(const QString &text, TMsgDlgType kind, TMsgDlgButtons buttons);
void DataCloseMainWindow();

// Fills the run's paths in ConfigData from the program folder and reads
// config.xml (the start-up steps the shell runs before the data module).
void InitConfigPaths(const QString &programPath);
void ReadConfigFile(const QString &fileName);

// Escapes typed text for a LIKE pattern inside an SQL string literal: the
// apostrophe is doubled and "%", "_" and the escape character are escaped, so
// the text matches literally. Use with LikeEscapeClause().
QString LikeLiteral(const QString &typed);
QString LikeEscapeClause();
// Doubles apostrophes for a plain SQL string literal.
QString SqlLiteral(const QString &text);

QString GetPeriodCountStr(int count, int periodType);
QString GetMinutesStr(int minutes);

class TDModule {
public:
    TDModule();
    ~TDModule();

    // Runs the start-up steps; false when the application must end.
    bool DataModuleCreate();

    QString DatabaseFileName;
    // Pause before each connection attempt.
    int ConnectWaitMs = 500;
    TDbConnection &Connection() { return FConnection; }
    // True when DatabaseFileName names a database on a server.
    bool IsRemoteDatabase() const;

    // Start-up helpers
    void ArxivData();
    bool Connect(int attempts = 5);

    // Options and schema upgrade
    QString GetOption(const QString &AName);
    bool SetOption(const QString &AName, const QString &AValue);
    int GetDBVersion();
    int UpdateDBStructure(int ADBVer);
    bool ColumnExists(const QString &AName);
    void UpgradeAutoColumns();

    // Vehicles and clients
    int AddAuto(PAuto AAuto);
    bool UpdateAuto(PAuto AAuto);
    TAuto GetAutoById(int AAutoId);
    TAutoList GetAutoList(const QString &AFilter, const QString &AOrder = QString());
    TAutoList GetAutoPresentList(const QString &ATimeStr, const QString &AFilter, const QString &AOrder = QString());
    TClientList GetClientList(bool AActiveOnly, const QString &AFilter, const QString &AOrder = QString());

    // Places and tariffs
    int AddPlace(PPlace APlace);
    bool UpdatePlace(PPlace APlace);
    void DeletePlaceById(int AItemId);
    TPlace GetPlaceById(int APlaceId);
    TPlaceList GetPlaceList(bool AActiveOnly);
    TPlaceList GetPlaceFreeList();
    int AddTarif(PTarif ATarif);
    bool UpdateTarif(PTarif ATarif);
    void DeleteTarifById(int ATarifId);
    TTarif GetTarifById(int ATarifId);
    TTarifList GetTarifList(bool AActiveOnly);
    QString GetPeriodTypeStr(int APeriodType);

    // Stays
    bool StartVisit(PAuto AAuto, PPlace APlace, PPayment APayment, int AMinutesPaied);
    bool StopVisit(PAuto AAuto, const QString &AComments);
    TVisit GetAutoLastVisit(int AAutoId);
    TVisitList GetAutoCurrentVisits(int AAutoId);
    TVisitList GetAllAutoVisitList(const QString &AFilter);

    // Payments
    int AddPayment(PPayment APayment);
    bool UpdatePayment(PPayment APayment);
    TPayment GetPaymentById(int APaymentId);
    TPaymentList GetPaymentList(const QString &AFilter);
    // The check-out debt payment: links the payment to the stay and adds its
    // minutes and amount to the stay's totals in one transaction.
    bool AddDebtPaymentToStay(int AAutoId, int APaymentId, int AActionId, int AMinutes, double ASumma);

    // Users
    TUser LoginUser(const QString &ALogin, const QString &APassword);
    void CheckUserTable();
    int AddUser(PUser AUser);
    bool UpdateUser(PUser AUser);
    bool DeleteUser(PUser AUser);
    TUser GetUserById(int AUserId);
    TUserList GetUserList(bool AActiveOnly, const QString &AFilter);
    TUserList GetUserLoginList();
    QString GetRoleName(int ARole);

private:
    // Asks the shell to close the main window; the start-up then reports failure.
    void RequestEnd();

    TDbConnection FConnection;
    bool FEndRequested = false;
};

extern TDModule *DModule;
