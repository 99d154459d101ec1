#include "tests/support/ReportCarPark.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QProcess>
#include <QTest>

#include "data/UnitData.h"
#include "platform/FbDatabase.h"
#include "reports/A7Rep.h"

const QString TReportCarPark::LongNumber = QStringLiteral("ABCDEFGHIJKLMNOPQRSTU");

TDateTime TReportCarPark::At(const QString &text)
{
    const QString format = text.contains('.') ? QStringLiteral("yyyy-MM-dd hh:mm:ss.zzz")
                                              : QStringLiteral("yyyy-MM-dd hh:mm:ss");
    const QDateTime moment = QDateTime::fromString(text, format);
    if (!moment.isValid())
        qFatal("bad moment %s", qPrintable(text));
    return DateTimeFromQt(moment);
}

TReportCarPark::TReportCarPark(TDbConnection &connection) : FConnection(connection)
{
    PlaceA01 = AddPlace("A-01");
    PlaceA02 = AddPlace("A-02");
    PlaceB01 = AddPlace("B-01");
    Auto777 = AddAuto(QStringLiteral("А777АА77"));
    Auto177 = AddAuto(QStringLiteral("В123ОР177"));
    AutoOdd = AddAuto(QStringLiteral("O'N_%7"));
    AutoLong = AddAuto(LongNumber);

    PayApril = AddPayment(Auto777, 100, "2021-04-30 23:59:59", "апрель");
    PayMayFirst = AddPayment(Auto777, 100.40, "2021-05-01 00:00:00", "первое мая");
    PayMayMid = AddPayment(Auto177, 100.40, "2021-05-15 12:00:00", "середина");
    PayMayLast = AddPayment(AutoOdd, 150.50, "2021-05-31 23:59:59.500", "последняя секунда");
    PayJune = AddPayment(AutoLong, 151.50, "2021-06-01 00:00:00", "июнь");

    StayDay = AddStay(Auto777, PlaceA01, "2021-05-01 08:00:00", "2021-05-01 18:00:00", PayMayFirst, 90, 50);
    StayTwoDays = AddStay(Auto177, PlaceA02, "2021-05-10 09:00:00", "2021-05-12 09:00:00", PayMayMid, 0, 0);
    StayMonthEnd = AddStay(AutoOdd, PlaceB01, "2021-05-31 22:00:00", "2021-06-01 02:00:00", PayMayLast, 240, 0);
    StayOpen = AddStay(AutoLong, PlaceA02, "2021-05-20 10:00:00", QString(), PayJune, 1440, 0);
    StayNoPlace = AddStay(Auto777, 0, "2021-05-05 10:00:00", "2021-05-05 12:00:00", 0, 0, 0);
}

int TReportCarPark::AddPlace(const QString &name)
{
    TDbQuery q(FConnection, "INSERT INTO PLACES (NAME, IS_ACTIVE, IS_DELETED) VALUES (:name_, 1, 0) RETURNING ID");
    q.Bind("name_", name).Execute();
    return q.AsInt("ID");
}

int TReportCarPark::AddAuto(const QString &number)
{
    TDbQuery q(FConnection, "INSERT INTO AUTO (GOSNOMER, MODEL, COLOR, IS_DELETED, CREATED_TIME) "
                            "VALUES (:number_, 'Лада', 'белый', 0, CURRENT_TIMESTAMP) RETURNING ID");
    q.Bind("number_", number).Execute();
    return q.AsInt("ID");
}

int TReportCarPark::AddPayment(int autoId, double summa, const QString &created, const QString &comment)
{
    TDbQuery q(FConnection, "INSERT INTO PAYMENTS (ID_AUTO, SUMMA, ID_TARIF, PERIOD, PERIOD_TYPE, PRICE, VOLUME, "
                            "MINUTES_START, MINUTES, COMMENTS, CREATED_BY, CREATED_TIME) "
                            "VALUES (:auto_, :summa_, 0, 1, 3, :summa_, 1, 1440, 1440, :comment_, 1, :created_) "
                            "RETURNING ID");
    q.Bind("auto_", autoId).Bind("summa_", summa).Bind("comment_", comment).BindDateTime("created_", At(created));
    q.Execute();
    return q.AsInt("ID");
}

int TReportCarPark::AddStay(int autoId, int placeId, const QString &in, const QString &out, int paymentId,
                            int minutes, double summa)
{
    TDbQuery q(FConnection, "INSERT INTO AUTO_ACTION (ID_AUTO, ACTION_TYPE, ACTION_TYPE2, IN_TIME, OUT_TIME, "
                            "ID_PLACE, ID_PAYMENT, ID_MANAGER, MINUTES_PAIED, SUMMA, CREATED_TIME) "
                            "VALUES (:auto_, 1, :state_, :in_, :out_, :place_, :payment_, 1, :minutes_, :summa_, :in_) "
                            "RETURNING ID");
    q.Bind("auto_", autoId).Bind("state_", out.isEmpty() ? 0 : 2).BindDateTime("in_", At(in));
    if (out.isEmpty())
        q.BindNull("out_");
    else
        q.BindDateTime("out_", At(out));
    q.Bind("place_", placeId).Bind("payment_", paymentId).Bind("minutes_", minutes).Bind("summa_", summa);
    q.Execute();
    const int stay = q.AsInt("ID");
    if (paymentId > 0)
        TDbQuery(FConnection, "INSERT INTO AUTO_PAYMENT (ID_AUTO, ID_PAYMENT, ID_AUTO_ACTION) VALUES (:a_, :p_, :s_)")
            .Bind("a_", autoId).Bind("p_", paymentId).Bind("s_", stay).Execute();
    return stay;
}

QJsonArray ReadWorkbookRows(const QString &fileName)
{
    static const char *const script = R"(
import json, sys, datetime, openpyxl
sheet = openpyxl.load_workbook(sys.argv[1]).worksheets[0]
def cell(v):
    if isinstance(v, (datetime.datetime, datetime.date, datetime.time)):
        return v.isoformat()
    return v
rows = [[cell(c.value) for c in row] for row in sheet.iter_rows(min_row=1, max_row=sheet.max_row)]
print(json.dumps(rows))
)";
    QProcess python;
    python.start("/usr/bin/python3", {"-c", script, fileName});
    if (!python.waitForFinished(60000) || python.exitCode() != 0) {
        qWarning("openpyxl: %s", python.readAllStandardError().constData());
        return {};
    }
    return QJsonDocument::fromJson(python.readAllStandardOutput()).array();
}

void CopyTemplates(const QString &programPath)
{
    QDir(programPath).mkpath("Templates");
    const QDir source(TEST_TEMPLATES_DIR);
    for (const QString &name : source.entryList({"*.xlsx"}, QDir::Files))
        if (!QFile::copy(source.filePath(name), QDir(programPath).filePath("Templates/" + name)))
            qFatal("cannot copy the template %s", qPrintable(name));
}

TReportCase::TReportCase() : Park(Db.OpenDataModule()->Connection())
{
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
    CopyTemplates(Db.ProgramPath());
}

TShownWorkbooks::TShownWorkbooks()
{
    FPrevious = TA7Rep::SetViewer([this](const QString &fileName) { Files << fileName; });
}

TShownWorkbooks::~TShownWorkbooks()
{
    TA7Rep::SetViewer(FPrevious);
    for (const QString &file : Files)
        QFile::remove(file);
}

QStringList BandColumn(const QJsonArray &rows, const QString &band, int column)
{
    QStringList values;
    for (const QJsonValue &row : rows)
        if (row.toArray().at(0).toString() == band)
            values << row.toArray().at(column).toVariant().toString();
    return values;
}

QList<int> BandIntColumn(const QJsonArray &rows, const QString &band, int column)
{
    QList<int> values;
    for (const QJsonValue &row : rows)
        if (row.toArray().at(0).toString() == band)
            values << (row.toArray().at(column).isDouble() ? row.toArray().at(column).toInt() : -1);
    return values;
}
