// The desk tried as a new operator tries it: the real main window started the
// way main() starts it, on a fresh program folder, every step taken through
// the windows and their modal dialogs; afterwards the database is read with
// isql-fb and the workbooks with openpyxl, not through our own code.
#include <QComboBox>
#include <QDir>
#include <QDoubleSpinBox>
#include <QJsonArray>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QTimeEdit>
#include <QTreeView>
#include <QtTest>

#include "data/UnitData.h"
#include "platform/DataGrid.h"
#include "platform/ErrorBox.h"
#include "platform/MemTable.h"
#include "reports/A7Rep.h"
#include "reports/UnitReportAuto.h"
#include "reports/UnitReportService.h"
#include "reports/UnitReportSumma.h"
#include "shell/AppStart.h"
#include "shell/UnitAutos.h"
#include "shell/UnitMain.h"
#include "tests/support/ModalAnswer.h"
#include "tests/support/OpenpyxlReader.h"
#include "tests/support/OpsKit.h"
#include "tests/support/TestDb.h"

using namespace OpsKit;

namespace {

const QString Gosnomer = "А777МР77";
const QString PlaceName = "Место 1";

// Keeps the files the engine shows instead of opening them.
class TShownFiles {
public:
    TShownFiles() { FPrevious = TA7Rep::SetViewer([this](const QString &fileName) { Files << fileName; }); }
    ~TShownFiles() { TA7Rep::SetViewer(FPrevious); }
    QStringList Files;

private:
    TWorkbookViewer FPrevious;
};

void InstallTemplates(const QString &AProgramPath)
{
    QDir(AProgramPath).mkpath("Templates");
    const QDir source(TEST_TEMPLATES_DIR);
    for (const QString &name : source.entryList({"*.xlsx"}, QDir::Files))
        QFile::copy(source.filePath(name), AProgramPath + "Templates/" + name);
}

// Every filled cell of the first sheet: coordinate -> value.
QJsonObject SheetValues(const QString &AFileName)
{
    const QJsonObject cells = ReadWithOpenpyxl(AFileName)["sheets"].toArray().at(0)["cells"].toObject();
    QJsonObject values;
    for (auto it = cells.begin(); it != cells.end(); ++it)
        values[it.key()] = it.value().toObject()["value"];
    return values;
}

QString IsqlRow(const TTestDb &ADb, const QString &ASql)
{
    return ADb.IsqlValue(ASql).simplified();
}

// Every row a query prints, without headings, blanks collapsed.
QStringList IsqlColumn(const TTestDb &ADb, const QString &ASql)
{
    QStringList rows;
    for (const QString &line : ADb.Isql("SET HEADING OFF;\n" + ASql).split('\n'))
        if (!line.trimmed().isEmpty())
            rows << line.simplified();
    return rows;
}

// Clicks the vehicles list row of that registration number, as the operator
// picks the vehicle to work on.
void ClickVehicleRow(const QString &AGosnomer)
{
    QVERIFY(FormAutos);
    TDataGrid *grid = FormAutos->Grid;
    const int field = FormAutos->Table->FieldIndex("GOSNOMER");
    const QList<int> rows = grid->ShownRows();
    int position = -1;
    for (int i = 0; i < rows.size(); ++i)
        if (FormAutos->Table->Value(rows.at(i), field).toString() == AGosnomer)
            position = i;
    QVERIFY(position >= 0);
    QTreeView *view = grid->View();
    const QModelIndex index = view->model()->index(position, 1);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(index).center());
}

} // namespace

class TestE2eDesk : public QObject {
    Q_OBJECT
private slots:
    void operatorDayOnAFreshProgramFolder();

private:
    void LogIn();
    void AddPlaceAndTarif();
    void RegisterVehicle();
    void CheckIn();
    void CheckOut();
    void ExportReports();
    void VerifyDatabase();
    void VerifyWorkbooks();

    std::unique_ptr<TTestDb> FDb;
    std::unique_ptr<TShownFiles> FShown;
    std::unique_ptr<TApplicationRun> FRun;
    TFormMain *FMain = nullptr;
    int FStayId = 0;
    QString FReceiptFile, FEntriesFile, FRevenueFile, FPresenceFile;
};

#define STEP(call)                          \
    do {                                    \
        call;                               \
        if (QTest::currentTestFailed())     \
            return;                         \
    } while (false)

void TestE2eDesk::operatorDayOnAFreshProgramFolder()
{
    FDb = std::make_unique<TTestDb>();
    InstallTemplates(FDb->ProgramPath());
    FShown = std::make_unique<TShownFiles>();
    FRun = std::make_unique<TApplicationRun>(FDb->ProgramPath());
    FRun->Module().ConnectWaitMs = 0;
    FMain = &FRun->Main();

    STEP(LogIn());
    STEP(AddPlaceAndTarif());
    STEP(RegisterVehicle());
    STEP(CheckIn());
    STEP(CheckOut());
    STEP(ExportReports());

    // The run ends as the application ends: windows first, then the module.
    FRun.reset();
    QVERIFY(!DModule);
    QVERIFY(!FormMain);
    STEP(VerifyDatabase());
    STEP(VerifyWorkbooks());
}

// The first show asks for the login; the dialog offers the seeded accounts.
void TestE2eDesk::LogIn()
{
    QStringList logins;
    TModalAnswer answer;
    answer.Do([&](QWidget *dialog) {
        auto *combo = Child<QComboBox>(dialog, "EditLogin");
        for (int i = 0; i < combo->count(); ++i)
            logins << combo->itemText(i);
        combo->setEditText("admin");
        Child<QLineEdit>(dialog, "EditPassword")->setText("Gates908");
        ClickLater(dialog, "btnOk");
    });
    QVERIFY(FRun->Start());
    QTRY_VERIFY_WITH_TIMEOUT(CurrentUser.Id > 0, 20000);
    QCOMPARE(answer.Pending(), 0);
    QCOMPARE(answer.Seen().size(), 1);
    QCOMPARE(answer.Seen().at(0).Caption, QString("Вход пользователя"));
    QVERIFY(logins.contains("admin"));
    QVERIFY(QFile::exists(FDb->ProgramPath() + "config.xml"));
    QVERIFY(FMain->isVisible());
    QCOMPARE(FMain->StatusPanel(0)->text(), QString("Администратор"));
    QVERIFY(FMain->ActionUserList->isVisible());
    QVERIFY(FormAutos);
    QCOMPARE(FormAutos->Table->RecordCount(), 0);
    QCOMPARE(FMain->LabelAutoSelected->text(), QString("ТС не выбрано"));
    QVERIFY(!FMain->ActionAutoIn->isEnabled());
}

void TestE2eDesk::AddPlaceAndTarif()
{
    TPlace place;
    place.Name = PlaceName;
    place.IsActive = true;
    QVERIFY(DModule->AddPlace(&place) > 0);
    TTarif tarif;
    tarif.Name = "Час";
    tarif.Price = 100;
    tarif.Period = 1;
    tarif.PeriodType = 2;
    tarif.IsActive = true;
    QVERIFY(DModule->AddTarif(&tarif) > 0);
}

// A new vehicle through the vehicle card; it becomes the current one.
void TestE2eDesk::RegisterVehicle()
{
    TModalAnswer answer;
    answer.Do([](QWidget *dialog) {
        Child<QLineEdit>(dialog, "EditGosnomer")->setText(Gosnomer);
        Child<QLineEdit>(dialog, "EditModel")->setText("Лада Веста");
        Child<QLineEdit>(dialog, "EditColor")->setText("серый");
        Child<QLineEdit>(dialog, "EditFIO")->setText("Петров Пётр Петрович");
        Child<QLineEdit>(dialog, "EditPhone")->setText("+7 916 000-00-01");
        ClickLater(dialog, "btnSave");
    });
    FMain->ActionAutoNew->trigger();
    QCOMPARE(answer.Pending(), 0);
    QCOMPARE(answer.Seen().size(), 1);
    QCOMPARE(answer.Seen().at(0).Caption, QString("Транспортное средство"));
    QVERIFY(CurrentAuto.Id > 0);
    QCOMPARE(FMain->LabelAutoSelected->text(), Gosnomer + " Лада Веста серый");
    QVERIFY(FMain->ActionAutoIn->isEnabled());
    QVERIFY(!FMain->ActionAutoOut->isEnabled());
    QCOMPARE(FormAutos->Table->RecordCount(), 1);
}

// Check-in with a new payment of one hour; the receipt is printed.
void TestE2eDesk::CheckIn()
{
    double suggested = 0;
    TModalAnswer answer;
    answer.Do([&](QWidget *dialog) {
        auto *places = Child<QComboBox>(dialog, "ComboPlace");
        places->setCurrentIndex(places->findText(PlaceName));
        auto *tarifs = Child<QComboBox>(dialog, "ComboTarif");
        tarifs->setCurrentIndex(tarifs->findText("Час (", Qt::MatchStartsWith));
        Child<QSpinBox>(dialog, "SpinCount")->setValue(1);
        suggested = Child<QDoubleSpinBox>(dialog, "EditSumma")->value();
        ClickLater(dialog, "ButtonSave");
    });
    answer.Press("Yes");
    FMain->ActionAutoIn->trigger();
    QCOMPARE(answer.Pending(), 0);
    QCOMPARE(answer.Seen().size(), 2);
    QCOMPARE(answer.Seen().at(0).Caption, QString("Въезд ТС"));
    QCOMPARE(Lines(answer.Seen().at(1).Text),
             QString("Въезд ТС зафиксирован, оплата проведена успешно.\nНапечатать чек?"));
    QCOMPARE(suggested, 100.0);
    QCOMPARE(FShown->Files.size(), 1);
    FReceiptFile = FShown->Files.at(0);
    // The list follows the check-in; the current vehicle only when picked again.
    QCOMPARE(FormAutos->Table->Value(0, "STATUS_STR").toString(), PlaceName);
    QVERIFY(!FMain->ActionAutoOut->isEnabled());
}

// The debt of 1 h 30 min is paid by two hours, then the exit is registered.
void TestE2eDesk::CheckOut()
{
    // The stay began 150 minutes ago: IN_TIME is moved back with a direct
    // update on the data module's connection, so that at the exit more time
    // has elapsed than the hour paid at the entry.
    FStayId = ScalarInt("SELECT ID FROM AUTO_ACTION");
    BackdateStay(FStayId, 150);
    ClickVehicleRow(Gosnomer);
    QVERIFY(FMain->ActionAutoOut->isEnabled());
    QVERIFY(!FMain->ActionAutoIn->isEnabled());

    QString debtBefore, debtAfter;
    bool exitBefore = true, exitAfter = false;
    TModalAnswer answer;
    answer.Do([&](QWidget *dialog) {
        debtBefore = Child<QLineEdit>(dialog, "EditDebt")->text();
        exitBefore = Child<QPushButton>(dialog, "ButtonSave")->isEnabled();
        auto *tarifs = Child<QComboBox>(dialog, "ComboTarif");
        tarifs->setCurrentIndex(tarifs->findText("Час (", Qt::MatchStartsWith));
        Child<QSpinBox>(dialog, "SpinCount")->setValue(2);
        ClickLater(dialog, "ButtonPayDebt");
    });
    answer.Press("No");
    answer.Do([&](QWidget *dialog) {
        debtAfter = Child<QLineEdit>(dialog, "EditDebt")->text();
        exitAfter = Child<QPushButton>(dialog, "ButtonSave")->isEnabled();
        ClickLater(dialog, "ButtonSave");
    });
    answer.Press("OK");
    FMain->ActionAutoOut->trigger();
    QCOMPARE(answer.Pending(), 0);
    QCOMPARE(answer.Seen().size(), 4);
    QCOMPARE(answer.Seen().at(0).Caption, QString("Выезд ТС"));
    QCOMPARE(debtBefore, QString("1 час. 30 мин. "));
    QVERIFY(!exitBefore);
    QCOMPARE(Lines(answer.Seen().at(1).Text), QString("Оплата проведена успешно.\nНапечатать чек?"));
    QCOMPARE(debtAfter, QString("0"));
    QVERIFY(exitAfter);
    QCOMPARE(answer.Seen().at(3).Text, QString("Выезд ТС зарегистрирован"));
    QCOMPARE(FormAutos->Table->Value(0, "STATUS_STR").toString(), QString("--"));
}

// The three reports, each opened from the main window and exported.
void TestE2eDesk::ExportReports()
{
    TModalAnswer none; // an error box would be an unexpected window
    FMain->ActionReportAuto->trigger();
    QVERIFY(FormReportAuto);
    QTest::mouseClick(FormReportAuto->ButtonFilter, Qt::LeftButton);
    QCOMPARE(FormReportAuto->RxMemoryDataExItems->RecordCount(), 1);
    FormReportAuto->BtnPrintClick();
    QCOMPARE(FShown->Files.size(), 2);
    FEntriesFile = FShown->Files.last();

    FMain->ActionReportSumma->trigger();
    QVERIFY(FormReportSumma);
    QCOMPARE(FormReportSumma->RxMemoryDataExItems->RecordCount(), 2);
    QCOMPARE(FormReportSumma->LabelSumma->text(), QString("300,00 руб."));
    FormReportSumma->BtnPrintClick();
    QCOMPARE(FShown->Files.size(), 3);
    FRevenueFile = FShown->Files.last();

    // An hour ago the vehicle stood on its place.
    const QDateTime hourAgo = QDateTime::currentDateTime().addSecs(-3600);
    FMain->ActionReportService->trigger();
    QVERIFY(FormReportService);
    FormReportService->EditDateStartFilter->SetDay(hourAgo.date());
    FormReportService->EditStartTime->setTime(hourAgo.time());
    QTest::mouseClick(FormReportService->ButtonFilter, Qt::LeftButton);
    QCOMPARE(FormReportService->RxMemoryDataExItems->RecordCount(), 1);
    FormReportService->BtnPrintClick();
    QCOMPARE(FShown->Files.size(), 4);
    FPresenceFile = FShown->Files.last();
    QCOMPARE(none.Seen().size(), 0);
}

// Read by isql-fb once the run has ended.
void TestE2eDesk::VerifyDatabase()
{
    const TTestDb &db = *FDb;
    QCOMPARE(IsqlRow(db, "SELECT COUNT(*) FROM AUTO;"), QString("1"));
    QCOMPARE(IsqlRow(db, "SELECT GOSNOMER || '|' || MODEL || '|' || COLOR || '|' || OWNER_FIO FROM AUTO;"),
             Gosnomer + "|Лада Веста|серый|Петров Пётр Петрович");
    QCOMPARE(IsqlColumn(db, "SELECT VOLUME || '|' || CAST(SUMMA AS INTEGER) || '|' || MINUTES_START FROM PAYMENTS "
                            "ORDER BY ID;"),
             QStringList({"1|100|60", "2|200|120"}));
    QCOMPARE(IsqlRow(db, "SELECT COUNT(*) FROM AUTO_ACTION;"), QString("1"));
    QCOMPARE(IsqlRow(db, "SELECT A.ACTION_TYPE2 || '|' || A.MINUTES_PAIED || '|' || IIF(A.OUT_TIME IS NULL, 'open', "
                         "'closed') || '|' || P.NAME FROM AUTO_ACTION A JOIN PLACES P ON P.ID = A.ID_PLACE;"),
             "2|180|closed|" + PlaceName);
    QCOMPARE(IsqlRow(db, "SELECT COUNT(*) FROM AUTO_PAYMENT WHERE ID_AUTO_ACTION = " + QString::number(FStayId) + ";"),
             QString("2"));
    // Everything was written under the administrator who logged in.
    QCOMPARE(IsqlRow(db, "SELECT COUNT(*) FROM AUTO_ACTION A JOIN USERS U ON U.ID = A.ID_MANAGER "
                         "WHERE U.LOGIN = 'admin';"),
             QString("1"));
}

// Read by openpyxl.
void TestE2eDesk::VerifyWorkbooks()
{
    const QJsonObject receipt = SheetValues(FReceiptFile);
    QCOMPARE(receipt["C5"].toString(), QString("Час"));
    QCOMPARE(receipt["C6"].toString(), Gosnomer);
    QCOMPARE(receipt["C8"].toDouble(), 100.0);

    const QJsonObject entries = SheetValues(FEntriesFile);
    QCOMPARE(entries["B6"].toDouble(), 1.0);
    QCOMPARE(entries["C6"].toDouble(), double(FStayId));
    QCOMPARE(entries["D6"].toString(), PlaceName);
    QCOMPARE(entries["E6"].toString(), Gosnomer);
    QCOMPARE(entries["I6"].toVariant().toString(), QString("180"));
    QVERIFY(!entries.contains("B7"));

    const QJsonObject revenue = SheetValues(FRevenueFile);
    QCOMPARE(revenue["E6"].toDouble(), 100.0);
    QCOMPARE(revenue["E7"].toDouble(), 200.0);
    QCOMPARE(revenue["E8"].toDouble(), 300.0);
    QVERIFY(revenue["F6"].toString().endsWith(") " + Gosnomer));

    const QJsonObject presence = SheetValues(FPresenceFile);
    QCOMPARE(presence["D6"].toString(), PlaceName);
    QCOMPARE(presence["E6"].toString(), Gosnomer);
    QVERIFY(!presence["G6"].toString().isEmpty());
    QVERIFY(presence["G6"].toString() != "--");
    QVERIFY(!presence.contains("B7"));
}

int main(int argc, char **argv)
{
    TApplication app(argc, argv);
    TestE2eDesk test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_e2e_desk.moc"
