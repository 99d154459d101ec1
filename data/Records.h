#pragma once
// Plain value records handed between the data module and the windows.
#include <QList>
#include <QString>

#include "platform/TDateTime.h"

struct TConfigData {
    QString ProgramPath;
    QString DataFilePath;
    QString XMLConfigFileName;
    QString XMLConfigFilePath;
    QString ParkingName;
    QString ParkingAddress;
    QString ParkingPhone;
    QString ParkingEmail;
    QString ParkingSite;
    bool IsAllowCredit = false;
};

struct TUser {
    int Id = 0;
    QString FirstName;
    QString LastName;
    QString MiddleName;
    QString Phone;
    QString Email;
    QString Login;
    QString Password;
    TDateTime Bithday = 0;
    int Gender = 0;
    QString Address;
    TDateTime CreatedTime = 0;
    bool IsActive = false;
    bool IsDeleted = false;
    TDateTime DeletedTime = 0;
    QString Comments;
    int Role = 0;
    int AccessRights = 0;
};

struct TClient {
    int Id = 0;
    QString FirstName;
    QString LastName;
    QString MiddleName;
    QString Phone;
    QString Email;
    QString Address;
    QString PassportNumber;
    TDateTime PassportDate = 0;
    QString PassportIssue;
    TDateTime CreatedTime = 0;
    bool IsActive = false;
    bool IsDeleted = false;
    TDateTime DeletedTime = 0;
    double Summa = 0;
    QString Comments;
    TDateTime LastVisitTime = 0;
};

struct TPlace {
    int Id = 0;
    QString Name;
    QString Comments;
    bool IsBusy = false;
    bool IsActive = false;
    QString Gosnomer;
};

struct TTarif {
    int Id = 0;
    QString Name;
    QString Comments;
    int Count = 0;
    double Price = 0;
    int Period = 0;
    int PeriodType = 0;
    TDateTime StartDate = 0;
    TDateTime StartTime = 0;
    TDateTime StopDate = 0;
    TDateTime StopTime = 0;
    TDateTime UserStartTime = 0;
    TDateTime UserStopTime = 0;
    bool IsActive = false;
    TDateTime UpdatedTime = 0;
    int UpdatedByUserId = 0;
    int ClientLinkId = 0;
};

struct TPayment {
    int Id = 0;
    int ClientId = 0;
    QString ClientName;
    int AutoId = 0;
    QString Gosnomer;
    QString Color;
    QString Model;
    int TarifId = 0;
    TTarif Tarif;
    int Count = 0;
    double Summa = 0;
    TDateTime PayTime = 0;
    int ManagerId = 0;
    int MinutesStart = 0;
    int Minutes = 0;
    QString Comments;
};
using TPaymentList = QList<TPayment>;

struct TVisit {
    int Id = 0;
    int AutoId = 0;
    QString Gosnomer;
    QString PlaceName;
    int PlaceId = 0;
    TDateTime InTime = 0;
    TDateTime OutTime = 0;
    int ManagerId = 0;
    QString Comments;
    double InMoney = 0;
    double OutMoney = 0;
    double Summa = 0;
    int MinutesPaied = 0;
    TDateTime CreatedTime = 0;
    int OutStatus = 0;
    TPaymentList Payments;
};
using TVisitList = QList<TVisit>;

struct TAuto {
    int Id = 0;
    QString Gosnomer;
    QString Model;
    QString Color;
    QString OwnerPhone;
    QString OwnerFIO;
    QString OwnerAddress;
    QString OwnerDocument;
    QString OWNER_SERNO;
    QString OWNER_NUMPASSPORT;
    QString OWNER_VIDANPASSPORT;
    bool BOOLPASSPORT = false;
    TDateTime DATAVIDAN = 0;
    bool BOOLPRISHEP = false;
    QString NUMPRISHEP;
    TDateTime CreatedTime = 0;
    bool IsDeleted = false;
    TDateTime DeletedTime = 0;
    QString Comments;
    TPlace Place;
    TDateTime InTime = 0;
    TDateTime OutTime = 0;
    int MinutesPaied = 0;
    double SummaPaied = 0;
    int PaimentId = 0;
    int ActionId = 0;
    TPaymentList Payments;
    TVisitList Visits;
};

using TUserList = QList<TUser>;
using TClientList = QList<TClient>;
using TPlaceList = QList<TPlace>;
using TTarifList = QList<TTarif>;
using TAutoList = QList<TAuto>;

using PUser = TUser *;
using PClient = TClient *;
using PPlace = TPlace *;
using PTarif = TTarif *;
using PPayment = TPayment *;
using PAuto = TAuto *;
