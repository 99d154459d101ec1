// The receipt: the workbook produced from "ШаблонЧек.xlsx" read back with
// openpyxl, its heading of one and of five lines, amounts in the Russian
// locale, a missing template, and the receipts the operation windows print.
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonArray>
#include <QMouseEvent>
#include <QProcess>
#include <QPushButton>
#include <QTreeView>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QSpinBox>
#include <QtTest>

#include "data/UnitData.h"
#include "operations/Receipt.h"
#include "operations/UnitAutoInForm.h"
#include "operations/UnitPaymentForm.h"
#include "operations/UnitPayments.h"
#include "platform/DataGrid.h"
#include "reports/A7Rep.h"
#include "tests/support/ModalAnswer.h"
#include "tests/support/OpsKit.h"
#include "tests/support/TestDb.h"

using namespace OpsKit;

namespace {

// Every filled cell of the first sheet: coordinate -> [type, value, number format].
// Dates come back in ISO form.
QJsonObject ReadWorkbook(const QString &fileName)
{
    const char *script = R"(
import json, sys, datetime, openpyxl
ws = openpyxl.load_workbook(sys.argv[1]).worksheets[0]
cells = {}
for row in ws.iter_rows():
    for c in row:
        if c.value is None:
            continue
        v = c.value.isoformat() if isinstance(c.value, datetime.datetime) else c.value
        cells[c.coordinate] = [c.data_type, v, c.number_format]
cells['max_row'] = ['n', ws.max_row, '']
print(json.dumps(cells))
)";
    QProcess python;
    python.start("/usr/bin/python3", {"-c", script, fileName});
    if (!python.waitForFinished(60000) || python.exitCode() != 0)
        qFatal("openpyxl cannot read %s: %s", qPrintable(fileName), python.readAllStandardError().constData());
    return QJsonDocument::fromJson(python.readAllStandardOutput()).object();
}

QJsonValue CellValue(const QJsonObject &cells, const QString &cell)
{
    return cells.value(cell).toArray().at(1);
}

QString CellType(const QJsonObject &cells, const QString &cell)
{
    return cells.value(cell).toArray().at(0).toString();
}

// Keeps the files the engine shows instead of opening them.
class TShownFiles {
public:
    TShownFiles()
    {
        FPrevious = TA7Rep::SetViewer([this](const QString &fileName) { Files << fileName; });
    }
    ~TShownFiles() { TA7Rep::SetViewer(FPrevious); }
    QStringList Files;

private:
    TWorkbookViewer FPrevious;
};

void InstallTemplate()
{
    QDir(ConfigData.ProgramPath).mkpath("Templates");
    QVERIFY(QFile::copy(QString(TEST_TEMPLATES_DIR) + "/ШаблонЧек.xlsx", ReceiptTemplateFileName()));
}

TPayment StorePayment(double summa, bool withTarif, int autoId)
{
    TPayment payment;
    payment.AutoId = autoId;
    payment.Summa = summa;
    if (withTarif) {
        payment.Tarif = SeedTarif("Час", 50, 1, 2);
        payment.Count = 3;
        payment.MinutesStart = payment.Minutes = 60;
    }
    payment.Id = DModule->AddPayment(&payment);
    return DModule->GetPaymentById(payment.Id);
}

void SetParking(bool allFive)
{
    ConfigData.ParkingName = "Стоянка «Север»";
    ConfigData.ParkingAddress = allFive ? "ул. Ленина, 1" : "";
    ConfigData.ParkingPhone = allFive ? "+7 495 000-00-00" : "";
    ConfigData.ParkingEmail = allFive ? "sever@example.ru" : "";
    ConfigData.ParkingSite = allFive ? "sever.example.ru" : "";
}

} // namespace

class TestOpsReceipt : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        // The desk runs under the Russian locale; the engine writes numbers in it.
        QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
    }

    void receiptVariables_data()
    {
        QTest::addColumn<double>("summa");
        QTest::addColumn<bool>("withTarif");
        QTest::addColumn<bool>("fiveLines");

        QTest::newRow("fraction, one-line heading") << 150.5 << true << false;
        QTest::newRow("whole amount, five-line heading") << 150.0 << true << true;
        QTest::newRow("without tariff") << 500.0 << false << false;
    }
    void receiptVariables()
    {
        QFETCH(double, summa);
        QFETCH(bool, withTarif);
        QFETCH(bool, fiveLines);
        TTestDb db;
        db.OpenDataModule();
        InstallTemplate();
        SetParking(fiveLines);
        const int autoId = SeedAuto("А123ВС77");
        TPayment payment = StorePayment(summa, withTarif, autoId);
        // Paid in the last minute of a year, printed today.
        Exec("UPDATE PAYMENTS SET CREATED_TIME = '2023-12-31 23:59:00' WHERE ID = " + QString::number(payment.Id));
        payment = DModule->GetPaymentById(payment.Id);

        TShownFiles shown;
        ShowReceipt(payment);
        QCOMPARE(shown.Files.size(), 1);
        const QJsonObject cells = ReadWorkbook(shown.Files.at(0));

        QStringList lines = {"Стоянка «Север»"};
        if (fiveLines)
            lines << "адрес: ул. Ленина, 1" << "тел.: +7 495 000-00-00" << "email: sever@example.ru"
                  << "web: sever.example.ru";
        // The lines are joined by a carriage return and a line feed.
        QCOMPARE(CellValue(cells, "B1").toString(), lines.join("\r\n"));
        QCOMPARE(CellValue(cells, "B3").toString(), "ЧЕК № " + QString::number(payment.Id));
        QCOMPARE(CellValue(cells, "C4").toString(), QString("2023-12-31T00:00:00"));
        QCOMPARE(CellValue(cells, "C5").toString(), withTarif ? QString("Час") : QString());
        QCOMPARE(CellValue(cells, "C6").toString(), QString("А123ВС77"));
        QCOMPARE(CellValue(cells, "C7").toInt(), withTarif ? 3 : 0);
        // "#SUMMA#" fills its cell alone: the engine enters "150,5", which the
        // workbook keeps as the number 150.5 in the General format, shown as
        // 150,5 under the Russian locale.
        QCOMPARE(CellType(cells, "C8"), QString("n"));
        QCOMPARE(CellValue(cells, "C8").toDouble(), summa);
        QCOMPARE(cells.value("C8").toArray().at(2).toString(), QString("General"));
        QCOMPARE(CellValue(cells, "B10").toString(),
                 "Дата печати: " + QDate::currentDate().toString("dd.MM.yyyy"));
        QCOMPARE(CellValue(cells, "A1").toString(), QString("Title"));
        QCOMPARE(CellValue(cells, "max_row").toInt(), 11);
        for (const QString &cell : cells.keys())
            QVERIFY2(!CellValue(cells, cell).toString().contains('#'), qPrintable(cell));
    }

    void headingText()
    {
        TConfigData config;
        config.ParkingName = "Стоянка";
        QCOMPARE(ParkingTitle(config), QString("Стоянка"));
        config.ParkingPhone = "123";
        config.ParkingSite = "s.ru";
        QCOMPARE(ParkingTitle(config), QString("Стоянка\r\nтел.: 123\r\nweb: s.ru"));
    }

    void missingTemplateKeepsPayment()
    {
        TTestDb db;
        db.OpenDataModule();
        CurrentAuto = DModule->GetAutoById(SeedAuto("А123ВС77"));
        TShownFiles shown;
        TModalAnswer answer;
        answer.Do([](QWidget *dialog) {
            Child<QDoubleSpinBox>(dialog, "EditSumma")->setValue(300);
            ClickLater(dialog, "ButtonSavePrint");
        });
        answer.Press("Cancel");
        TFormPayment form;
        QVERIFY(form.Execute(0));
        CurrentAuto = TAuto();

        QCOMPARE(answer.Pending(), 0);
        QCOMPARE(answer.Seen().at(1).Caption, QString("Ошибка"));
        QVERIFY(answer.Seen().at(1).Text.contains("Шаблон отчета не найден"));
        QVERIFY(answer.Seen().at(1).Text.contains("ШаблонЧек.xlsx"));
        QVERIFY(shown.Files.isEmpty());
        QCOMPARE(ScalarDouble("SELECT SUMMA FROM PAYMENTS"), 300.0);
    }

    void saveAndPrintPrintsStoredPayment()
    {
        TTestDb db;
        db.OpenDataModule();
        InstallTemplate();
        SetParking(false);
        CurrentAuto = DModule->GetAutoById(SeedAuto("Е555КХ77"));
        TShownFiles shown;
        TModalAnswer answer;
        answer.Do([](QWidget *dialog) {
            Child<QDoubleSpinBox>(dialog, "EditSumma")->setValue(1250);
            ClickLater(dialog, "ButtonSavePrint");
        });
        answer.Do([](QWidget *dialog) {
            Child<QDoubleSpinBox>(dialog, "EditSumma")->setValue(10);
            ClickLater(dialog, "ButtonSave");
        });
        TFormPayment form;
        QVERIFY(form.Execute(0));
        QVERIFY(form.Execute(0));
        CurrentAuto = TAuto();

        QCOMPARE(answer.Pending(), 0);
        QCOMPARE(shown.Files.size(), 1);
        const QJsonObject cells = ReadWorkbook(shown.Files.at(0));
        const int firstId = ScalarInt("SELECT MIN(ID) FROM PAYMENTS");
        QCOMPARE(CellValue(cells, "B3").toString(), "ЧЕК № " + QString::number(firstId));
        QCOMPARE(CellValue(cells, "C8").toDouble(), 1250.0);
        QCOMPARE(CellValue(cells, "C6").toString(), QString("Е555КХ77"));
    }

    void checkInReceiptOnYes()
    {
        TTestDb db;
        db.OpenDataModule();
        InstallTemplate();
        SetParking(false);
        SeedPlace("A-01");
        SeedTarif("Сутки", 400, 1, 5);
        TAuto vehicle = DModule->GetAutoById(SeedAuto("Р321РР77"));
        TShownFiles shown;
        TModalAnswer answer;
        answer.Do([](QWidget *dialog) {
            auto *places = Child<QComboBox>(dialog, "ComboPlace");
            places->setCurrentIndex(1);
            Child<QComboBox>(dialog, "ComboTarif")->setCurrentIndex(1);
            Child<QSpinBox>(dialog, "SpinCount")->setValue(2);
            ClickLater(dialog, "ButtonSave");
        });
        answer.Press("Yes");
        TFormAutoIn form;
        QVERIFY(form.Execute(&vehicle));

        QCOMPARE(shown.Files.size(), 1);
        const QJsonObject cells = ReadWorkbook(shown.Files.at(0));
        QCOMPARE(CellValue(cells, "C5").toString(), QString("Сутки"));
        QCOMPARE(CellValue(cells, "C7").toInt(), 2);
        QCOMPARE(CellValue(cells, "C8").toDouble(), 800.0);
        QCOMPARE(CellValue(cells, "C4").toString(), QDate::currentDate().toString(Qt::ISODate) + "T00:00:00");
    }

    void listPrintsClickedPayment()
    {
        TTestDb db;
        db.OpenDataModule();
        InstallTemplate();
        SetParking(false);
        const int autoId = SeedAuto("С100СС77");
        const TPayment first = StorePayment(100, false, autoId);
        QTest::qWait(3);
        StorePayment(200, false, autoId);

        TFormPayments list;
        list.resize(900, 500);
        list.show();
        QVERIFY(QTest::qWaitForWindowExposed(&list));
        auto *grid = list.findChild<TDataGrid *>("GridPayments");
        QTreeView *view = grid->View();
        const QRect firstRow = view->visualRect(view->model()->index(0, 1));
        QVERIFY(firstRow.isValid());
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, firstRow.center());
        // A later refresh keeps the chosen payment.
        StorePayment(300, false, autoId);
        list.RefreshTable();

        TShownFiles shown;
        list.findChild<QPushButton *>("ButtonPrint")->click();
        QCOMPARE(shown.Files.size(), 1);
        const QJsonObject cells = ReadWorkbook(shown.Files.at(0));
        QCOMPARE(CellValue(cells, "B3").toString(), "ЧЕК № " + QString::number(first.Id));
        QCOMPARE(CellValue(cells, "C8").toDouble(), 100.0);
    }
};

QTEST_MAIN(TestOpsReceipt)
#include "test_ops_receipt.moc"
