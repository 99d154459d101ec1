#pragma once
// A small prepared car park for the report tests, written straight into the
// tables: places, vehicles with awkward numbers, payments at the edges of May
// 2021 and stays that are closed, open, cross the month's end or have no place.
#include <QDateTime>
#include <QJsonArray>
#include <QString>
#include <QStringList>

#include <functional>

#include "platform/TDateTime.h"
#include "tests/support/TestDb.h"

class TDbConnection;

struct TReportCarPark {
    explicit TReportCarPark(TDbConnection &connection);

    // "2021-05-01 08:00:00" (optionally with ".zzz") as a moment.
    static TDateTime At(const QString &text);

    int PlaceA01 = 0, PlaceA02 = 0, PlaceB01 = 0;
    // "А777АА77", "В123ОР177", "O'N_%7", and a number of 21 characters.
    int Auto777 = 0, Auto177 = 0, AutoOdd = 0, AutoLong = 0;
    static const QString LongNumber;

    // 30.04 23:59:59 100; 01.05 00:00 100.40 (Auto777); 15.05 12:00 100.40 (Auto177);
    // 31.05 23:59:59.5 150.50 (AutoOdd); 01.06 00:00 151.50 (AutoLong).
    int PayApril = 0, PayMayFirst = 0, PayMayMid = 0, PayMayLast = 0, PayJune = 0;

    // Auto777 on A-01 01.05 08:00-18:00 (90 paid minutes, 50 paid at exit, PayMayFirst);
    // Auto177 on A-02 10.05 09:00-12.05 09:00 (no paid minutes);
    // AutoOdd on B-01 31.05 22:00-01.06 02:00; AutoLong on A-02 from 20.05 10:00, still parked;
    // Auto777 without a place 05.05 10:00-12:00.
    int StayDay = 0, StayTwoDays = 0, StayMonthEnd = 0, StayOpen = 0, StayNoPlace = 0;

private:
    int AddPlace(const QString &name);
    int AddAuto(const QString &number);
    int AddPayment(int autoId, double summa, const QString &created, const QString &comment);
    int AddStay(int autoId, int placeId, const QString &in, const QString &out, int paymentId, int minutes,
                double summa);

    TDbConnection &FConnection;
};

// Lays the program's templates into <programPath>/Templates, where the
// report windows look for them.
void CopyTemplates(const QString &programPath);

// One report test case's world: a fresh database holding the car park, the
// data module open on it, the templates in place and the Russian locale.
struct TReportCase {
    TReportCase();
    TTestDb Db;
    TReportCarPark Park;
};

// Keeps the files the template engine shows instead of opening them, while
// the object lives.
class TShownWorkbooks {
public:
    TShownWorkbooks();
    ~TShownWorkbooks();
    QStringList Files;

private:
    std::function<void(const QString &)> FPrevious;
};

// The cell values of the first sheet of a workbook, row by row, as read by
// openpyxl: texts as strings, numbers as numbers, moments as ISO texts.
QJsonArray ReadWorkbookRows(const QString &fileName);

// One column of the rows of a band, as texts or as whole numbers (-1 where
// the cell holds no number).
QStringList BandColumn(const QJsonArray &rows, const QString &band, int column);
QList<int> BandIntColumn(const QJsonArray &rows, const QString &band, int column);
