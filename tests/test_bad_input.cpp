// Hostile text in every field whose text reaches a statement: quotes, LIKE
// wildcards, an injection, 10,000 characters, control characters, Cyrillic
// and Latin mixed. A stored text reads back as typed (cut to its column by
// the field itself); a filter finds exactly the rows that contain the text
// literally; a login matches exactly the account of that login; no broken
// statement ever reaches the error box.
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QGroupBox>
#include <QtTest>

#include <functional>

#include "data/UnitData.h"
#include "operations/UnitPaymentForm.h"
#include "operations/UnitPayments.h"
#include "platform/DataGrid.h"
#include "platform/ErrorBox.h"
#include "platform/MemTable.h"
#include "reports/UnitReportAuto.h"
#include "reports/UnitReportSumma.h"
#include "shell/UnitAutoForm.h"
#include "shell/UnitAutos.h"
#include "shell/UnitLogin.h"
#include "shell/UnitMain.h"
#include "tests/support/ModalAnswer.h"
#include "tests/support/OpsKit.h"
#include "tests/support/StoreRows.h"
#include "tests/support/TestDb.h"

using namespace OpsKit;

namespace {

// ------------------------------------------------------------ the inputs

struct TBadInput {
    const char *Name;
    QString Text;
};

const QList<TBadInput> &BadInputs()
{
    static const QList<TBadInput> inputs = {
        {"quotes", "O'Brien \"Бис\" `x` ''"},
        {"percent", "%"},
        {"underscore", "_"},
        {"injection", "' OR 1=1 --"},
        {"10000 characters", QString("Ж1").repeated(5000)},
        {"control characters", QString("a\tb") + QChar(1) + "c" + QChar(0x1f) + "d" + QChar(0x7f) + "e\\f"},
        {"cyrillic and latin", "Ёжик Tolstoy Щука-Zebra №5"},
    };
    return inputs;
}

// ------------------------------------------------------------ entering text

// Puts the text into the field the way a paste does, so the field's own
// length limit applies; returns what the field holds then.
QString EnterText(QWidget *AField, const QString &AText)
{
    if (auto *combo = qobject_cast<QComboBox *>(AField))
        AField = combo->lineEdit();
    if (auto *line = qobject_cast<QLineEdit *>(AField)) {
        line->clear();
        line->insert(AText);
        return line->text();
    }
    if (auto *plain = qobject_cast<QPlainTextEdit *>(AField)) {
        plain->clear();
        plain->insertPlainText(AText);
        return plain->toPlainText();
    }
    qFatal("no text field: %s", AField->metaObject()->className());
}

// The declared length of a text column.
int ColumnLength(const QString &ATable, const QString &AColumn)
{
    return ScalarInt("SELECT F.RDB$CHARACTER_LENGTH FROM RDB$RELATION_FIELDS R JOIN RDB$FIELDS F "
                     "ON F.RDB$FIELD_NAME = R.RDB$FIELD_SOURCE WHERE R.RDB$RELATION_NAME = '"
                     + ATable + "' AND R.RDB$FIELD_NAME = '" + AColumn + "'");
}

QString StoredText(const QString &ATable, const QString &AColumn, int AId)
{
    return Scalar("SELECT " + AColumn + " FROM " + ATable + " WHERE ID = " + QString::number(AId)).toString();
}

// What a field of that column must keep of the input.
QString Kept(const QString &AInput, const QString &ATable, const QString &AColumn)
{
    return AInput.left(ColumnLength(ATable, AColumn));
}

// A field that searches a column holds the whole input, or the input cut to
// that column's length (a longer text could match nothing), never less.
void VerifyHeldForSearch(const QString &AHeld, const QString &AInput, const QString &ATable, const QString &AColumn)
{
    QVERIFY2(AHeld == AInput || AHeld == Kept(AInput, ATable, AColumn),
             qPrintable(QString("the field kept %1 of %2 characters").arg(AHeld.size()).arg(AInput.size())));
}

// No modal window came up that the test did not expect (an error box of a
// broken statement among them).
void VerifyNothingUnexpected(const TModalAnswer &AAnswer)
{
    for (const TModalSeen &seen : AAnswer.Seen())
        QVERIFY2(!seen.Unexpected, qPrintable(seen.Caption + ": " + seen.Text));
    QCOMPARE(AAnswer.Pending(), 0);
}

// ------------------------------------------------------------ stored fields

// The vehicle card: the field, its column, and what else the field needs to
// be editable.
void CheckVehicleCardField(const char *AObject, const QString &AColumn, const QString &AInput)
{
    TModalAnswer answer;
    answer.Do([&](QWidget *dialog) {
        // The card needs one of number, model and colour.
        Child<QLineEdit>(dialog, "EditColor")->setText("серый");
        if (QByteArray(AObject) == "edNumPrishep")
            Child<QGroupBox>(dialog, "chPrishep")->setChecked(true);
        if (QByteArray(AObject) == "EditDocument")
            Child<QRadioButton>(dialog, "rdNoPassport")->click();
        EnterText(Child<QWidget>(dialog, AObject), AInput);
        ClickLater(dialog, "btnSave");
    });
    QVERIFY(TFormAuto::ExecuteCard(0));
    VerifyNothingUnexpected(answer);
    QVERIFY(CurrentAuto.Id > 0);
    QCOMPARE(StoredText("AUTO", AColumn, CurrentAuto.Id), Kept(AInput, "AUTO", AColumn));
}

void CheckPaymentComment(const QString &AInput)
{
    CurrentAuto = DModule->GetAutoById(SeedAuto("А001АА77"));
    TModalAnswer answer;
    answer.Do([&](QWidget *dialog) {
        Child<QDoubleSpinBox>(dialog, "EditSumma")->setValue(150);
        EnterText(Child<QWidget>(dialog, "MemoComment"), AInput);
        ClickLater(dialog, "ButtonSave");
    });
    TFormPayment form;
    QVERIFY(form.Execute(0));
    VerifyNothingUnexpected(answer);
    const int paymentId = ScalarInt("SELECT MAX(ID) FROM PAYMENTS");
    QCOMPARE(StoredText("PAYMENTS", "COMMENTS", paymentId), Kept(AInput, "PAYMENTS", "COMMENTS"));
}

// ------------------------------------------------------------ filters

// Two vehicles, each with a payment and a stay: the one whose registration
// number is the input (as far as the column holds it) and a plain one that
// no literal reading of any input matches.
struct TFilterCarPark {
    int Matching = 0;
    int Plain = 0;
};

TFilterCarPark SeedFilterCarPark(const QString &AInput)
{
    TFilterCarPark park;
    park.Matching = SeedAuto(Kept(AInput, "AUTO", "GOSNOMER"), "Форд", "синий");
    park.Plain = SeedAuto("В002ВВ99", "Лада", "белый");
    const int place = SeedPlace("P1");
    for (int autoId : {park.Matching, park.Plain}) {
        StoreRows::Exec("INSERT INTO PAYMENTS (ID_AUTO, SUMMA, CREATED_TIME) VALUES (" + QString::number(autoId)
                        + ", 10, CURRENT_TIMESTAMP)");
        StoreRows::AddStay(autoId, place, StoreRows::MinutesAgo(30), 2, StoreRows::MinutesAgo(10));
    }
    return park;
}

// The vehicles a filter holding that text must find: the matching one
// exactly when its stored registration number contains the text.
QList<int> ExpectedIds(const TFilterCarPark &APark, const QString &AInput, const QString &AHeld)
{
    return Kept(AInput, "AUTO", "GOSNOMER").contains(AHeld) ? QList<int>{APark.Matching} : QList<int>{};
}

// The distinct vehicle ids of a table's rows, in ascending order.
QList<int> ShownIds(const TMemTable *ATable, const QString &AField)
{
    QList<int> ids;
    for (int row = 0; row < ATable->RecordCount(); ++row) {
        const int id = ATable->Value(row, AField).toInt();
        if (!ids.contains(id))
            ids << id;
    }
    std::sort(ids.begin(), ids.end());
    return ids;
}

void CheckVehiclesListFilter(const QString &AInput)
{
    const TFilterCarPark park = SeedFilterCarPark(AInput);
    TModalAnswer answer;
    auto *list = new TFormAutos;
    list->show();
    QCOMPARE(list->Table->RecordCount(), 2);
    const QString held = EnterText(list->EditStringFilter, AInput);
    VerifyHeldForSearch(held, AInput, "AUTO", "GOSNOMER");
    QTest::mouseClick(list->ButtonFilter, Qt::LeftButton);
    VerifyNothingUnexpected(answer);
    QCOMPARE(ShownIds(list->Table, "ID"), ExpectedIds(park, AInput, held));
    delete list;
}

void CheckPaymentsListFilter(const QString &AInput)
{
    const TFilterCarPark park = SeedFilterCarPark(AInput);
    TModalAnswer answer;
    TFormPayments list;
    list.show();
    const QString held = EnterText(list.findChild<QLineEdit *>("EditGosnomer"), AInput);
    VerifyHeldForSearch(held, AInput, "AUTO", "GOSNOMER");
    QTest::mouseClick(list.findChild<QPushButton *>("ButtonFilter"), Qt::LeftButton);
    VerifyNothingUnexpected(answer);
    auto *table = list.findChild<TMemTable *>();
    QVERIFY(table);
    // The list trims the text it searches for.
    QCOMPARE(ShownIds(table, "AUTO_ID"), ExpectedIds(park, AInput, held.trimmed()));
}

void CheckRevenueReportFilter(const QString &AInput)
{
    const TFilterCarPark park = SeedFilterCarPark(AInput);
    TModalAnswer answer;
    TFormReportSumma report;
    report.show();
    const QString held = EnterText(report.EditGosnomerFilter, AInput);
    VerifyHeldForSearch(held, AInput, "AUTO", "GOSNOMER");
    QTest::mouseClick(report.ButtonFilter, Qt::LeftButton);
    VerifyNothingUnexpected(answer);
    QCOMPARE(ShownIds(report.RxMemoryDataExItems, "ID_AUTO"), ExpectedIds(park, AInput, held));
}

void CheckEntriesReportFilter(const QString &AInput)
{
    const TFilterCarPark park = SeedFilterCarPark(AInput);
    TModalAnswer answer;
    TFormReportAuto report;
    report.show();
    const QString held = EnterText(report.EditStringFilter, AInput);
    VerifyHeldForSearch(held, AInput, "AUTO", "GOSNOMER");
    QTest::mouseClick(report.ButtonFilter, Qt::LeftButton);
    VerifyNothingUnexpected(answer);
    QList<int> autos;
    for (int row = 0; row < report.RxMemoryDataExItems->RecordCount(); ++row) {
        const QString number = report.RxMemoryDataExItems->Value(row, "GOSNOMER").toString();
        autos << (number == "В002ВВ99" ? park.Plain : park.Matching);
    }
    QCOMPARE(autos, ExpectedIds(park, AInput, held));
}

// ------------------------------------------------------------ login

// An account whose login and password are the input: typing them logs in as
// that account exactly; the input as the password of another account does not.
void CheckLogin(const QString &AInput)
{
    TUser user;
    user.Login = Kept(AInput, "USERS", "LOGIN");
    user.Password = Kept(AInput, "USERS", "PASSWORD");
    user.FirstName = "Гость";
    user.IsActive = true;
    const int userId = DModule->AddUser(&user);
    QVERIFY(userId > 0);

    TFormLogin form;
    QString login, password;
    const auto attempt = [&](const QString &ALogin, const QString &APassword) {
        TModalAnswer answer;
        answer.Do([&](QWidget *dialog) {
            login = EnterText(Child<QWidget>(dialog, "EditLogin"), ALogin);
            password = EnterText(Child<QWidget>(dialog, "EditPassword"), APassword);
            ClickLater(dialog, "btnOk");
        });
        QVERIFY(form.Execute());
        VerifyNothingUnexpected(answer);
    };
    attempt("admin", AInput);
    QCOMPARE(CurrentUser.Id, 0);
    attempt(AInput, AInput);
    VerifyHeldForSearch(login, AInput, "USERS", "LOGIN");
    VerifyHeldForSearch(password, AInput, "USERS", "PASSWORD");
    // The account matches exactly when the fields hold its login and password.
    QCOMPARE(CurrentUser.Id, user.Login == login && user.Password == password ? userId : 0);
}

// ------------------------------------------------------------ the fields

struct TBadInputField {
    const char *Name;
    std::function<void(const QString &)> Check;
};

std::function<void(const QString &)> VehicleCard(const char *AObject, const char *AColumn)
{
    return [=](const QString &AInput) { CheckVehicleCardField(AObject, AColumn, AInput); };
}

const QList<TBadInputField> &Fields()
{
    static const QList<TBadInputField> fields = {
        {"vehicle number", VehicleCard("EditGosnomer", "GOSNOMER")},
        {"vehicle model", VehicleCard("EditModel", "MODEL")},
        {"vehicle colour", VehicleCard("EditColor", "COLOR")},
        {"trailer number", VehicleCard("edNumPrishep", "NUMPRISHEP")},
        {"owner name", VehicleCard("EditFIO", "OWNER_FIO")},
        {"owner phone", VehicleCard("EditPhone", "OWNER_PHONE")},
        {"owner address", VehicleCard("EditAddress", "OWNER_ADDRESS")},
        {"owner document", VehicleCard("EditDocument", "OWNER_DOCUMENT")},
        {"passport series", VehicleCard("edSerPassport", "OWNER_SERNO")},
        {"passport number", VehicleCard("edNumPassport", "OWNER_NUMPASSPORT")},
        {"passport issuer", VehicleCard("edVidanPassport", "OWNER_VIDANPASSPORT")},
        {"vehicle comment", VehicleCard("MemoComment", "COMMENTS")},
        {"payment comment", CheckPaymentComment},
        {"vehicles list filter", CheckVehiclesListFilter},
        {"payments list filter", CheckPaymentsListFilter},
        {"revenue report number", CheckRevenueReportFilter},
        {"entries report number", CheckEntriesReportFilter},
        {"login", CheckLogin},
    };
    return fields;
}

} // namespace

class TestBadInput : public QObject {
    Q_OBJECT
private slots:
    void init() { CurrentAuto = TAuto(); }

    void everyFieldTakesTheTextLiterally_data()
    {
        QTest::addColumn<int>("field");
        QTest::addColumn<QString>("input");
        for (int f = 0; f < Fields().size(); ++f)
            for (const TBadInput &input : BadInputs())
                QTest::addRow("%s: %s", Fields().at(f).Name, input.Name) << f << input.Text;
    }
    void everyFieldTakesTheTextLiterally()
    {
        QFETCH(int, field);
        QFETCH(QString, input);
        TTestDb db;
        db.OpenDataModule();
        CurrentUser = DModule->LoginUser("admin", "Gates908");
        TFormMain main(db.ProgramPath());
        FormMain = &main;
        Fields().at(field).Check(input);
    }
};

int main(int argc, char **argv)
{
    TApplication app(argc, argv);
    TestBadInput test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_bad_input.moc"
